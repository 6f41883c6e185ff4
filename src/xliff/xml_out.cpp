#include "xliff/xml_out.h"

#include <cstdio>

#include "locmodel/util/unicode.h"

namespace locmodel::xliff {
namespace {

bool HasUnpairedSurrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0xD800 || c > 0xDFFF) continue;
    if (c >= 0xDC00 || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
    ++i;
  }
  return false;
}

bool IsControl(unsigned char b) { return b < 0x20 && b != '\t' && b != '\n' && b != '\r'; }

// U+FFFE and U+FFFF, the two BMP noncharacters XML 1.0 excludes, in UTF-8.
bool IsExcludedNonCharacter(const std::string& s, size_t i) {
  return static_cast<unsigned char>(s[i]) == 0xEF && i + 2 < s.size() &&
         static_cast<unsigned char>(s[i + 1]) == 0xBF &&
         (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE;
}

}  // namespace

void XmlOut::Flush() {
  if (!buffer_.empty()) out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

XmlOut::Result XmlOut::Text(std::u16string_view text, Controls controls) {
  return Escaped(text, controls, false);
}

XmlOut::Result XmlOut::Attribute(std::string_view name, std::u16string_view value, Controls controls) {
  // Checked before anything is written, so a refusal leaves no half attribute.
  if (controls != Controls::Replace && HasUnpairedSurrogate(value)) return Result::Surrogate;
  const size_t mark = buffer_.size();
  buffer_ += ' ';
  buffer_.append(name);
  buffer_ += "=\"";
  const Result result = Escaped(value, controls == Controls::Cp ? Controls::Replace : controls, true);
  if (result != Result::Ok) {
    buffer_.resize(mark);
    return result;
  }
  buffer_ += '"';
  return Result::Ok;
}

XmlOut::Result XmlOut::Escaped(std::u16string_view text, Controls controls, bool inAttribute) {
  if (controls != Controls::Replace && HasUnpairedSurrogate(text)) return Result::Surrogate;
  utf8_ = Utf16ToUtf8(text);
  const size_t mark = buffer_.size();
  size_t run = 0;  // start of the bytes not yet copied
  auto put = [&](size_t i, std::string_view replacement, size_t skip) {
    buffer_.append(utf8_, run, i - run);
    buffer_.append(replacement);
    run = i + skip;
  };
  for (size_t i = 0; i < utf8_.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(utf8_[i]);
    switch (b) {
      case '<': put(i, "&lt;", 1); continue;
      case '>': put(i, "&gt;", 1); continue;  // "]]>" may not appear in text
      case '&': put(i, "&amp;", 1); continue;
      case '"': if (inAttribute) put(i, "&quot;", 1); continue;
      case '\r': put(i, "&#13;", 1); continue;  // a parser turns a literal one into a line feed
      case '\n': if (inAttribute) put(i, "&#10;", 1); continue;
      case '\t': if (inAttribute) put(i, "&#9;", 1); continue;
      default: break;
    }
    const bool control = IsControl(b);
    if (!control && !IsExcludedNonCharacter(utf8_, i)) continue;
    if (controls == Controls::Refuse) {
      buffer_.resize(mark);
      return Result::Control;
    }
    const size_t width = control ? 1 : 3;
    if (controls == Controls::Replace) {
      put(i, "\xEF\xBF\xBD", width);  // U+FFFD
    } else {
      char cp[32];
      std::snprintf(cp, sizeof cp, "<cp hex=\"%04X\"/>", control ? unsigned{b} : 0xFFFEu + (utf8_[i + 2] & 1));
      put(i, cp, width);
    }
    i += width - 1;
  }
  buffer_.append(utf8_, run, std::string::npos);
  if (buffer_.size() >= kFlushAt) Flush();
  return Result::Ok;
}

bool NeedsPreserve(std::u16string_view text) {
  if (text.empty()) return false;
  if (text.front() == u' ' || text.back() == u' ') return true;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\n' || c == u'\r' || c == u'\t' || (c == u' ' && i + 1 < text.size() && text[i + 1] == u' '))
      return true;
  }
  return false;
}

}  // namespace locmodel::xliff
