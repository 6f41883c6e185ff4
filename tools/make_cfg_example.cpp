// Writes examples/cfg-project.lmp, the sample project of the dbcfg and
// xmlcfg commands: a database item whose tables use both localization
// schemes (/0) and an XML item configured for format 12 (/1), under a root
// with English as source and German and French as output languages.
//
//   locmodel_make_cfg_example examples/cfg-project.lmp
//
// The golden outputs beside it (cfg-project.*.json) are written by hand, not
// by running the commands.
#include <iostream>

#include "locmodel/config/db_cfg.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr int kEnglish = 1033, kGerman = 1031, kFrench = 1036;
constexpr int kXmlFormat = 12;

CResItem* AddFile(CResItem& parent, const std::u16string& resId) {
  auto* item = new CResItem;
  item->SetType(3);
  item->SetResId(resId);
  parent.AddResItem(item);
  return item;
}

void ConfigureDatabase(CResItem& item) {
  CDBCfg::SetODBCConnectionString(item, u"DSN=Shop;UID=loc;PWD=\"s3cret\"");
  CDBCfg::SetSourceName(item, u"Shop");
  CDBCfg::SetSQLMonitor(item, true);

  CDBTableCfg products;  // one column per field and language
  products.TableName = u"Products";
  products.KeyFields = {{u"Id", false}};
  CDBSROFFieldCfg name, description;
  name.TransNamePattern = u"Name_$(LangAbbr)";
  description.NameByLang = {{kFrench, u"Description_fr"}};
  description.TransNamePattern = u"Desc_$(JavaLang)";
  products.SROFCfg.TransFields = {name, description};
  products.WhereCond = u"Discontinued = 0";

  CDBTableCfg strings;  // one row per language
  strings.TableName = u"UiStrings";
  strings.SchemeId = CDBTableCfg::LANG_ID_SCHEME;
  strings.KeyFields = {{u"StringId", false}, {u"Lang", true}};
  strings.LangIdSchemeCfg.LangIdField = u"Lang";
  strings.LangIdSchemeCfg.LangIdValueMap = {{kFrench, u"fr"}};
  strings.LangIdSchemeCfg.TransFields = {u"Text", u"Tooltip"};
  CDBCfg::SetTables(item, {products, strings});
}

void ConfigureXml(CResItem& root, CResItem& item) {
  const CXmlParserCfg xml(kXmlFormat);
  xml.SetAutodetect(root, false);  // inherited by the XML item
  CXmlParserCfg(CCustomAccessor::UNDECORATED_FORMAT).SetXPathTemplate(item, u"//*");  // not format 12's
  xml.SetXPathTemplate(item, u"//string[@translatable!='false']");
  xml.SetKeyXPathTemplate(item, u"@name");
  xml.SetParseComments(item, true);
  xml.SetNamespacesCfg(item, {{u"android", u"http://schemas.android.com/apk/res/android"},
                              {u"tools", u"http://schemas.android.com/tools"},
                              {u"android", u"urn:ignored"},
                              {u"bad:prefix", u"urn:a&b"}});
  xml.SetAttrFilter(item, CFilter({u"*"}, {u"tools:*", u"android:id"}));
  xml.SetKeyFilter(item, CFilter({u"name", u"key*"}, {}));
  CEncodingCfg encodings;
  encodings.EncodingByLang = {{kGerman, CEncoding(1252)}, {kFrench, CEncoding::SelectAnsiByLang}};
  xml.SetEncodingCfg(item, encodings);
  xml.SetXPathMappingList(item, {{u"//string-array/item", 12}, {u"//plurals/item", -1}});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: locmodel_make_cfg_example OUT\n";
    return 2;
  }
  CResItem root;
  root.SetType(1);
  root.SetResId(u"@CfgSample");
  CPrjConfig::SetPrjLangs(root, CPrjLangs(kEnglish));
  CPrjConfig::SetSelectedLangs(root, {kGerman, kFrench});
  ConfigureDatabase(*AddFile(root, u"@Shop.db"));
  ConfigureXml(root, *AddFile(root, u"@strings.xml"));
  const locmodel::Status status = locmodel::SaveProject(root, locmodel::Utf8ToUtf16(argv[1]));
  if (!status.ok()) {
    std::cerr << "locmodel_make_cfg_example: " << status.ToString() << "\n";
    return 1;
  }
  return 0;
}
