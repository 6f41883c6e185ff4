// The writer's own UTF-8 pass: surrogate pairs at every position are
// encoded, a surrogate without its partner is refused by line, every name
// of the encoding takes the same path, and a line break in any field is
// found although only the text's LFs are counted.
#include <gtest/gtest.h>

#include <algorithm>

#include "hhp/hhp_lines.h"
#include "hhp/hhp_sample.h"
#include "locmodel/hhp/hhp_writer.h"

namespace {

using locmodel::EncodeHhp;
using locmodel::Status;

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
    CHhpInfo info = testing_support::MinimalHhp();
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
  const CHhpInfo full = testing_support::FullHhp();
  for (const CHhpInfo& info : {testing_support::MinimalHhp(), full, CHhpInfo()}) {
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
