#include "locmodel/util/unicode.h"

#include <algorithm>

namespace locmodel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence starting at s[i] and advances i past it. A
// malformed sequence consumes its maximal subpart, the longest prefix that
// could still begin a well-formed sequence (at least one byte), and yields
// one replacement character for it, as ICU, Python and browsers do. The
// second byte's range carries every rule on overlongs, surrogates and the
// top of the code space, so no check is needed after decoding.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;       // overlong below U+0800
    if (lead == 0xED) hi = 0x9F;       // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;       // overlong below U+10000
    if (lead == 0xF4) hi = 0x8F;       // above U+10FFFF
  } else {
    return kReplacement;
  }
  for (int k = 0; k < extra; ++k, lo = 0x80, hi = 0xBF) {
    if (i >= s.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(s[i]);
    if (next < lo || next > hi) return kReplacement;
    cp = (cp << 6) | (next & 0x3F);
    ++i;
  }
  return cp;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  AppendUtf8ToUtf16(out, utf8);
  return out;
}

void AppendUtf8ToUtf16(std::u16string& out, std::string_view utf8) {
  // Never more code units than bytes; reserving more than that would defeat
  // the string's own geometric growth when the calls are many and small.
  if (out.capacity() - out.size() < utf8.size()) out.reserve(std::max(out.size() + utf8.size(), 2 * out.size()));
  for (size_t i = 0; i < utf8.size();) {
    // Runs of ASCII, the bulk of most texts, are widened without decoding.
    size_t end = i;
    while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
    if (end == i) {
      AppendUtf16(out, DecodeUtf8(utf8, i));
      continue;
    }
    const size_t at = out.size();
    out.resize(at + (end - i));
    for (size_t k = 0; k < end - i; ++k) out[at + k] = static_cast<unsigned char>(utf8[i + k]);
    i = end;
  }
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  // All-ASCII text, the bulk of what is written, is narrowed in one pass
  // after one test, both of which vectorize.
  char16_t bits = 0;
  for (char16_t c : utf16) bits |= c;
  std::string out;
  if (bits < 0x80) {
    out.resize(utf16.size());
    char* to = out.data();
    const char16_t* from = utf16.data();
    for (size_t i = 0; i < utf16.size(); ++i) to[i] = static_cast<char>(from[i]);
    return out;
  }
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace locmodel
