#include "locmodel/hhp/hhp_info.h"

#include <cctype>
#include <charconv>

#include "hhp/hhp_lines.h"
#include "locmodel/serial/strategies.h"

LOCMODEL_DEFINE_PROP(CHhpInfoProp, u"HhpInfoProp");

namespace {

// One optional member: an absent node or a field that does not read (a
// wrong width, a broken container) leaves the member as it was, so a
// container is read aside and taken only when whole.
template <typename T>
void DoOptional(Serial::ISerialStream& stream, const char16_t* name, T& member) {
  if (!stream.IsReading()) {
    Serial::DoNode(stream, name, member);
    return;
  }
  T read{};
  bool present = false;
  const bool ok = Serial::InNode(stream, Serial::NodeName(name), [&] {
    present = true;
    return Serial::DoValue(stream, read);
  });
  if (present && ok) member = std::move(read);
}

// Digits from std::to_chars, widened on the stack: one append, no temporary.
void AppendDigits(std::u16string& text, const char* begin, const char* end, bool upper = false) {
  char16_t wide[16];
  size_t length = 0;
  for (const char* c = begin; c != end; ++c)
    wide[length++] = static_cast<char16_t>(upper ? std::toupper(static_cast<unsigned char>(*c)) : *c);
  text.append(wide, length);
}

// "%d": the 32-bit value, signed.
void AppendDecimal(std::u16string& text, int32_t value) {
  char buffer[16];
  AppendDigits(text, buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// "0x%X": upper-case digits of the 32-bit pattern, no leading zeros.
void AppendHex(std::u16string& text, uint32_t value) {
  char buffer[16];
  text.append(u"0x");
  AppendDigits(text, buffer, std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr, true);
}

void AppendLine(std::u16string& text, std::u16string_view line) {
  text.append(line);
  text.push_back(u'\n');
}

void AppendYesNo(std::u16string& text, std::u16string_view key, bool value) {
  text.append(key);
  AppendLine(text, value ? u"Yes" : u"No");
}

// "Key=value", only for a value that is not empty.
void AppendOption(std::u16string& text, std::u16string_view key, const std::u16string& value) {
  if (value.empty()) return;
  text.append(key);
  text.push_back(u'=');
  AppendLine(text, value);
}

// A section header, its lines, and the empty line that closes it; nothing
// for a section without lines.
template <typename C, typename Line>
void AppendSection(std::u16string& text, std::u16string_view header, const C& entries, Line line) {
  if (entries.empty()) return;
  AppendLine(text, header);
  for (const auto& entry : entries) {
    line(entry);
    text.push_back(u'\n');
  }
  text.push_back(u'\n');
}

}  // namespace

bool CAliasEntry::Do(Serial::ISerialStream& stream) {
  DoOptional(stream, u"id", id);
  DoOptional(stream, u"val", val);
  return true;
}

bool CWindowEntry::Do(Serial::ISerialStream& stream) {
  DoOptional(stream, u"ValidMask", ValidMask);
  DoOptional(stream, u"WindowType", WindowType);
  DoOptional(stream, u"TitleBarText", TitleBarText);
  DoOptional(stream, u"TOCFile", TOCFile);
  DoOptional(stream, u"IndexFile", IndexFile);
  DoOptional(stream, u"DefaultFile", DefaultFile);
  DoOptional(stream, u"HomeFile", HomeFile);
  DoOptional(stream, u"Jump1File", Jump1File);
  DoOptional(stream, u"Jump1Text", Jump1Text);
  DoOptional(stream, u"Jump2File", Jump2File);
  DoOptional(stream, u"Jump2Text", Jump2Text);
  DoOptional(stream, u"NavPaneStyle", NavPaneStyle);
  DoOptional(stream, u"Width", Width);
  DoOptional(stream, u"bfButtonsShow", bfButtonsShow);
  DoOptional(stream, u"Position", Position);
  DoOptional(stream, u"Style", Style);
  DoOptional(stream, u"StyleEx", StyleEx);
  DoOptional(stream, u"ShowState", ShowState);
  DoOptional(stream, u"IsClosed", IsClosed);
  DoOptional(stream, u"DefaultPane", DefaultPane);
  DoOptional(stream, u"DefaultPaneTab", DefaultPaneTab);
  DoOptional(stream, u"NotifyId", NotifyId);
  return true;
}

void CWindowEntry::AddStr(std::u16string& text, const std::u16string& value) {
  text.push_back(u',');
  if (value.empty()) return;
  text.push_back(u'"');
  text.append(value);
  text.push_back(u'"');
}

void CWindowEntry::AddInt(std::u16string& text, uint32_t value, bool present) {
  text.push_back(u',');
  if (present) AppendHex(text, value);
}

void CWindowEntry::AddRect(std::u16string& text, const RECT& rect, bool present) {
  text.push_back(u',');
  if (!present) return;
  text.push_back(u'[');
  for (int32_t side : {rect.left, rect.top, rect.right, rect.bottom}) {
    AppendDecimal(text, side);
    text.push_back(u',');
  }
  text.back() = u']';
}

std::u16string CWindowEntry::ToString() const {
  std::u16string text = WindowType;
  text.append(u"=\"").append(TitleBarText).push_back(u'"');
  for (const std::u16string* s : {&TOCFile, &IndexFile, &DefaultFile, &HomeFile, &Jump1File,
                                  &Jump1Text, &Jump2File, &Jump2Text})
    AddStr(text, *s);
  const auto has = [this](MaskBit bit) { return (ValidMask & bit) != 0; };
  AddInt(text, NavPaneStyle, has(kNavPaneStyle));
  AddInt(text, static_cast<uint32_t>(Width), has(kWidth));
  AddInt(text, bfButtonsShow, has(kButtonsShow));
  AddRect(text, Position, has(kPosition));
  AddInt(text, Style, has(kStyle));
  AddInt(text, StyleEx, has(kStyleEx));
  AddInt(text, static_cast<uint32_t>(ShowState), has(kShowState));
  AddInt(text, IsClosed, has(kIsClosed));
  AddInt(text, DefaultPane, has(kDefaultPane));
  AddInt(text, DefaultPaneTab, has(kDefaultPaneTab));
  AddInt(text, NotifyId, true);
  return text;
}

bool CHhpInfo::Do(Serial::ISerialStream& stream) {
  DoOptional(stream, u"Version", Version);
  DoOptional(stream, u"AutoIndex", AutoIndex);
  DoOptional(stream, u"AutoTOC", AutoTOC);
  DoOptional(stream, u"CreateCHI", CreateCHI);
  DoOptional(stream, u"TargetFile", TargetFile);
  DoOptional(stream, u"ErrorLogFile", ErrorLogFile);
  DoOptional(stream, u"ContentsFile", ContentsFile);
  DoOptional(stream, u"IndexFile", IndexFile);
  DoOptional(stream, u"DefaultTopic", DefaultTopic);
  DoOptional(stream, u"Title", Title);
  DoOptional(stream, u"lcid", Lcid);
  DoOptional(stream, u"Language", Language);
  DoOptional(stream, u"IsFullTextSearch", IsFullTextSearch);
  DoOptional(stream, u"DefaultWindow", DefaultWindow);
  DoOptional(stream, u"IsBinaryIndex", IsBinaryIndex);
  DoOptional(stream, u"IsBinaryTOC", IsBinaryTOC);
  DoOptional(stream, u"DefaultFont", DefaultFont);
  DoOptional(stream, u"Windows", Windows);
  DoOptional(stream, u"MergeList", MergeList);
  DoOptional(stream, u"AliasList", AliasList);
  DoOptional(stream, u"Files", Files);
  return true;
}

std::u16string CHhpInfo::ToString() const {
  // One allocation for the usual project: its texts plus what each line adds.
  size_t estimate = 1024;
  for (const CWindowEntry& w : Windows)
    estimate += 256 + w.WindowType.size() + w.TitleBarText.size() + w.TOCFile.size() + w.HomeFile.size();
  for (const auto* list : {&MergeList, &Files})
    for (const std::u16string& f : *list) estimate += f.size() + 1;
  for (const CAliasEntry& a : AliasList) estimate += a.val.size() + 64;
  std::u16string text;
  text.reserve(estimate);
  AppendLine(text, u"[OPTIONS]");
  AppendLine(text, u"Display compile progress=Yes");
  AppendYesNo(text, u"Auto Index=", AutoIndex);
  AppendYesNo(text, u"Binary Index=", IsBinaryIndex);
  AppendYesNo(text, u"Binary TOC=", IsBinaryTOC);
  AppendLine(text, Version == 2 ? u"Compatibility=1.0" : u"Compatibility=1.1 or later");
  AppendOption(text, u"Compiled file", TargetFile);
  AppendOption(text, u"Contents file", ContentsFile);
  AppendYesNo(text, u"Create CHI file=", CreateCHI);
  AppendOption(text, u"Default Font", DefaultFont);
  AppendOption(text, u"Default Window", DefaultWindow);
  AppendOption(text, u"Default topic", DefaultTopic);
  AppendOption(text, u"Error log file", ErrorLogFile);
  AppendYesNo(text, u"Full-text search=", IsFullTextSearch);
  AppendOption(text, u"Index file", IndexFile);
  text.append(u"Language=");
  AppendHex(text, static_cast<uint32_t>(Language));
  text.push_back(u'\n');
  AppendOption(text, u"Title", Title);
  text.push_back(u'\n');

  AppendSection(text, u"[WINDOWS]", Windows, [&](const CWindowEntry& w) { text.append(w.ToString()); });
  AppendSection(text, u"[MERGE FILES]", MergeList, [&](const std::u16string& f) { text.append(f); });
  AppendSection(text, u"[FILES]", Files, [&](const std::u16string& f) { text.append(f); });
  // The ids format as %d does: from 2^31 up they print negative.
  AppendSection(text, u"[ALIAS]", AliasList, [&](const CAliasEntry& a) {
    text.append(u"IDH_");
    AppendDecimal(text, static_cast<int32_t>(a.id));
    text.append(u" = ").append(a.val);
  });
  AppendSection(text, u"[MAP]", AliasList, [&](const CAliasEntry& a) {
    text.append(u"#define IDH_");
    AppendDecimal(text, static_cast<int32_t>(a.id));
    text.push_back(u' ');
    AppendDecimal(text, static_cast<int32_t>(a.id));
  });
  text.push_back(u'\n');
  return text;
}

size_t locmodel::hhp_detail::ToStringLineCount(const CHhpInfo& info) {
  // Nine [OPTIONS] lines always, the empty line closing them, the last line.
  size_t lines = 11;
  for (const std::u16string* option : {&info.TargetFile, &info.ContentsFile, &info.DefaultFont, &info.DefaultWindow,
                                       &info.DefaultTopic, &info.ErrorLogFile, &info.IndexFile, &info.Title})
    lines += !option->empty();
  // A section: its header, its entries and its closing empty line.
  for (size_t entries : {info.Windows.size(), info.MergeList.size(), info.Files.size(), info.AliasList.size(),
                         info.AliasList.size()})
    lines += entries ? entries + 2 : 0;
  return lines;
}

void CHhpInfo::InitSkippedFields() {
  if (Windows.empty()) return;
  const CWindowEntry* chosen = &Windows.front();
  for (const CWindowEntry& window : Windows)
    if (window.WindowType == DefaultWindow) chosen = &window;
  if (IndexFile.empty()) IndexFile = chosen->IndexFile;
  if (ContentsFile.empty()) ContentsFile = chosen->TOCFile;
  if (DefaultTopic.empty()) DefaultTopic = chosen->HomeFile;
  if (Title.empty()) Title = chosen->TitleBarText;
}
