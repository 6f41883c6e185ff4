#include "locmodel/hhp/hhp_writer.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "hhp/hhp_lines.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

// What makes a text unwritable in a line of its own, or inside quotes.
const char* Defect(const std::u16string& value, bool quoted) {
  for (char16_t c : value) {
    if (c == u'\n' || c == u'\r') return "a line break";
    if (c == u'\0') return "a zero code unit";
    if (quoted && c == u'"') return "a double quote";
  }
  return nullptr;
}

// Whether a text holds a code unit below U+000E, the range of every defect
// but the double quote: one branch-free pass, as cheap as a copy.
bool HasControl(const std::u16string& value) {
  char16_t lowest = 0xFFFF;
  for (char16_t c : value) lowest = std::min(lowest, c);
  return lowest < 0x0E;
}

// Whether the few window fields may be refused, field by field.
bool WindowsMayBeRefused(const CHhpInfo& info) {
  for (const CWindowEntry& w : info.Windows) {
    if (HasControl(w.WindowType)) return true;
    for (const std::u16string* value : {&w.TitleBarText, &w.TOCFile, &w.IndexFile, &w.DefaultFile, &w.HomeFile,
                                        &w.Jump1File, &w.Jump1Text, &w.Jump2File, &w.Jump2Text})
      if (Defect(*value, true)) return true;
  }
  return false;
}

// Whether a field may be refused: the many file and alias texts are cleared
// in bulk.
bool MayBeRefused(const CHhpInfo& info) {
  bool found = WindowsMayBeRefused(info);
  for (const std::u16string* value : {&info.TargetFile, &info.ErrorLogFile, &info.ContentsFile, &info.IndexFile,
                                      &info.DefaultTopic, &info.Title, &info.DefaultWindow, &info.DefaultFont})
    found |= HasControl(*value);
  for (const auto* list : {&info.MergeList, &info.Files})
    for (const std::u16string& value : *list) found |= HasControl(value);
  for (const CAliasEntry& alias : info.AliasList) found |= HasControl(alias.val);
  return found;
}

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

std::string CodePointName(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

// The refusal for the character `c` at `at` in `text`: which one, and on
// which line.
Status Unrepresentable(char32_t c, const std::u16string& text, const char16_t* at, const std::string& encoding) {
  const long line = std::count(text.data(), at, u'\n') + 1;
  return Status::Malformed(CodePointName(c) + " on line " + std::to_string(line) + " cannot be written in " +
                           encoding);
}

// The character ICU stopped at, before `stop`.
Status IcuUnrepresentable(UConverter* converter, const std::u16string& text, const char16_t* stop,
                          const std::string& encoding) {
  UChar invalid[4];
  int8_t length = sizeof invalid / sizeof invalid[0];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_getInvalidUChars(converter, invalid, &length, &status);
  if (U_FAILURE(status) || length <= 0) return Status::Malformed("the text cannot be written in " + encoding);
  char32_t c = invalid[0];
  if (length == 2 && c >= 0xD800 && c < 0xDC00 && invalid[1] >= 0xDC00 && invalid[1] < 0xE000)
    c = 0x10000 + ((c - 0xD800) << 10) + (invalid[1] - 0xDC00);
  return Unrepresentable(c, text, std::max(stop - length, text.data()), encoding);
}

// The first surrogate without its partner, or null: the one thing UTF-8
// cannot carry.
const char16_t* UnpairedSurrogate(const std::u16string& text) {
  const char16_t* const end = text.data() + text.size();
  for (const char16_t* p = text.data(); p != end; ++p) {
    if (*p < 0xD800 || *p > 0xDFFF) continue;
    if (*p > 0xDBFF || p + 1 == end || p[1] < 0xDC00 || p[1] > 0xDFFF) return p;
    ++p;
  }
  return nullptr;
}

// The text with a CR before every LF.
template <typename Text>
Text WithCrlf(const Text& text) {
  Text crlf;
  crlf.reserve(text.size() + static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
  for (auto c : text) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}

// The LFs in `bytes`, counted in blocks short enough for a one-byte
// counter, which vectorizes well.
size_t CountLf(std::string_view bytes) {
  size_t total = 0;
  for (size_t at = 0; at < bytes.size(); at += 255) {
    unsigned char block = 0;
    for (char c : bytes.substr(at, 255)) block += c == '\n';
    total += block;
  }
  return total;
}

// ToString's text in UTF-8, written without ICU. Its bytes show the usual
// case at a glance: no zero or CR byte, and only the LFs ToString writes of
// its own; the fields are searched for the one to refuse only otherwise.
// The conversion writes U+FFFD for a surrogate without its partner, so only
// bytes holding one need the text searched for such a surrogate.
Status ConvertUtf8(const CHhpInfo& info, const std::u16string& text, const std::string& encoding,
                   std::string& bytes) {
  bytes = Utf16ToUtf8(text);
  const bool plain = bytes.find('\0') == std::string::npos && bytes.find('\r') == std::string::npos &&
                     CountLf(bytes) == hhp_detail::ToStringLineCount(info) &&
                     !WindowsMayBeRefused(info);
  if (!plain) {
    if (const std::string refusal = HhpRefusal(info); !refusal.empty()) return Status::Malformed(refusal);
  }
  if (bytes.find("\xEF\xBF\xBD") != std::string::npos) {
    if (const char16_t* unpaired = UnpairedSurrogate(text))
      return Unrepresentable(*unpaired, text, unpaired, encoding);
  }
  return Status::Ok();
}

// ToString's text in `encoding` through ICU, which stops at the first
// character the encoding lacks.
Status Convert(UConverter* converter, const std::u16string& text, const std::string& encoding,
               std::string& bytes) {
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFallback(converter, false);  // no best-fit mapping either
  const char16_t* source = text.data();
  const char16_t* const end = source + text.size();
  char buffer[1 << 16];
  do {
    char* target = buffer;
    status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, buffer + sizeof buffer, &source, end, nullptr, true, &status);
    bytes.append(buffer, target);
  } while (status == U_BUFFER_OVERFLOW_ERROR);
  if (U_FAILURE(status)) return IcuUnrepresentable(converter, text, source, encoding);
  return Status::Ok();
}

}  // namespace

std::string HhpRefusal(const CHhpInfo& info) {
  if (!MayBeRefused(info)) return {};
  std::string refusal;
  // The field's name is made only for the one refused.
  const auto check = [&](const std::u16string& value, bool quoted, const auto& field) {
    if (!refusal.empty()) return;
    if (const char* defect = Defect(value, quoted)) refusal = field() + " holds " + defect;
  };
  const auto entry = [](const char* list, size_t i, const char* member = "") {
    return [=] { return std::string(list) + "[" + std::to_string(i) + "]" + member; };
  };
  for (const auto& [name, value] : {std::pair{"TargetFile", &info.TargetFile},
                                    {"ErrorLogFile", &info.ErrorLogFile},
                                    {"ContentsFile", &info.ContentsFile},
                                    {"IndexFile", &info.IndexFile},
                                    {"DefaultTopic", &info.DefaultTopic},
                                    {"Title", &info.Title},
                                    {"DefaultWindow", &info.DefaultWindow},
                                    {"DefaultFont", &info.DefaultFont}})
    check(*value, false, [name = name] { return std::string(name); });
  for (size_t i = 0; i < info.Windows.size(); ++i) {
    const CWindowEntry& w = info.Windows[i];
    check(w.WindowType, false, entry("Windows", i, ".WindowType"));
    for (const auto& [name, value] : {std::pair{".TitleBarText", &w.TitleBarText},
                                      {".TOCFile", &w.TOCFile},
                                      {".IndexFile", &w.IndexFile},
                                      {".DefaultFile", &w.DefaultFile},
                                      {".HomeFile", &w.HomeFile},
                                      {".Jump1File", &w.Jump1File},
                                      {".Jump1Text", &w.Jump1Text},
                                      {".Jump2File", &w.Jump2File},
                                      {".Jump2Text", &w.Jump2Text}})
      check(*value, true, entry("Windows", i, name));
  }
  for (size_t i = 0; i < info.MergeList.size(); ++i) check(info.MergeList[i], false, entry("MergeList", i));
  for (size_t i = 0; i < info.Files.size(); ++i) check(info.Files[i], false, entry("Files", i));
  for (size_t i = 0; i < info.AliasList.size(); ++i)
    check(info.AliasList[i].val, false, entry("AliasList", i, ".val"));
  return refusal;
}

Status EncodeHhp(const CHhpInfo& info, const HhpWriteOptions& options, std::string& bytes) {
  bytes.clear();
  const std::string encoding = Utf16ToUtf8(options.encoding.GetIcuName(info.Language));
  UErrorCode status = U_ZERO_ERROR;
  // ICU opens its default converter for an empty name: that is no choice.
  Converter converter(encoding.empty() ? nullptr : ucnv_open(encoding.c_str(), &status));
  if (!converter || U_FAILURE(status))
    return Status::Error(Status::Kind::kBadArgument, {}, "unknown encoding '" + encoding + "'");

  // UTF-8, under any of its names, takes the path of its own.
  const char* canonical = ucnv_getName(converter.get(), &status);
  Status encoded = Status::Ok();
  if (canonical && std::strcmp(canonical, "UTF-8") == 0) {
    encoded = ConvertUtf8(info, info.ToString(), encoding, bytes);
    if (encoded.ok() && options.crlf) bytes = WithCrlf(bytes);
  } else if (const std::string refusal = HhpRefusal(info); !refusal.empty()) {
    encoded = Status::Malformed(refusal);
  } else {
    const std::u16string text = info.ToString();
    encoded = Convert(converter.get(), options.crlf ? WithCrlf(text) : text, encoding, bytes);
  }
  if (!encoded.ok()) bytes.clear();
  return encoded;
}

Status WriteHhpFile(const CHhpInfo& info, const std::u16string& path, const HhpWriteOptions& options) {
  std::string bytes;
  const Status encoded = EncodeHhp(info, options, bytes);
  if (!encoded.ok()) return encoded.WithPath(path);
  if (bytes.size() > static_cast<size_t>(INT32_MAX))
    return Status::Error(Status::Kind::kTooLarge, path, "the .hhp text is 2 GiB or more");
  const std::string reason = ReplaceFileWith(path, [&](const std::u16string& newFile) {
    return WriteFile(newFile.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<int>(bytes.size()));
  });
  if (!reason.empty()) return Status::Error(Status::Kind::kWriteFailed, path, reason);
  return Status::Ok();
}

}  // namespace locmodel
