// Every path text function on arbitrary UTF-16: one input is both a single
// path and, split at its first zero unit, a base and a path.
#include <cstdlib>

#include "fuzz_text.h"
#include "locmodel/util/path_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string input = FuzzUnits(data, size);
  const size_t split = std::min(input.find(u'\0'), input.size());
  const std::u16string base = input.substr(0, split);
  const std::u16string path = input.substr(std::min(split + 1, input.size()));

  const std::u16string normal = NormalizePath(input);
  if (normal.size() > input.size()) std::abort();
  const std::u16string canonical = CanonicalizePath(input);
  if (canonical.size() > input.size()) std::abort();
  IsPathAbsolute(input);
  GetAbsolutePath(base, path);
  GetRelativePath(base, path);
  SafePathAppend(base, path);
  DeleteLastSlash(input);
  // The three split parts, without a terminator, give the path back.
  const std::u16string whole = input.substr(0, input.find(u'\0'));
  if (ExtractFileDir(whole.c_str()) + ExtractFileName(whole.c_str()) + ExtractFileExt(whole.c_str()) !=
      whole)
    std::abort();
  if (ToNativePath(input).find(u'\\') != std::u16string::npos) std::abort();
  return 0;
}
