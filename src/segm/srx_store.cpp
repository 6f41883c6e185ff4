// The store's value semantics, its serialized form, lookup by culture and
// writing SRX files. Reading SRX files is in srx_load.cpp.
#include "locmodel/segm/srx_store.h"

#include <unicode/regex.h>

#include <memory>

#include "locmodel/serial/strategies.h"
#include "locmodel/util/char_entities.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"

LOCMODEL_DEFINE_PROP(CSRXStoreProp, u"SRXStore");

CSRXStore::CLoadError::CLoadError(std::u16string path, const std::string& reason)
    : std::runtime_error(locmodel::Utf16ToUtf8(path) + ": " + reason), path_(std::move(path)) {}

bool CSRXStore::CRule::Do(Serial::ISerialStream& stream) {
  return Serial::Do(stream, Break) && Serial::Do(stream, BeforeBreak) && Serial::Do(stream, AfterBreak);
}

bool CSRXStore::CCultureEntry::Do(Serial::ISerialStream& stream) {
  return Serial::Do(stream, RuleName) && Serial::Do(stream, LangPattern);
}

bool CSRXStore::Do(Serial::ISerialStream& stream) {
  return Serial::DoNode(stream, u"Casaced", cascade_) &&
         Serial::DoNode(stream, u"Rules", entries_);
}

std::vector<size_t> CSRXStore::GetMatchingEntries(const std::u16string& culture) const {
  std::vector<size_t> matching;
  const icu::UnicodeString name(false, culture.data(), static_cast<int32_t>(culture.size()));
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::u16string& langPattern = entries_[i].first.LangPattern;
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString pattern(false, langPattern.data(), static_cast<int32_t>(langPattern.size()));
    icu::RegexMatcher matcher(pattern, name, 0, status);
    matcher.setTimeLimit(LANG_MATCH_TIME_LIMIT, status);
    if (U_FAILURE(status)) continue;
    const bool matches = matcher.matches(status);
    if (U_FAILURE(status) || !matches) continue;
    matching.push_back(i);
    if (!cascade_) break;
  }
  return matching;
}

void CSRXStore::GetRules(const std::u16string& culture, CRules& out) const {
  out.clear();
  for (size_t i : GetMatchingEntries(culture)) {
    out.insert(out.end(), entries_[i].second.begin(), entries_[i].second.end());
  }
}

std::string CSRXStore::ToSRX() const {
  using H = CCharEntitiesHelper;
  std::u16string text =
      u"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
      u"<srx version=\"2.0\" xmlns=\"http://www.lisa.org/srx20\" "
      u"xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      u"xsi:schemaLocation=\"http://www.lisa.org/srx20 srx20.xsd\">\n"
      u"  <body>\n"
      u"    <languagerules>\n";
  for (const auto& [map, rules] : entries_) {
    text += u"      <languagerule languagerulename=\"" + H::ToXML(map.RuleName) + u"\">\n";
    for (const CRule& rule : rules) {
      text += rule.Break ? u"        <rule break=\"yes\">\n" : u"        <rule break=\"no\">\n";
      text += u"          <beforebreak>" + H::ToXML(rule.BeforeBreak) + u"</beforebreak>\n";
      text += u"          <afterbreak>" + H::ToXML(rule.AfterBreak) + u"</afterbreak>\n";
      text += u"        </rule>\n";
    }
    text += u"      </languagerule>\n";
  }
  text += u"    </languagerules>\n    <maprules>\n";
  for (const auto& [map, rules] : entries_) {
    text += u"      <languagemap languagepattern=\"" + H::ToXML(map.LangPattern) +
            u"\" languagerulename=\"" + H::ToXML(map.RuleName) + u"\" />\n";
  }
  text += u"    </maprules>\n  </body>\n</srx>\n";

  // Text-mode output: every line feed becomes CR LF.
  const std::string utf8 = locmodel::Utf16ToUtf8(text);
  std::string bytes = "\xEF\xBB\xBF";
  bytes.reserve(utf8.size() + utf8.size() / 16 + 3);
  for (char c : utf8) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

bool CSRXStore::Save(const std::u16string& path) const {
  const std::string bytes = ToSRX();
  return locmodel::ReplaceFileWith(path, [&bytes](const std::u16string& file) {
           return WriteFile(file.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                            static_cast<int>(bytes.size()));
         }, {.unnamed = true}).empty();
}
