#include <gtest/gtest.h>

#include "locmodel/segm/srx_store.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFile;
using testing_support::RunTool;

class SrxCommand : public testing_support::TempDirTest {};

TEST_F(SrxCommand, ShippedRulesCheckCleanAndNormalizeStably) {
  const std::string shipped = LOCMODEL_SOURCE_DIR "/data/segment.srx";
  const auto check = RunTool({"srx", "check", shipped, "--lang", "de-DE"});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_EQ(check.out.find("warning"), std::string::npos) << check.out;
  EXPECT_EQ(check.out.find("cascade: yes\n"), 0u);
  EXPECT_NE(check.out.find("(German)\n"), std::string::npos);

  ASSERT_EQ(RunTool({"srx", "normalize", shipped, In("a.srx")}).status, 0);
  ASSERT_EQ(RunTool({"srx", "normalize", In("a.srx"), In("b.srx")}).status, 0);
  EXPECT_EQ(ReadFile(In("a.srx")), ReadFile(In("b.srx")));

  CSRXStore bad;
  bad.GetRulesLangMap().push_back({{u"R", u".*"}, {CSRXStore::CRule(true, u"(a|b)", u""),
                                                   CSRXStore::CRule(true, u"[", u"")}});
  ASSERT_TRUE(bad.Save(Path("bad.srx")));
  const auto failed = RunTool({"srx", "check", In("bad.srx")});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.out.find("error: rule '[ / ' does not compile"), std::string::npos) << failed.out;
  EXPECT_NE(failed.out.find("warning: rule '(a|b) / '"), std::string::npos) << failed.out;
  EXPECT_EQ(RunTool({"srx", "check", In("missing.srx")}).status, 1);
  EXPECT_EQ(RunTool({"srx", "frobnicate", In("bad.srx")}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(In("none.srx")));
  EXPECT_EQ(RunTool({"srx", "normalize", In("missing.srx"), In("none.srx")}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(In("none.srx")));
}

}  // namespace
