// Escape-code and BlackBerry (un)escaping over arbitrary UTF-16 text.
#include <cstdlib>

#include "fuzz_text.h"
#include "locmodel/util/str_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string text = FuzzUnits(data, size);
  if (HideEscapeCodes(text).size() > text.size()) std::abort();
  if (HideEscapeCodes(ShowEscapeCodes(text)) != text) std::abort();
  if (CStrUtil::UnescapeBlackberryStr(text).size() > text.size()) std::abort();
  for (bool non_ascii : {false, true}) {
    if (CStrUtil::UnescapeBlackberryStr(CStrUtil::EscapeBlackberryStr(text, non_ascii)) != text)
      std::abort();
  }
  return 0;
}
