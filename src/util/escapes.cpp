// Escape sequences: the escape-code display of control characters, SQL,
// XML and HTML escaping, and BlackBerry resource strings.
#include <cstdio>
#include <string>

#include "locmodel/util/str_util.h"
#include "util/ascii.h"

namespace {

struct Escape {
  char16_t character;
  char16_t letter;
};

// The order is the one the display has always used; lookups go both ways.
constexpr Escape kEscapeCodes[] = {
    {u'\a', u'a'}, {u'\b', u'b'}, {u'\f', u'f'}, {u'\n', u'n'},
    {u'\r', u'r'}, {u'\t', u't'}, {u'\v', u'v'},
};

constexpr Escape kBlackberryEscapes[] = {
    {u'"', u'"'}, {u'\\', u'\\'}, {u'\f', u'f'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'\t', u't'},
};

template <size_t N>
const Escape* ByCharacter(const Escape (&table)[N], char16_t c) {
  for (const Escape& e : table)
    if (e.character == c) return &e;
  return nullptr;
}

template <size_t N>
const Escape* ByLetter(const Escape (&table)[N], char16_t c) {
  for (const Escape& e : table)
    if (e.letter == c) return &e;
  return nullptr;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::u16string ShowEscapeCodes(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (c == u'\\') {
      out += u"\\\\";
    } else if (const Escape* e = ByCharacter(kEscapeCodes, c)) {
      out.push_back(u'\\');
      out.push_back(e->letter);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string HideEscapeCodes(const std::u16string& s) {
  if (s.find(u'\\') == std::u16string::npos) return s;
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (s[i] != u'\\') {
      out.push_back(s[i++]);
      continue;
    }
    size_t run = 0;
    while (i < s.size() && s[i] == u'\\') ++run, ++i;
    out.append(run / 2, u'\\');
    if (run % 2 == 1 && i < s.size()) {
      const Escape* e = ByLetter(kEscapeCodes, s[i]);
      out.push_back(e ? e->character : s[i]);
      ++i;
    }
  }
  return out;
}

std::u16string ShowFormattingSymols(const std::u16string& s) { return s; }

std::u16string DuplicateSpecChar(const char16_t* s) {
  std::u16string out;
  for (; s && *s; ++s) {
    out.push_back(*s);
    if (*s == u'\'') out.push_back(u'\'');
  }
  return out;
}

std::u16string GuiStrToStr(const std::u16string& gui) { return locmodel::Prefixed(u'@', HideEscapeCodes(gui)); }

std::u16string StrToGuiStr(const std::u16string& unified) {
  if (!unified.empty() && unified[0] == u'#') return {};
  return ShowEscapeCodes(StrFromUnified(unified.c_str()));
}

std::u16string CStrUtil::EscapeXMLString(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size() + s.size() / 8);
  for (char16_t c : s) {
    switch (c) {
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'&': out += u"&amp;"; break;
      case u'"': out += u"&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::u16string CStrUtil::SafeHTMLText(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size() * 6);
  for (char16_t c : s) {
    out += u"&#";
    locmodel::AppendAscii(out, std::to_string(unsigned{c}));
    out.push_back(u';');
  }
  return out;
}

std::u16string CStrUtil::EscapeBlackberryStr(const std::u16string& s, bool escapeNonAscii) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (const Escape* e = ByCharacter(kBlackberryEscapes, c)) {
      out.push_back(u'\\');
      out.push_back(e->letter);
    } else if (escapeNonAscii && (c < 32 || c >= 127)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\u%04x", unsigned{c});
      locmodel::AppendAscii(out, hex);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string CStrUtil::UnescapeBlackberryStr(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    if (s[i] != u'\\' || i + 1 == n) {
      out.push_back(s[i++]);
      continue;
    }
    const char16_t next = s[i + 1];
    if (const Escape* e = ByLetter(kBlackberryEscapes, next)) {
      out.push_back(e->character);
      i += 2;
    } else if (next == u'u') {
      i += 2;
      unsigned value = 0;
      int digits = 0;
      for (; digits < 4 && i < n && HexValue(s[i]) >= 0; ++digits, ++i)
        value = value * 16 + HexValue(s[i]);
      if (digits == 4) out.push_back(static_cast<char16_t>(value));
    } else {
      ++i;  // the backslash is dropped; the character is read as usual
    }
  }
  return out;
}
