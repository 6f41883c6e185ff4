// Database localization configuration: the serial form of tables through
// both readers, the selected-scheme rule, and the expansions for German.
#include <gtest/gtest.h>

#include "locmodel/config/db_cfg.h"
#include "locmodel/config/encoding_cfg.h"
#include "locmodel/items/res_item.h"
#include "locmodel/util/unicode.h"
#include "support/default_cfg_guard.h"
#include "support/stream_bytes.h"

namespace {

using testing_support::ReadEachWay;
using testing_support::WriteStream;

constexpr int kGerman = 1031, kFrench = 1036;

CDBTableCfg SrofTable() {
  CDBTableCfg table;
  table.TableName = u"Products";
  table.KeyFields = {{u"Id", false}, {u"Lang", true}};
  CDBSROFFieldCfg name, desc;
  name.TransNamePattern = u"Name_$(LangAbbr)";
  desc.NameByLang = {{kFrench, u"DescFR"}};
  table.SROFCfg.TransFields = {name, desc};
  table.WhereCond = u"Active = 1";
  return table;
}

CDBTableCfg LangIdTable() {
  CDBTableCfg table;
  table.TableName = u"Strings";
  table.SchemeId = CDBTableCfg::LANG_ID_SCHEME;
  table.KeyFields = {{u"Id", false}};
  table.LangIdSchemeCfg.LangIdField = u"Lang";
  table.LangIdSchemeCfg.LangIdValueMap = {{kFrench, u"fr"}};
  table.LangIdSchemeCfg.TransFields = {u"Text", u"Tooltip"};
  return table;
}

TEST(DBCfg, TablesRoundTripThroughBothReaders) {
  CDBTablesCfg tables{SrofTable(), LangIdTable()};
  // Only the selected scheme is written: the other does not come back.
  tables[0].LangIdSchemeCfg.LangIdField = u"lost";
  tables[1].SROFCfg.TransFields.resize(1);
  const auto bytes = WriteStream([&](Serial::ISerialStream& s) { ASSERT_TRUE(tables.Do(s)); });
  ReadEachWay(bytes, [&](Serial::ISerialStream& s, bool) {
    CDBTablesCfg read{CDBTableCfg()};
    ASSERT_TRUE(read.Do(s));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read, tables);
    EXPECT_EQ(read[0].KeyFields, tables[0].KeyFields);  // the group flag restored
    EXPECT_EQ(read[0].LangIdSchemeCfg, CLangIdSchemeCfg());
    EXPECT_TRUE(read[1].SROFCfg.TransFields.empty());
  });
}

TEST(DBCfg, OnlyTheSelectedSchemeCountsAsAChange) {
  DefaultCfgGuard guard;
  CResItem item;
  CDBCfg::SetTables(item, {SrofTable()});
  ASSERT_TRUE(CDBCfg::HasTables(item));
  CDBTablesCfg changed{SrofTable()};
  changed[0].LangIdSchemeCfg.LangIdField = u"Lang";
  CDBCfg::SetTables(item, changed);  // equal: nothing stored
  EXPECT_EQ(CDBCfg::GetTables(item, false)[0].LangIdSchemeCfg.LangIdField, u"");
  changed[0].SchemeId = static_cast<CDBTableCfg::LocalizationSchemeId>(2);
  CDBTablesCfg other = changed;
  other[0].SROFCfg = {};
  EXPECT_EQ(changed, other);  // no scheme configuration is compared for 2
  EXPECT_NE(changed, CDBTablesCfg{SrofTable()});
}

// A table written member by member, leaving out what `skip` names; the
// scheme field is 32 bits wide, or 16 with `narrow`.
std::vector<unsigned char> HandTable(uint32_t scheme, const std::u16string& skip, bool narrow = false) {
  return WriteStream([&](Serial::ISerialStream& s) {
    unsigned short narrowScheme = static_cast<unsigned short>(scheme);
    std::u16string name = u"T", where = u"X = 1";
    std::vector<std::u16string> keys{u"Id", u"Lang"}, groups{u"Lang"};
    CSROFSchemeCfg srof;
    Serial::DoNode(s, u"TableName", name);
    if (narrow) Serial::DoNode(s, u"LocalizationSchemeId", narrowScheme);
    else Serial::DoNode(s, u"LocalizationSchemeId", scheme);
    Serial::DoNode(s, u"KeyFields", keys);
    if (skip != u"GroupFields") Serial::DoNode(s, u"GroupFields", groups);
    if (skip != u"SROFCfg") Serial::DoNode(s, u"SROFCfg", srof);
    if (skip != u"WhereCond") Serial::DoNode(s, u"WhereCond", where);
  });
}

TEST(DBCfg, OptionalRequiredAndRefusedNodes) {
  const struct {
    uint32_t scheme;
    const char16_t* skip;
    bool narrow, treeReads, sequentialThrows;
  } cases[] = {
      {0, u"GroupFields", false, true, true},
      {0, u"WhereCond", false, true, true},
      {0, u"SROFCfg", false, false, true},
      {2, u"", false, false, false},  // a scheme nobody knows
      {0, u"", true, false, false},   // a scheme field of the wrong width
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(locmodel::Utf16ToUtf8(c.skip) + " " + std::to_string(c.scheme) + (c.narrow ? " narrow" : ""));
    ReadEachWay(HandTable(c.scheme, c.skip, c.narrow), [&](Serial::ISerialStream& s, bool tree) {
      CDBTableCfg table;
      if (!tree && c.sequentialThrows) {  // it meets another node than it asks for
        EXPECT_THROW(table.Do(s), Serial::Exceptions::FormatIO);
        return;
      }
      const bool reads = tree && c.treeReads;
      ASSERT_EQ(table.Do(s), reads);
      if (!reads) return;
      EXPECT_EQ(table.GetKeyFields(), (std::vector<std::u16string>{u"Id", u"Lang"}));
      EXPECT_EQ(table.KeyFields[1].group, std::u16string(c.skip) != u"GroupFields");
      EXPECT_EQ(table.WhereCond, std::u16string(c.skip) == u"WhereCond" ? u"" : u"X = 1");
    });
  }
  CDBTableCfg table = SrofTable();
  table.SchemeId = static_cast<CDBTableCfg::LocalizationSchemeId>(2);
  WriteStream([&](Serial::ISerialStream& s) { EXPECT_FALSE(table.Do(s)); });
  EXPECT_TRUE(table.GetLocFields(kGerman).empty());
}

TEST(DBCfg, ExpansionsForGerman) {
  CLangIdSchemeCfg langId;
  EXPECT_EQ(langId.GetValueByLang(kGerman), u"1031");
  langId.LangIdValueMap[kGerman] = u"de";
  EXPECT_EQ(langId.GetValueByLang(kGerman), u"de");
  EXPECT_EQ(langId.GetValueByLang(kFrench), u"1036");

  EXPECT_EQ(CDBSROFFieldCfg().GetFieldByLang(kGerman), u"de-DE");
  const CDBTableCfg srof = SrofTable();
  EXPECT_EQ(srof.GetLocFields(kGerman), (std::vector<std::u16string>{u"Name_DEU", u"de-DE"}));
  EXPECT_EQ(srof.GetLocFields(kFrench), (std::vector<std::u16string>{u"Name_FRA", u"DescFR"}));
  const auto& fields = srof.SROFCfg.TransFields;
  EXPECT_EQ(fields.Find(kFrench, u"DescFR"), fields.begin() + 1);
  EXPECT_EQ(fields.Find(kGerman, u"DescFR"), fields.end());

  const CDBTableCfg langIdTable = LangIdTable();
  EXPECT_EQ(langIdTable.GetLocFields(kGerman), langIdTable.GetLocFields(kFrench));
  const CDBTablesCfg tables{srof, langIdTable};
  EXPECT_EQ(tables.GetTableCfg(u"Strings"), tables.begin() + 1);
  EXPECT_EQ(tables.GetTableCfg(u"strings"), tables.end());
}

TEST(EncodingCfg, LookupRoundTripAndIanaNames) {
  CEncodingCfg cfg;
  EXPECT_EQ(cfg.GetEncoding(kGerman), CEncoding(u"UTF-8"));
  cfg.EncodingByLang.emplace(kGerman, CEncoding(1252));
  EXPECT_EQ(cfg.GetEncoding(kGerman), CEncoding(1252));
  EXPECT_EQ(cfg.GetEncoding(kFrench), CEncoding(u"UTF-8"));
  testing_support::ExpectRoundTrip(cfg, CEncodingCfg(CEncoding(932)));
  // A name ICU does not know, whole: nothing before a zero unit counts.
  EXPECT_EQ(CEncoding(std::u16string(u"UTF-8\0x", 7)).GetIanaName(kGerman), u"");
  EXPECT_EQ(CEncoding(u"UTF-8").GetIanaName(kGerman), u"UTF-8");
}

}  // namespace
