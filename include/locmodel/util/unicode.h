// Conversions between UTF-8 and UTF-16, the two encodings the model meets.
//
// Every text of the model is a std::u16string of UTF-16 code units; files,
// paths, pipes and messages on this platform are UTF-8. These functions
// are the only place where one becomes the other. Malformed input never
// fails: an unpaired surrogate becomes U+FFFD, and so does each maximal
// subpart of an ill-formed UTF-8 sequence (the longest run of bytes that
// could still have begun a valid sequence, else a single byte), the
// practice ICU, Python and browsers follow, so "\xE0\x80\x80" gives three.
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
