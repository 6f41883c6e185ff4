// config list on the damaged configuration files of the project-file seeds
// (fuzz/seeds/make_project_seeds.cpp): names that only look decorated are
// undeclared, values of another class are invalid, and damaged optional
// fields of a control mapping keep their defaults.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_run.h"

namespace {

using testing_support::RunTool;

TEST(DamagedCfgCorpus, ListsUndeclaredAndInvalidEntriesAsDocumented) {
  const auto dir = std::filesystem::path(LOCMODEL_SOURCE_DIR) / "fuzz/corpus/project_file";
  const auto undeclared = [](const char* name) {
    return std::string("{\"name\":\"") + name + "\",\"accessor\":null,\"class\":\"CStrProp\"";
  };
  const std::string names = "cfg-undeclared-names", foreign = "cfg-foreign-classes";
  // Each file listed at /0, and a piece of the JSON list it must hold.
  const std::vector<std::pair<std::string, std::string>> cases{
      {names, undeclared("99999999999.XML.XPath")},
      {names, undeclared("4294967308.XML.XPath")},  // not format 12 wrapped around
      {names, undeclared("12.NoSuch")},
      {names, undeclared("-1.XML.XPath")},
      {names, undeclared("012.XML.XPath")},
      {names, undeclared("+12.XML.XPath")},
      {names, undeclared("12.xml.xpath")},
      {names, "{\"name\":\"-2147483648.XML.XPath\",\"accessor\":\"CXmlParserCfg(-2147483648)::XPathTemplate\","
              "\"class\":\"CStrProp\",\"value\":\"//lowest\",\"source\":\"inherited\",\"from\":\"/\"}"},
      {names, "{\"name\":\"12.XML.ParseComments\",\"accessor\":\"CXmlParserCfg(12)::ParseComments\",\"class\":"
              "\"CBoolProp\",\"value\":false,\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CStrProp\"}"},
      {foreign, "\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CStrProp\"}"},  // NetRes.PropFilter
      {foreign, "{\"name\":\"ShowPreview\",\"accessor\":\"CCommonPreviewCfg::ShowPreview\",\"class\":\"CBoolProp\","
                "\"value\":true,\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CFilterProp\"}"},
      {foreign, "\"value\":[],\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CControlMappingProp\"}"},
      {foreign, "\"value\":[],\"source\":\"invalid\",\"from\":\"/0\",\"storedClass\":\"CIntProp\"}"},
      {foreign, "\"value\":[],\"source\":\"invalid\",\"from\":\"/0\",\"storedClass\":\"CFilterProp\"}"},
      {"cfg-mapping-widths",
       "\"value\":[{\"srcTypeMask\":\"TFirst\",\"show\":true,\"controlType\":\"Button\"},{\"srcTypeMask\":\"TWide\","
       "\"show\":false,\"controlType\":\"\"},{\"srcTypeMask\":\"TEmpty\",\"show\":false,\"controlType\":\"\"}]"},
  };
  for (const auto& [file, entry] : cases) {
    const auto run = RunTool({"config", "list", (dir / file).string(), "--item", "/0", "--json"});
    EXPECT_EQ(run.status, 0) << file << run.err;
    EXPECT_NE(run.out.find(entry), std::string::npos) << file << ": " << entry;
  }
  const auto refused = RunTool({"config", "list", (dir / "cfg-unreadable-without-mask").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("malformed project file"), std::string::npos) << refused.err;
}

}  // namespace
