// Zero-terminated buffers handed across the library boundary. All of them
// come from malloc so that one release function serves every kind.
#include <cstdlib>
#include <cstring>

#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"
#include "util/buffer.h"

namespace locmodel {

void ReleaseBuffer(const void* buffer) {
  if (!IsIntResource(static_cast<const char16_t*>(buffer))) std::free(const_cast<void*>(buffer));
}

}  // namespace locmodel

char* UnicodeToUTF8(const char16_t* s, int* len) {
  const std::string utf8 = s ? locmodel::Utf16ToUtf8(s) : std::string();
  if (len) *len = static_cast<int>(utf8.size() + 1);
  return locmodel::CopyToBuffer(utf8);
}

char16_t* UTF8ToUnicode(const char* s, int len) {
  if (len < 0) len = s ? static_cast<int>(std::strlen(s)) : 0;
  if (!s) len = 0;
  return locmodel::CopyToBuffer(locmodel::Utf8ToUtf16(std::string_view(s, static_cast<size_t>(len))));
}

char* UnicodeToAnsi(const char16_t* s) { return UnicodeToUTF8(s, nullptr); }
