// dirs: where the library finds the program, its data and temporary files.
#include "cli/command.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/path_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunDirs(const Args&, std::ostream& out, std::ostream&) {
  const std::u16string temp = getTempFileName();
  out << "program " << Utf16ToUtf8(GetProgramDir()) << "\n"
      << "appdata " << Utf16ToUtf8(GetLocalAppDataDir()) << "\n"
      << "temp " << Utf16ToUtf8(ExtractFileDir(temp.c_str())) << "\n";
  return kOk;
}

}  // namespace locmodel::cli
