// locmodel hhp write, and the JSON form dump gives a CHhpInfoProp.
#include <gtest/gtest.h>

#include <filesystem>

#include "hhp/hhp_sample.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/util/unicode.h"
#include "support/temp_dir.h"
#include "support/tool_rows.h"

namespace {

using testing_support::RunTool;

class HhpCommandTest : public testing_support::TempDirTest {
 protected:
  // /0 holds a project as an own property, /1 one as configuration, /2 one
  // that no .hhp can hold.
  void SetUp() override {
    TempDirTest::SetUp();
    CResItem root;
    for (int i = 0; i < 3; ++i) root.AddResItem(new CResItem);
    windowed_.Windows.resize(1);
    windowed_.Windows[0].WindowType = u"w";
    windowed_.Windows[0].TitleBarText = u"From window";
    root.GetResItems()[0]->SetPropW(CPropName(u"Hhp"), new CHhpInfoProp(windowed_));
    root.GetResItems()[1]->GetCfgProps().SetPropW(CPropName(u"Other"), new CHhpInfoProp(testing_support::FullHhp()));
    CHhpInfo broken = testing_support::MinimalHhp();
    broken.Title = u"two\nlines";
    root.GetResItems()[2]->SetPropW(CPropName(u"Bad"), new CHhpInfoProp(broken));
    file_ = In("p.lmp");
    ASSERT_TRUE(locmodel::SaveProject(root, Path("p.lmp")).ok());
  }
  CHhpInfo windowed_ = testing_support::MinimalHhp();
  std::string file_;
};

TEST_F(HhpCommandTest, WritesTheValueTheSelectorsNameOnlyWhenWhole) {
  const std::string full = locmodel::Utf16ToUtf8(testing_support::FullHhp().ToString());
  // The .hhp text itself is HhpInfo's: here, which value and which options.
  const std::string windowedPlain = locmodel::Utf16ToUtf8(windowed_.ToString());
  windowed_.InitSkippedFields();
  const std::string windowed = locmodel::Utf16ToUtf8(windowed_.ToString());
  ASSERT_NE(windowed.find("Title=From window\n"), std::string::npos);
  // (Writing a file with CR LF line ends is the example's test, hhp.example_write.)
  testing_support::ExpectRuns({
      {{"hhp", "write", file_, "--item", "/0"}, 0, windowedPlain, ""},
      {{"hhp", "write", file_, "--item", "/0", "--init-skipped"}, 0, windowed, ""},
      {{"hhp", "write", file_, "--prop", "Other"}, 0, full, ""},
      {{"hhp", "write", file_, "--item", "/1", "--prop", "Hhp"}, 1, "",
       "locmodel: " + file_ + ": no HhpInfoProp value\n"},
      {{"hhp", "write", file_}, 2, "",
       "locmodel: " + file_ + ": 3 HhpInfoProp values; choose one with --item and --prop:\n"
       "  --item /0 --prop Hhp\n  --item /1 --prop Other (configuration)\n  --item /2 --prop Bad\n"},
      {{"hhp", "write", file_, "--item", "/0", "--encoding", "no-such"}, 2, "",
       "locmodel: unknown encoding 'no-such'\nusage: locmodel hhp write FILE [OUT] [--item SEL] [--prop NAME] "
       "[--crlf] [--encoding utf-8|ansi|NAME] [--init-skipped]\n"},
      {{"hhp", "write", file_, "--item", "/2"}, 1, "", "locmodel: " + file_ + ": Title holds a line break\n"},
      {{"hhp", "write", file_, In("b.hhp"), "--item", "/2"}, 1},  // and nothing written
      {{"hhp", "read", file_}, 2},
  });
  EXPECT_FALSE(std::filesystem::exists(In("b.hhp")));
}

TEST_F(HhpCommandTest, DumpShowsTheFieldsAsAnObject) {
  const auto run = RunTool({"dump", file_, "--json"});
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(
                "{\"name\":\"@Hhp\",\"class\":\"CHhpInfoProp\",\"value\":{\"Version\":3,\"AutoIndex\":true,"
                "\"AutoTOC\":0,\"CreateCHI\":false,\"TargetFile\":\"out.chm\",\"ErrorLogFile\":\"error.log\","
                "\"ContentsFile\":\"\",\"IndexFile\":\"\",\"DefaultTopic\":\"\",\"Title\":\"\",\"lcid\":0,"
                "\"Language\":1033,\"IsFullTextSearch\":false,\"DefaultWindow\":\"\",\"IsBinaryIndex\":true,"
                "\"IsBinaryTOC\":false,\"DefaultFont\":\"\",\"Windows\":[{\"ValidMask\":0,\"WindowType\":\"w\","
                "\"TitleBarText\":\"From window\",\"TOCFile\":\"\",\"IndexFile\":\"\",\"DefaultFile\":\"\","
                "\"HomeFile\":\"\",\"Jump1File\":\"\",\"Jump1Text\":\"\",\"Jump2File\":\"\",\"Jump2Text\":\"\","
                "\"NavPaneStyle\":0,\"Width\":0,\"bfButtonsShow\":0,\"Position\":[0,0,0,0],\"Style\":0,"
                "\"StyleEx\":0,\"ShowState\":0,\"IsClosed\":0,\"DefaultPane\":0,\"DefaultPaneTab\":0,"
                "\"NotifyId\":0}],\"MergeList\":[],\"AliasList\":[],\"Files\":[]}}"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\"AliasList\":[{\"id\":1001,\"val\":\"a.htm\"},{\"id\":2147483648,\"val\":\"b.htm\"}]"),
            std::string::npos);
}

}  // namespace
