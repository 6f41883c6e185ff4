// pe-checksum: the PE image checksum of files.
#include <cerrno>
#include <cstdio>

#include "cli/command.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunPeChecksum(const Args& args, std::ostream& out, std::ostream& err) {
  std::string text;
  for (const std::string& file : args.positional) {
    errno = 0;
    const unsigned long sum = GetChecksum(Utf8ToUtf16(file));
    // 0 is also the checksum of an empty file; errno tells the two apart.
    if (sum == 0 && errno != 0) return Fail(err, file + ": " + Utf16ToUtf8(GetLastErrorStrAndClear()));
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08lx", sum);
    text += std::string(hex) + "  " + file + "\n";
  }
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
