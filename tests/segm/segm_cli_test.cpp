#include <gtest/gtest.h>

#include <tuple>

#include "locmodel/segm/srx_store.h"
#include "locmodel/util/unicode.h"
#include "support/temp_dir.h"
#include "support/text_checks.h"
#include "support/tool_rows.h"
#include "test_paths.h"

namespace {

using namespace testing_support;

class SrxCommand : public testing_support::TempDirTest {};

TEST_F(SrxCommand, ShippedRulesCheckCleanAndNormalizeStably) {
  const std::string shipped = LOCMODEL_SOURCE_DIR "/data/segment.srx";
  const auto check = RunTool({"srx", "check", shipped, "--lang", "de-DE"});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_EQ(check.out.find("warning"), std::string::npos) << check.out;
  EXPECT_EQ(check.out.find("cascade: yes\n"), 0u);
  ExpectContains(check.out, {"(map de(?:-.*)? -> German)\n"});


  CSRXStore bad;
  bad.GetRulesLangMap().push_back({{u"R", u".*"}, {CSRXStore::CRule(true, u"(a|b)", u""),
                                                   CSRXStore::CRule(true, u"[", u""),
                                                   CSRXStore::CRule(true, u"\\QMr.", u""),
                                                   CSRXStore::CRule(true, u"\\Q|(\\E[[a]|]", u"")}});
  ASSERT_TRUE(bad.Save(Path("bad.srx")));
  const auto failed = RunTool({"srx", "check", In("bad.srx")});
  EXPECT_EQ(failed.status, 1);
  ExpectContains(failed.out, {"error: rule '[ / ' does not compile", "warning: rule '(a|b) / '",
                              "warning: rule '\\QMr. / ': the before-break pattern swallows"});
  EXPECT_EQ(failed.out.find("warning: rule '\\Q|"), std::string::npos) << failed.out;
  ExpectRuns({
      {{"srx", "normalize", shipped, In("a.srx")}},
      {{"srx", "normalize", In("a.srx"), In("b.srx")}},
      {{"srx", "check", In("missing.srx")}, 1},
      {{"srx", "frobnicate", In("bad.srx")}, 2},
      {{"srx", "normalize", In("missing.srx"), In("none.srx")}, 1},
  });
  EXPECT_EQ(ReadFile(In("a.srx")), ReadFile(In("b.srx")));
  EXPECT_FALSE(std::filesystem::exists(In("none.srx")));
}

TEST_F(SrxCommand, CheckWarnsAboutWhatLoadingPassesOver) {
  WriteFile(In("w.srx"), std::string_view(R"(<?xml version="1.0"?>
<srx version="2.0" xmlns="http://www.lisa.org/srx20"><body>
<languagerules>
  <languagerule languagerulename="Used">
    <rule><beforebreak> \.</beforebreak><afterbreak>\s</afterbreak></rule>
  </languagerule>
  <languagerule languagerulename="Orphan"><rule><beforebreak>x</beforebreak></rule></languagerule>
  <languagerule languagerulename="Empty"/>
</languagerules>
<maprules>
  <languagemap languagepattern=".*" languagerulename="Used"/>
  <languagemap languagepattern="de.*" languagerulename="Missing"/>
  <languagemap languagepattern="fr.*" languagerulename="Empty"/>
</maprules>
</body></srx>)"));
  const auto check = RunTool({"srx", "check", In("w.srx")});
  EXPECT_EQ(check.status, 0) << check.err;
  ExpectContains(check.out, {"warning: map rule name 'Missing' names no language rule\n",
                             "warning: language rule 'Orphan' is named by no map",
                             "warning: patterns of 'Used' lost white space",
                             "warning: language rule 'Empty' has no rules\n"});
  EXPECT_EQ(check.out.find("namespace"), std::string::npos) << check.out;
  EXPECT_EQ(check.out.find("'Missing' has no rules"), std::string::npos) << check.out;

  // Cascading off and a rule list shared by two maps: the saved form loses
  // the one and doubles the other.
  WriteFile(In("shared.srx"), std::string_view(R"(<srx version="2.0" xmlns="http://www.lisa.org/srx20">
<header cascade="no"/><body><languagerules><languagerule languagerulename="R"><rule><beforebreak>a</beforebreak></rule>
</languagerule></languagerules><maprules><languagemap languagepattern="de.*" languagerulename="R"/>
<languagemap languagepattern="fr.*" languagerulename="R"/></maprules></body></srx>)"));
  WriteFile(In("v1.srx"), std::string_view(R"(<srx version="1.0" xmlns="http://www.lisa.org/srx10"><body/></srx>)"));
  WriteFile(In("broken.srx"), std::string_view("<srx"));
  ExpectRuns({
      {{"srx", "check", In("shared.srx")}, 0, Holds("warning: rule names are shared")},
      {{"srx", "normalize", In("shared.srx"), In("n.srx")}, 0,
       "warning: cascading is off, which the saved file cannot say\n"
       "warning: rule names are shared; their rules will double\n"},
      {{"srx", "check", In("v1.srx")}, 0, Holds("warning: no element is in the SRX 2.0 namespace")},
      // A file that does not load: one line on stderr, nothing on stdout.
      {{"srx", "check", In("broken.srx")}, 1, ""},
  });
  const std::string broken = RunTool({"srx", "check", In("broken.srx")}).err;
  EXPECT_EQ(std::count(broken.begin(), broken.end(), '\n'), 1) << broken;
}

// The segment command as a shell pipeline meets it: one text per line or
// the whole input, plain or JSON.
TEST_F(SrxCommand, SegmentSplitsStdin) {
  CSRXStore store;
  store.GetRulesLangMap().push_back({{u"R", u"en.*"}, {CSRXStore::CRule(false, u"Mr\\.", u"\\s"),
                                                     CSRXStore::CRule(true, u"\\.", u"\\s")}});
  ASSERT_TRUE(store.Save(Path("r.srx")));
  const std::string rules = " --srx " + In("r.srx");
  ExpectShellRows({
      {"segment" + rules, "Mr. Smith. Next\nNo break\n", 0, "Mr. Smith.\n Next\nNo break\n"},
      {"segment --json --culture en-GB" + rules, "Mr. Smith. \"Q\"\n", 0,
       "{\"breaks\":[10],\"segments\":[\"Mr. Smith.\",\" \\\"Q\\\"\"]}\n"},
      // No map matches German: one segment per line.
      {"segment --json --lang de-DE" + rules, "A. B", 0, "{\"breaks\":[],\"segments\":[\"A. B\"]}\n"},
      {"segment --whole --json" + rules, "A. B\nC", 0, "{\"breaks\":[2],\"segments\":[\"A.\",\" B\\nC\"]}\n"},
      // ICU by default; it keeps the blank with the sentence before.
      {"segment --json", "Hello there. How are you?", 0,
       "{\"breaks\":[13],\"segments\":[\"Hello there. \",\"How are you?\"]}\n"},
      {"segment --type none", "A. B", 0, "A. B\n"},
      // The shipped rules, as the README shows them.
      {"segment --type srx", "Mr. Smith arrived at 10.30 a.m. today. He left early.\n", 0,
       "Mr. Smith arrived at 10.30 a.m. today.\n He left early.\n"},
      {"segment --type srx --lang de-DE", "Das ist Nr. 5. Danach kommt z.B. nichts. Ende.", 0,
       "Das ist Nr. 5.\n Danach kommt z.B. nichts.\n Ende.\n"},
      {"segment --type srx --lang ja-JP --json", "\u96e8\u304c\u964d\u3063\u305f\u3002\u6674\u308c\u305f\u3002", 0,
       "{\"breaks\":[6],\"segments\":[\"\u96e8\u304c\u964d\u3063\u305f\u3002\",\"\u6674\u308c\u305f\u3002\"]}\n"},
      {"segment --type regex", "x", 2},
      {"segment --type icu --srx " + In("r.srx"), "x", 2},
      {"segment --srx " + In("missing.srx"), "x", 1},
      {"segment --lang xx-nowhere", "x", 1},
  });
}

// The default rules are the program directory's segment.srx: a program
// copied beside other rules uses them, and one beside a broken file has none
// (in a build tree there is no installed file to fall back on).
TEST_F(SrxCommand, DefaultRulesComeFromBesideTheProgram) {
  namespace fs = std::filesystem;
  const fs::path program = fs::path(In("bin")) / "locmodel";
  fs::create_directories(program.parent_path());
  fs::copy_file(LOCMODEL_CLI_PATH, program);
  CSRXStore rules;
  rules.GetRulesLangMap().push_back({{u"X", u".*"}, {CSRXStore::CRule(true, u"x", u"")}});
  ASSERT_TRUE(rules.Save(locmodel::Utf8ToUtf16((program.parent_path() / "segment.srx").string())));
  const CliRun own("segment --type srx", "axbxc", program.string());
  EXPECT_EQ(std::tuple(own.status, own.out), std::tuple(0, "ax\nbx\nc\n"));
  WriteFile(program.parent_path() / "segment.srx", std::string_view("<srx"));
  const CliRun broken("segment --type srx", "a. b", program.string());
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.err.rfind("locmodel: no default rules: ", 0), 0u) << broken.err;
}

}  // namespace
