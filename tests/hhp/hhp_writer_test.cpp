// The .hhp file writer: the bytes of each line end and encoding, and the
// values it refuses instead of writing a file that says something else.
#include <gtest/gtest.h>

#include <filesystem>

#include "hhp/hhp_sample.h"
#include "locmodel/hhp/hhp_writer.h"
#include "support/temp_dir.h"

namespace {

using locmodel::EncodeHhp;
using locmodel::HhpWriteOptions;
using locmodel::Status;
using testing_support::MinimalHhp;

// The [OPTIONS] lines every case below shares, up to "Full-text search".
#define HHP_HEAD(EOL)                                                                        \
  "[OPTIONS]" EOL "Display compile progress=Yes" EOL "Auto Index=Yes" EOL "Binary Index=Yes" EOL \
  "Binary TOC=No" EOL "Compatibility=1.1 or later" EOL "Compiled file=out.chm" EOL             \
  "Create CHI file=No" EOL "Error log file=error.log" EOL "Full-text search=No" EOL

TEST(HhpWriter, BytesForEachLineEndAndEncoding) {
  struct Case {
    const char* name;
    int32_t language;
    const char16_t* title;
    HhpWriteOptions options;
    std::string expected;
  } cases[] = {
      {"utf-8", 0x407, u"Hilfe \u2013 \u00DCbersicht", {},
       HHP_HEAD("\n") "Language=0x407\nTitle=Hilfe \xE2\x80\x93 \xC3\x9C" "bersicht\n\n\n"},
      {"crlf", 0x409, u"Help", {true, CEncoding(u"utf-8")},
       HHP_HEAD("\r\n") "Language=0x409\r\nTitle=Help\r\n\r\n\r\n"},
      {"windows-1252", 0x407, u"Gr\u00F6\u00DFe \u20AC", {false, CEncoding(1252)},
       HHP_HEAD("\n") "Language=0x407\nTitle=Gr\xF6\xDF" "e \x80\n\n\n"},
      {"shift_jis", 0x411, u"\u30D8\u30EB\u30D7", {true, CEncoding::SelectAnsiByLang},
       HHP_HEAD("\r\n") "Language=0x411\r\nTitle=\x83\x77\x83\x8B\x83\x76\r\n\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHhpInfo info = MinimalHhp(3, c.language);
    info.Title = c.title;
    std::string bytes;
    const Status status = EncodeHhp(info, c.options, bytes);
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_EQ(bytes, c.expected);
  }
}

TEST(HhpWriter, RefusesWhatAnHhpCannotHold) {
  struct Case {
    void (*change)(CHhpInfo&);
    HhpWriteOptions options;
    Status::Kind kind;
    std::string reason;
  } cases[] = {
      {[](CHhpInfo& i) { i.Title = u"a\nb"; }, {}, Status::Kind::kMalformed, "Title holds a line break"},
      {[](CHhpInfo& i) { i.Files = {u"a", std::u16string(u"b\0", 2)}; }, {}, Status::Kind::kMalformed,
       "Files[1] holds a zero code unit"},
      {[](CHhpInfo& i) { i.Windows.resize(1), i.Windows[0].TitleBarText = u"say \"hi\""; }, {},
       Status::Kind::kMalformed, "Windows[0].TitleBarText holds a double quote"},
      {[](CHhpInfo& i) { i.AliasList = {{1, u"x\r"}}; }, {}, Status::Kind::kMalformed,
       "AliasList[0].val holds a line break"},
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

class HhpFileTest : public testing_support::TempDirTest {};

TEST_F(HhpFileTest, WritesWholeOrNotAtAll) {
  const CHhpInfo info = testing_support::FullHhp();
  std::string bytes;
  ASSERT_TRUE(EncodeHhp(info, {}, bytes).ok());
  ASSERT_TRUE(locmodel::WriteHhpFile(info, Path("a.hhp")).ok());
  EXPECT_EQ(testing_support::ReadFile(In("a.hhp")), bytes);

  CHhpInfo bad = info;
  bad.Title = u"two\nlines";
  const Status status = locmodel::WriteHhpFile(bad, Path("a.hhp"));
  EXPECT_EQ(status.ToString(), In("a.hhp") + ": Title holds a line break");
  EXPECT_EQ(testing_support::ReadFile(In("a.hhp")), bytes);  // the old file stands
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

}  // namespace
