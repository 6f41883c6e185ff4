#include "locmodel/util/char_entities.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <string_view>

#include "util/html_entities.h"

using locmodel::EntityRow;

CCharEntitiesHelper::EntityToUnicodeMap CCharEntitiesHelper::HTMLEntityToUnicode_;
CCharEntitiesHelper::UnicodeToEntityMap CCharEntitiesHelper::UnicodeToHTMLEntity_;
CCharEntitiesHelper::EntityToUnicodeMap CCharEntitiesHelper::XMLEntityToUnicode_;
CCharEntitiesHelper::UnicodeToEntityMap CCharEntitiesHelper::UnicodeToXMLEntity_;

namespace {

// Names that HTML text in the wild uses beyond the HTML 4.01 sets. Coming
// last, the upper-case ones become the names the HTML encoder writes.
constexpr EntityRow kHtmlExtraEntities[] = {
    {u"apos", 39}, {u"AMP", 38}, {u"COPY", 169}, {u"GT", 62},
    {u"LT", 60},   {u"QUOT", 34}, {u"REG", 174},
};

constexpr EntityRow kXmlEntities[] = {
    {u"quot", 34}, {u"amp", 38}, {u"apos", 39}, {u"lt", 60}, {u"gt", 62},
};

template <size_t N>
void AddRows(const EntityRow (&rows)[N], CCharEntitiesHelper::EntityToUnicodeMap& names,
             CCharEntitiesHelper::UnicodeToEntityMap& chars) {
  for (const EntityRow& row : rows) {
    names[row.name] = row.character;
    chars[row.character] = row.name;
  }
}

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

int DigitValue(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (!hex) return -1;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads the reference candidate whose "&" is at `amp`. Returns its
// character (0 when it is none) and sets `stop` to where reading stopped:
// the ";" of a reference, otherwise the first unit not taken. `stop` is
// always past `amp`, and everything skipped is known not to hold an "&".
char16_t ReadReference(const CCharEntitiesHelper::EntityToUnicodeMap& names,
                       const std::u16string& text, size_t amp, size_t& stop) {
  const size_t n = text.size();
  size_t j = amp + 1;
  if (j < n && text[j] == u'#') {
    ++j;
    const bool hex = j < n && (text[j] == u'x' || text[j] == u'X');
    if (hex) ++j;
    const int max_digits = hex ? 4 : 6;
    uint32_t value = 0;
    int digits = 0;
    for (int d; digits < max_digits && j < n && (d = DigitValue(text[j], hex)) >= 0; ++digits, ++j)
      value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    stop = j;
    if (digits == 0 || j == n || text[j] != u';' || value == 0 || value > 0xFFFF) return 0;
    return static_cast<char16_t>(value);
  }
  while (j < n && IsAsciiLetter(text[j])) ++j;
  stop = j;
  if (j == n || text[j] != u';') return 0;
  const auto it = names.find(std::u16string_view(text).substr(amp + 1, j - amp - 1));
  return it == names.end() ? 0 : it->second;
}

}  // namespace

char16_t CCharEntitiesHelper::GetNextEntity(const EntityToUnicodeMap& names,
                                            const std::u16string& text, int from, int& start,
                                            int& end) {
  const size_t n = text.size();
  if (n < 3) return 0;
  const size_t limit = n - 2;  // an "&" here or later has no room for a reference
  size_t i = from < 0 ? 0 : static_cast<size_t>(from);
  while (i < limit) {
    i = text.find(u'&', i);
    if (i == std::u16string::npos || i >= limit) return 0;
    size_t stop;
    if (const char16_t c = ReadReference(names, text, i, stop)) {
      start = static_cast<int>(i);
      end = static_cast<int>(stop);
      return c;
    }
    i = stop;
  }
  return 0;
}

// A reference is never shorter than its character, so the text is rewritten
// in place: the write position never overtakes the read position.
void CCharEntitiesHelper::EntitiesToUnicode(const EntityToUnicodeMap& names,
                                            std::u16string& text) {
  size_t read = 0, write = 0;
  int start = 0, end = 0;
  while (const char16_t c = GetNextEntity(names, text, static_cast<int>(read), start, end)) {
    if (write != read) std::copy(text.begin() + read, text.begin() + start, text.begin() + write);
    write += static_cast<size_t>(start) - read;
    text[write++] = c;
    read = static_cast<size_t>(end) + 1;
  }
  if (write == read) return;  // nothing found: the text stands
  std::copy(text.begin() + read, text.end(), text.begin() + write);
  text.resize(write + (text.size() - read));
}

void CCharEntitiesHelper::UnicodeToEntities(const UnicodeToEntityMap& chars,
                                            std::u16string& text) {
  // Most text is Latin-1 that needs no name: a bitmap of the named units
  // below 256 spares those a map lookup.
  std::bitset<256> named_low;
  for (const auto& entry : chars) {
    if (entry.first >= named_low.size()) break;
    named_low.set(entry.first);
  }
  std::u16string out;
  out.reserve(text.size() + text.size() / 8);
  for (char16_t c : text) {
    if (c < named_low.size() && !named_low[c]) {
      out.push_back(c);
      continue;
    }
    const auto it = chars.find(c);
    if (it == chars.end()) {
      out.push_back(c);
      continue;
    }
    out.push_back(u'&');
    out += it->second;
    out.push_back(u';');
  }
  text.swap(out);
}

void CCharEntitiesHelper::HideEntities(const EntityToUnicodeMap& names, std::u16string& text) {
  int start = 0, end = -1;
  while (const char16_t c = GetNextEntity(names, text, end + 1, start, end))
    std::fill(text.begin() + start, text.begin() + end + 1, c);
}

void CCharEntitiesHelper::HTMLEntitiesToUnicode(std::u16string& text) {
  EntitiesToUnicode(GetHTMLEntityToUnicodeMap(), text);
}
void CCharEntitiesHelper::UnicodeToHTMLEntities(std::u16string& text) {
  UnicodeToEntities(GetUnicodeToHTMLEntityMap(), text);
}
void CCharEntitiesHelper::HideHTMLEntities(std::u16string& text) {
  HideEntities(GetHTMLEntityToUnicodeMap(), text);
}
void CCharEntitiesHelper::XMLEntitiesToUnicode(std::u16string& text) {
  EntitiesToUnicode(GetXMLEntityToUnicodeMap(), text);
}
void CCharEntitiesHelper::UnicodeToXMLEntities(std::u16string& text) {
  UnicodeToEntities(GetUnicodeToXMLEntityMap(), text);
}

std::u16string CCharEntitiesHelper::ToXML(const std::u16string& text) {
  std::u16string copy = text;
  UnicodeToXMLEntities(copy);
  return copy;
}

const CCharEntitiesHelper::EntityToUnicodeMap& CCharEntitiesHelper::GetHTMLEntityToUnicodeMap() {
  InitHTMLEntitiesTable();
  return HTMLEntityToUnicode_;
}
const CCharEntitiesHelper::UnicodeToEntityMap& CCharEntitiesHelper::GetUnicodeToHTMLEntityMap() {
  InitHTMLEntitiesTable();
  return UnicodeToHTMLEntity_;
}
const CCharEntitiesHelper::EntityToUnicodeMap& CCharEntitiesHelper::GetXMLEntityToUnicodeMap() {
  InitXMLEntitiesTable();
  return XMLEntityToUnicode_;
}
const CCharEntitiesHelper::UnicodeToEntityMap& CCharEntitiesHelper::GetUnicodeToXMLEntityMap() {
  InitXMLEntitiesTable();
  return UnicodeToXMLEntity_;
}

void CCharEntitiesHelper::InitHTMLEntitiesTable() {
  if (!HTMLEntityToUnicode_.empty()) return;
  AddRows(locmodel::kHtml401Entities, HTMLEntityToUnicode_, UnicodeToHTMLEntity_);
  AddRows(kHtmlExtraEntities, HTMLEntityToUnicode_, UnicodeToHTMLEntity_);
}

void CCharEntitiesHelper::InitXMLEntitiesTable() {
  if (!XMLEntityToUnicode_.empty()) return;
  AddRows(kXmlEntities, XMLEntityToUnicode_, UnicodeToXMLEntity_);
}
