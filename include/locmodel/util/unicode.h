// Conversions between UTF-8 and UTF-16, the two encodings the model meets.
//
// Every text of the model is a std::u16string of UTF-16 code units; files,
// paths, pipes and messages on this platform are UTF-8. These functions
// are the only place where one becomes the other. Malformed input (an
// unpaired surrogate, an invalid or truncated UTF-8 sequence, an overlong
// form) never fails: each bad unit becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace locmodel {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// Utf8ToUtf16 onto the end of `out`, for text that arrives in pieces (each
// piece must end on a sequence boundary).
void AppendUtf8ToUtf16(std::u16string& out, std::string_view utf8);

}  // namespace locmodel
