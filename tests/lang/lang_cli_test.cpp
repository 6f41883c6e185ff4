#include <gtest/gtest.h>

#include <sstream>

#include "cli/command.h"

namespace {

struct CliResult {
  int status;
  std::string out, err;
};

CliResult Cli(std::vector<std::string> args) {
  args.insert(args.begin(), "locmodel");
  std::ostringstream out, err;
  const int status = locmodel::cli::Main(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace

TEST(LangCli, LangPrintsRowAndMacrosAsJson) {
  const CliResult run = Cli({"lang", "0x0409", "--json"});
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
  EXPECT_EQ(Cli({"lang", "1033", "--json"}).out, run.out);
  EXPECT_EQ(Cli({"lang", "EN-us", "--json"}).out, run.out);
  EXPECT_NE(Cli({"lang", "0x30409", "--json"}).out.find("\"$(SymbianLang)\":\"en-US\""), std::string::npos);
  EXPECT_NE(Cli({"lang", "0x0401"}).out.find("rtl          yes"), std::string::npos);
}

TEST(LangCli, UnknownLanguagesFail) {
  for (const char* lang : {"0x0FFF", "xx-YY", "0x", "99999999999", "-", ""}) {
    const CliResult run = Cli({"lang", lang});
    EXPECT_EQ(run.status, 1) << lang;
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("names no language"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Cli({"encoding", "ansi", "--lang", "0x7C09"}).status, 1);
}

TEST(LangCli, MissingOrMalformedOptionsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"expand", "x", "--lang"}, {"expand", "x"}, {"encoding", "ansi"}, {"encoding", "936"},
      {"expand", "x", "--lang", "1033", "--set", "novalue"}, {"expand", "x", "--lang", "1033", "--set", "=v"}};
  for (const auto& args : cases) {
    const CliResult run = Cli(args);
    EXPECT_EQ(run.status, 2) << args[0] << " " << args.back();
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("usage: locmodel " + args[0]), std::string::npos) << run.err;
  }
}

TEST(LangCli, LangsListsEveryRowInOrder) {
  const CliResult run = Cli({"langs", "--json"});
  ASSERT_EQ(run.status, 0);
  ASSERT_GT(run.out.size(), 2u);
  EXPECT_EQ(run.out.front(), '[');
  EXPECT_EQ(run.out.substr(run.out.size() - 2), "]\n");
  EXPECT_EQ(run.out.find("{\"id\":1,"), 1u);
  EXPECT_NE(run.out.find("{\"id\":4,\"culture\":\"zh-CHT\""), std::string::npos);
  EXPECT_EQ(run.out.find("{\"id\":31748,"), std::string::npos);  // 0x7C04
  EXPECT_EQ(run.out.find("{\"id\":1084,"), std::string::npos);   // 0x043C
  EXPECT_LT(run.out.find("{\"id\":9,"), run.out.find("{\"id\":1033,"));
  const CliResult text = Cli({"langs"});
  EXPECT_NE(text.out.find("0x0409  1033  en-US"), std::string::npos);
}

TEST(LangCli, ExpandAndEncoding) {
  CliResult run = Cli({"expand", "$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)", "--lang", "de-de",
                 "--set", "OutputDir=out", "--set=SrcFileName=app", "--set", "SrcFileExt=.exe"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "out\\de-DE\\app.exe\n");

  run = Cli({"encoding", "ansi", "--lang", "0x0419"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "codepage 1251\nicu      windows-1251\niana     windows-1251\n");
  EXPECT_EQ(Cli({"encoding", "936", "--lang=1033"}).out, "codepage 936\nicu      gb2312\niana     GB2312\n");
  EXPECT_EQ(Cli({"encoding", "UTF-8", "--lang=1033"}).out, "codepage -3\nicu      UTF-8\niana     UTF-8\n");
}
