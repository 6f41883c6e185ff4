#include <gtest/gtest.h>

#include "support/tool_rows.h"

using namespace testing_support;

TEST(LangCli, LangPrintsRowAndMacrosAsJson) {
  const ToolRun run = RunTool({"lang", "0x0409", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"id\":1033,\"culture\":\"en-US\",\"name\":\"United States\","
            "\"longName\":\"English - United States\",\"langCode\":\"en\",\"countryCode\":\"US\","
            "\"langGroup\":1,\"ansiCodePage\":1252,\"rtl\":false,\"macros\":{"
            "\"$(LangName)\":\"United States\",\"$(LangLongName)\":\"English - United States\","
            "\"$(CultureName)\":\"en-US\",\"$(JavaLang)\":\"en_US\",\"$(AndroidLang)\":\"en-rUS\","
            "\"$(SymbianLang)\":\"10\",\"$(LangAbbr)\":\"ENU\",\"$(WinLang)\":\"ENU\","
            "\"$(LangId)\":\"1033\"}}\n");
  // Decimal, culture names in any case and brand bits name the same row.
  EXPECT_EQ(RunTool({"lang", "1033", "--json"}).out, run.out);
  EXPECT_EQ(RunTool({"lang", "EN-us", "--json"}).out, run.out);
  EXPECT_NE(RunTool({"lang", "0x30409", "--json"}).out.find("\"$(SymbianLang)\":\"en-US\""), std::string::npos);
  EXPECT_NE(RunTool({"lang", "0x0401"}).out.find("rtl          yes"), std::string::npos);
}

// Unknown languages fail; missing or malformed options are usage errors.
TEST(LangCli, BadArgumentsFailWithOneMessage) {
  const Text noLanguage = Holds("names no language"), expand = Holds("usage: locmodel expand"),
             encoding = Holds("usage: locmodel encoding");
  ExpectRuns({
      {{"lang", "0x0FFF"}, 1, "", noLanguage}, {{"lang", "xx-YY"}, 1, "", noLanguage},
      {{"lang", "0x"}, 1, "", noLanguage}, {{"lang", "99999999999"}, 1, "", noLanguage},
      {{"lang", "-"}, 1, "", noLanguage}, {{"lang", ""}, 1, "", noLanguage},
      {{"encoding", "ansi", "--lang", "0x7C09"}, 1, "", noLanguage},
      {{"expand", "x", "--lang"}, 2, "", expand}, {{"expand", "x"}, 2, "", expand},
      {{"encoding", "ansi"}, 2, "", encoding}, {{"encoding", "936"}, 2, "", encoding},
      {{"expand", "x", "--lang", "1033", "--set", "novalue"}, 2, "", expand},
      {{"expand", "x", "--lang", "1033", "--set", "=v"}, 2, "", expand},
  });
}

TEST(LangCli, LangsListsEveryRowInOrder) {
  const ToolRun run = RunTool({"langs", "--json"});
  ASSERT_EQ(run.status, 0);
  ASSERT_GT(run.out.size(), 2u);
  EXPECT_EQ(run.out.front(), '[');
  EXPECT_EQ(run.out.substr(run.out.size() - 2), "]\n");
  EXPECT_EQ(run.out.find("{\"id\":1,"), 1u);
  EXPECT_NE(run.out.find("{\"id\":4,\"culture\":\"zh-CHT\""), std::string::npos);
  EXPECT_LT(run.out.find("{\"id\":9,"), run.out.find("{\"id\":1033,"));
  const ToolRun text = RunTool({"langs"});
  EXPECT_NE(text.out.find("0x0409  1033  en-US"), std::string::npos);
}

TEST(LangCli, ExpandAndEncoding) {
  ExpectRuns({
      {{"expand", "$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)", "--lang", "de-de", "--set",
        "OutputDir=out", "--set=SrcFileName=app", "--set", "SrcFileExt=.exe"},
       0, "out\\de-DE\\app.exe\n"},
      {{"encoding", "ansi", "--lang", "0x0419"}, 0, "codepage 1251\nicu      windows-1251\niana     windows-1251\n"},
      {{"encoding", "936", "--lang=1033"}, 0, "codepage 936\nicu      gb2312\niana     GB2312\n"},
      {{"encoding", "UTF-8", "--lang=1033"}, 0, "codepage -3\nicu      UTF-8\niana     UTF-8\n"},
  });
}
