// config on the format settings of the demo project: static names, per-format
// names F.BASE, control-mapping values and the masked PFX password.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/tool_rows.h"

namespace {

using namespace testing_support;

class FormatConfigCli : public TempDirTest {};

// Whether `list` holds `part`.
::testing::AssertionResult Lists(const std::string& list, const std::string& part) {
  if (list.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << part << " not in " << list;
}

TEST_F(FormatConfigCli, FormatSettingsAnswerAsDocumented) {
  ASSERT_EQ(RunTool({"demo", In("demo")}).status, 0);
  const std::string p = In("demo/sample.lmp"), copy = ReadFile(p);
  const std::string mapping = R"([{"srcTypeMask":"TButton","show":true,"controlType":"Button"}])";
  ExpectToolRows({
      {{"config", "get", p, "MFC.SingleLang.OutFile"}, 0, "$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)\n"},
      {{"config", "get", p, "NetRes.PropFilter"}, 0,
       "{\"include\":[\"*\"],\"exclude\":[\"*AsString\",\"*Category\",\"*Name\",\"Value\"]}\n"},
      {{"config", "get", p, "NetRes.OutMisc"}, 0, "\n"},
      {{"config", "set", p, "MFC.OutputType", "0"}, 0, "unchanged\n"},
      {{"config", "get", p, "99999999999.XML.XPath"}, 1},
      {{"config", "get", p, "12.NoSuch"}, 1},
      {{"config", "get", p, "012.XML.XPath"}, 1},
      {{"config", "get", p, "XML.XPath", "--format", "3"}, 2},
      {{"config", "list", p, "--format", "x"}, 2},
  });
  EXPECT_EQ(ReadFile(p), copy);

  ExpectToolRows({
      {{"config", "set", p, "MFC.OutputType", "1", "--item", "/0"}, 0, "stored\n"},
      {{"config", "set", p, "12.XML.XPath", "//text"}, 0, "stored\n"},
      {{"config", "get", p, "12.XML.XPath"}, 0, "//text\n"},
      {{"config", "get", p, "XML.XPath"}, 0, "\n"},
      {{"config", "set", p, "Dfm.ControlMapping", mapping}, 0, "stored\n"},
      {{"config", "get", p, "Dfm.ControlMapping"}, 0, mapping + "\n"},
      {{"config", "set", p, "NetRes.OutMisc", "secret"}, 0, "stored\n"},
      {{"config", "get", p, "NetRes.OutMisc"}, 0, "secret\n"},
  });
  EXPECT_TRUE(Lists(RunTool({"config", "list", p, "--item", "/0/0", "--json"}).out,
                    R"({"name":"MFC.OutputType","accessor":"CPEFormatCfg::OutputType","class":"CIntProp",)"
                    R"("value":1,"source":"inherited","from":"/0"})"));
  const std::string json = RunTool({"config", "list", p, "--json", "--format", "7", "--format", "-1"}).out;
  EXPECT_TRUE(Lists(json, R"({"name":"12.XML.XPath","accessor":"CXmlParserCfg(12)::XPathTemplate",)"
                          R"("class":"CStrProp","value":"//text","source":"own","from":"/"})"));
  EXPECT_TRUE(Lists(json, R"("accessor":"CXmlParserCfg(7)::Autodetect")"));
  EXPECT_TRUE(Lists(json, R"("accessor":"CXmlParserCfg::Autodetect")"));
  size_t at12 = 0;
  for (size_t at = json.find("\"CXmlParserCfg(12)::"); at != std::string::npos; at = json.find("\"CXmlParserCfg(12)::", at + 1))
    ++at12;
  EXPECT_EQ(at12, 14u);
  const std::string text = RunTool({"config", "list", p}).out;
  EXPECT_TRUE(Lists(text, "NetRes.OutMisc = (set) (own)"));
  EXPECT_EQ(text.find("secret"), std::string::npos);
}

}  // namespace
