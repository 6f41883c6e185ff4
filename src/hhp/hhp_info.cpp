#include "locmodel/hhp/hhp_info.h"

#include <cctype>
#include <charconv>
#include <string_view>

#include "hhp/hhp_lines.h"
#include "locmodel/serial/strategies.h"
#include "locmodel/util/unicode.h"

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

// The text is formatted once, by the templates below, into either of two
// outputs: ToString's UTF-16, or the writer's UTF-8 bytes, which so never
// need the UTF-16 text built first. Put appends a literal (ASCII) or a field.
void Put(std::u16string& out, std::string_view ascii) {
  const size_t at = out.size();
  out.resize(at + ascii.size());
  for (size_t i = 0; i < ascii.size(); ++i) out[at + i] = static_cast<unsigned char>(ascii[i]);
}
void Put(std::u16string& out, std::u16string_view field) { out.append(field); }
void Put(std::string& out, std::string_view ascii) { out.append(ascii); }
void Put(std::string& out, std::u16string_view field) { locmodel::AppendUtf16ToUtf8(out, field); }

// "%d": the 32-bit value, signed.
template <typename Out>
void PutDecimal(Out& out, int32_t value) {
  char buffer[16];
  Put(out, std::string_view(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer));
}

// "0x%X": upper-case digits of the 32-bit pattern, no leading zeros.
template <typename Out>
void PutHex(Out& out, uint32_t value) {
  char buffer[16];
  char* const end = std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr;
  for (char* c = buffer; c != end; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  Put(out, "0x");
  Put(out, std::string_view(buffer, end - buffer));
}

template <typename Out, typename Text>
void PutLine(Out& out, Text line) {
  Put(out, line);
  out.push_back('\n');
}

template <typename Out>
void PutYesNo(Out& out, std::string_view key, bool value) {
  Put(out, key);
  PutLine(out, value ? "Yes" : "No");
}

// "Key=value", only for a value that is not empty.
template <typename Out>
void PutOption(Out& out, std::string_view key, const std::u16string& value) {
  if (value.empty()) return;
  Put(out, key);
  out.push_back('=');
  PutLine(out, std::u16string_view(value));
}

// A section header, its lines, and the empty line that closes it; nothing
// for a section without lines.
template <typename Out, typename C, typename Line>
void PutSection(Out& out, std::string_view header, const C& entries, Line line) {
  if (entries.empty()) return;
  PutLine(out, header);
  for (const auto& entry : entries) {
    line(entry);
    out.push_back('\n');
  }
  out.push_back('\n');
}

// The comma, then a non-empty string quoted.
template <typename Out>
void PutStr(Out& out, const std::u16string& value) {
  out.push_back(',');
  if (value.empty()) return;
  out.push_back('"');
  Put(out, std::u16string_view(value));
  out.push_back('"');
}

template <typename Out>
void PutInt(Out& out, uint32_t value, bool present) {
  out.push_back(',');
  if (present) PutHex(out, value);
}

template <typename Out>
void PutRect(Out& out, const RECT& rect, bool present) {
  out.push_back(',');
  if (!present) return;
  char separator = '[';
  for (int32_t side : {rect.left, rect.top, rect.right, rect.bottom}) {
    out.push_back(separator);
    PutDecimal(out, side);
    separator = ',';
  }
  out.push_back(']');
}

template <typename Out>
void PutWindow(Out& out, const CWindowEntry& w) {
  Put(out, std::u16string_view(w.WindowType));
  Put(out, "=\"");
  Put(out, std::u16string_view(w.TitleBarText));
  out.push_back('"');
  for (const std::u16string* s : {&w.TOCFile, &w.IndexFile, &w.DefaultFile, &w.HomeFile, &w.Jump1File,
                                  &w.Jump1Text, &w.Jump2File, &w.Jump2Text})
    PutStr(out, *s);
  const auto has = [&w](CWindowEntry::MaskBit bit) { return (w.ValidMask & bit) != 0; };
  PutInt(out, w.NavPaneStyle, has(CWindowEntry::kNavPaneStyle));
  PutInt(out, static_cast<uint32_t>(w.Width), has(CWindowEntry::kWidth));
  PutInt(out, w.bfButtonsShow, has(CWindowEntry::kButtonsShow));
  PutRect(out, w.Position, has(CWindowEntry::kPosition));
  PutInt(out, w.Style, has(CWindowEntry::kStyle));
  PutInt(out, w.StyleEx, has(CWindowEntry::kStyleEx));
  PutInt(out, static_cast<uint32_t>(w.ShowState), has(CWindowEntry::kShowState));
  PutInt(out, w.IsClosed, has(CWindowEntry::kIsClosed));
  PutInt(out, w.DefaultPane, has(CWindowEntry::kDefaultPane));
  PutInt(out, w.DefaultPaneTab, has(CWindowEntry::kDefaultPaneTab));
  PutInt(out, w.NotifyId, true);
}

template <typename Out>
void PutHhp(Out& out, const CHhpInfo& info) {
  // One allocation for the usual project: its texts plus what each line adds.
  size_t estimate = 1024;
  for (const CWindowEntry& w : info.Windows)
    estimate += 256 + w.WindowType.size() + w.TitleBarText.size() + w.TOCFile.size() + w.HomeFile.size();
  for (const auto* list : {&info.MergeList, &info.Files})
    for (const std::u16string& f : *list) estimate += f.size() + 1;
  for (const CAliasEntry& a : info.AliasList) estimate += a.val.size() + 64;
  out.reserve(out.size() + estimate);
  PutLine(out, "[OPTIONS]");
  PutLine(out, "Display compile progress=Yes");
  PutYesNo(out, "Auto Index=", info.AutoIndex);
  PutYesNo(out, "Binary Index=", info.IsBinaryIndex);
  PutYesNo(out, "Binary TOC=", info.IsBinaryTOC);
  PutLine(out, info.Version == 2 ? "Compatibility=1.0" : "Compatibility=1.1 or later");
  PutOption(out, "Compiled file", info.TargetFile);
  PutOption(out, "Contents file", info.ContentsFile);
  PutYesNo(out, "Create CHI file=", info.CreateCHI);
  PutOption(out, "Default Font", info.DefaultFont);
  PutOption(out, "Default Window", info.DefaultWindow);
  PutOption(out, "Default topic", info.DefaultTopic);
  PutOption(out, "Error log file", info.ErrorLogFile);
  PutYesNo(out, "Full-text search=", info.IsFullTextSearch);
  PutOption(out, "Index file", info.IndexFile);
  Put(out, "Language=");
  PutHex(out, static_cast<uint32_t>(info.Language));
  out.push_back('\n');
  PutOption(out, "Title", info.Title);
  out.push_back('\n');

  PutSection(out, "[WINDOWS]", info.Windows, [&](const CWindowEntry& w) { PutWindow(out, w); });
  const auto file = [&](const std::u16string& f) { Put(out, std::u16string_view(f)); };
  PutSection(out, "[MERGE FILES]", info.MergeList, file);
  PutSection(out, "[FILES]", info.Files, file);
  // The ids format as %d does: from 2^31 up they print negative.
  PutSection(out, "[ALIAS]", info.AliasList, [&](const CAliasEntry& a) {
    Put(out, "IDH_");
    PutDecimal(out, static_cast<int32_t>(a.id));
    Put(out, " = ");
    Put(out, std::u16string_view(a.val));
  });
  PutSection(out, "[MAP]", info.AliasList, [&](const CAliasEntry& a) {
    Put(out, "#define IDH_");
    PutDecimal(out, static_cast<int32_t>(a.id));
    out.push_back(' ');
    PutDecimal(out, static_cast<int32_t>(a.id));
  });
  out.push_back('\n');
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

void CWindowEntry::AddStr(std::u16string& text, const std::u16string& value) { PutStr(text, value); }

void CWindowEntry::AddInt(std::u16string& text, uint32_t value, bool present) { PutInt(text, value, present); }

void CWindowEntry::AddRect(std::u16string& text, const RECT& rect, bool present) { PutRect(text, rect, present); }

std::u16string CWindowEntry::ToString() const {
  std::u16string text;
  PutWindow(text, *this);
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
  std::u16string text;
  PutHhp(text, *this);
  return text;
}

std::string locmodel::hhp_detail::ToUtf8String(const CHhpInfo& info) {
  std::string bytes;
  PutHhp(bytes, info);
  return bytes;
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
