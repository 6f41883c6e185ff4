// The .hhp file writer: the bytes of each line end and encoding, and the
// values it refuses instead of writing a file that says something else.
// Its own UTF-8 pass encodes surrogate pairs at every position and refuses a
// lone surrogate by line; a line break in any field is found although only
// the text's LFs are counted.
#include <gtest/gtest.h>

#include <algorithm>

#include "hhp/hhp_lines.h"
#include "hhp/hhp_sample.h"
#include "locmodel/hhp/hhp_writer.h"

namespace {

using locmodel::EncodeHhp;
using locmodel::HhpWriteOptions;
using locmodel::Status;
using testing_support::FullHhp;
using testing_support::MinimalHhp;

TEST(HhpWriter, BytesForEachLineEndAndEncoding) {
  // The [OPTIONS] lines every case shares, up to "Full-text search".
  std::string head = testing_support::HhpFixture("minimal.hhp");
  head.erase(head.find("Language="));
  struct Case {
    const char* name;
    int32_t language;
    const char16_t* title;
    HhpWriteOptions options;
    std::string tail;  // after the head; CR LF line ends where the options ask
  } cases[] = {
      {"utf-8", 0x407, u"Hilfe \u2013 \u00DCbersicht", {},
       "Language=0x407\nTitle=Hilfe \xE2\x80\x93 \xC3\x9C" "bersicht\n\n\n"},
      {"crlf", 0x409, u"Help", {true, CEncoding(u"utf-8")}, "Language=0x409\nTitle=Help\n\n\n"},
      {"windows-1252", 0x407, u"Gr\u00F6\u00DFe \u20AC", {false, CEncoding(1252)},
       "Language=0x407\nTitle=Gr\xF6\xDF" "e \x80\n\n\n"},
      {"shift_jis", 0x411, u"\u30D8\u30EB\u30D7", {true, CEncoding::SelectAnsiByLang},
       "Language=0x411\nTitle=\x83\x77\x83\x8B\x83\x76\n\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHhpInfo info = MinimalHhp(3, c.language);
    info.Title = c.title;
    std::string bytes;
    const Status status = EncodeHhp(info, c.options, bytes);
    ASSERT_TRUE(status.ok()) << status.ToString();
    std::string expected = head + c.tail;
    for (size_t at = 0; c.options.crlf && (at = expected.find('\n', at)) != std::string::npos; at += 2)
      expected.insert(at, "\r");
    EXPECT_EQ(bytes, expected);
  }
}

TEST(HhpWriter, RefusesWhatAnHhpCannotHold) {
  struct Case {
    void (*change)(CHhpInfo&);
    HhpWriteOptions options;
    Status::Kind kind;
    std::string reason;
  } cases[] = {
      {[](CHhpInfo& i) { i.Files = {u"a", std::u16string(u"b\0", 2)}; }, {}, Status::Kind::kMalformed,
       "Files[1] holds a zero code unit"},
      {[](CHhpInfo& i) { i.Windows.resize(1), i.Windows[0].TitleBarText = u"say \"hi\""; }, {},
       Status::Kind::kMalformed, "Windows[0].TitleBarText holds a double quote"},
      {[](CHhpInfo& i) { i.Title = u"\u65E5\u672C"; }, {false, CEncoding(1252)}, Status::Kind::kMalformed,
       "U+65E5 on line 12 cannot be written in windows-1252"},
      {[](CHhpInfo& i) { i.Files = {u"a", u"\U0001F600"}; }, {false, CEncoding(u"iso-8859-1")},
       Status::Kind::kMalformed, "U+1F600 on line 15 cannot be written in iso-8859-1"},
      {[](CHhpInfo& i) { i.Title = std::u16string(1, u'\xD800'); }, {}, Status::Kind::kMalformed,
       "U+D800 on line 12 cannot be written in utf-8"},
      {[](CHhpInfo&) {}, {false, CEncoding(u"no-such-encoding")}, Status::Kind::kBadArgument,
       "unknown encoding 'no-such-encoding'"},
  };
  for (const Case& c : cases) {
    CHhpInfo info = MinimalHhp();
    c.change(info);
    std::string bytes = "old";
    const Status status = EncodeHhp(info, c.options, bytes);
    EXPECT_EQ(status.kind(), c.kind) << c.reason;
    EXPECT_EQ(status.reason(), c.reason);
    EXPECT_TRUE(bytes.empty());
  }
}

TEST(HhpUtf8, EncodesPairsAndRefusesLoneSurrogates) {
  struct Case {
    std::u16string title;
    std::vector<std::u16string> files;
    std::string expected;  // the bytes after the Language line, or the start of the refusal
  } cases[] = {
      {u"\U0001F600", {}, "Title=\xF0\x9F\x98\x80\n\n\n"},
      {u"a\U0001F600b\u00E9\u0800", {u"\U00010000"},
       "Title=a\xF0\x9F\x98\x80" "b\xC3\xA9\xE0\xA0\x80\n\n[FILES]\n\xF0\x90\x80\x80\n\n\n"},
      {std::u16string(1, u'\xDC00'), {}, "U+DC00 on line 12 "},
      {std::u16string(u"\xD83D" u"a", 2), {}, "U+D83D on line 12 "},
      {u"", {u"a", std::u16string(u"b\xD83D", 2)}, "U+D83D on line 15 "},
  };
  const std::string head = "Language=0x409\n";
  for (const Case& c : cases) {
    CHhpInfo info = MinimalHhp();
    info.Title = c.title;
    info.Files = c.files;
    for (const char16_t* name : {u"utf-8", u"UTF8", u"utf8"}) {
      std::string bytes;
      const Status status = EncodeHhp(info, {false, CEncoding(name)}, bytes);
      if (status.ok()) {
        EXPECT_EQ(bytes.substr(bytes.find(head) + head.size()), c.expected);
      } else {
        EXPECT_EQ(status.reason().rfind(c.expected, 0), 0u) << status.reason();
        EXPECT_TRUE(bytes.empty());
      }
    }
  }
}

TEST(HhpUtf8, EveryLineBreakInAFieldIsRefused) {
  const CHhpInfo full = FullHhp();
  for (const CHhpInfo& info : {MinimalHhp(), full, CHhpInfo()}) {
    const std::u16string text = info.ToString();
    EXPECT_EQ(locmodel::hhp_detail::ToStringLineCount(info), size_t(std::count(text.begin(), text.end(), u'\n')));
  }
  using Field = std::u16string& (*)(CHhpInfo&);
  const std::pair<std::string, Field> fields[] = {
      {"Title", [](CHhpInfo& i) -> std::u16string& { return i.Title; }},
      {"DefaultFont", [](CHhpInfo& i) -> std::u16string& { return i.DefaultFont; }},
      {"Windows[0].WindowType", [](CHhpInfo& i) -> std::u16string& { return i.Windows[0].WindowType; }},
      {"Windows[1].Jump2Text", [](CHhpInfo& i) -> std::u16string& { return i.Windows[1].Jump2Text; }},
      {"MergeList[0]", [](CHhpInfo& i) -> std::u16string& { return i.MergeList[0]; }},
      {"Files[" + std::to_string(full.Files.size() - 1) + "]",
       [](CHhpInfo& i) -> std::u16string& { return i.Files.back(); }},
      {"AliasList[0].val", [](CHhpInfo& i) -> std::u16string& { return i.AliasList[0].val; }},
  };
  for (const auto& [name, field] : fields) {
    for (const char16_t* defect : {u"\n", u"\n\n", u"\r"}) {
      CHhpInfo info = full;
      field(info) += defect;
      for (bool crlf : {false, true}) {
        std::string bytes;
        EXPECT_EQ(EncodeHhp(info, {crlf, CEncoding(u"utf-8")}, bytes).reason(), name + " holds a line break");
      }
    }
  }
}

}  // namespace
