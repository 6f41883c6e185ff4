// XML parser configuration: name filters, namespace declarations and XPath
// mappings.
#include <gtest/gtest.h>

#include "locmodel/config/xml_cfg.h"
#include "locmodel/util/unicode.h"
#include "support/stream_bytes.h"

namespace {

using testing_support::ExpectRoundTrip;

TEST(Filter, TakesNamesByItsSets) {
  struct Case {
    CFilter::NameSet include, exclude;
    const char16_t* name;
    bool wildcards, allowed;
  } cases[] = {
      {{u"*"}, {u"Id"}, u"id", false, false},  // the sets ignore case
      {{u"*"}, {u"Id"}, u"Ident", false, true},
      {{u"*"}, {u"I?"}, u"ID", true, false},
      {{u"*"}, {u"I?"}, u"I?", false, false},  // an entry, not a pattern
      {{u"*"}, {u"I?"}, u"ID", false, true},
      // Without "*" in the include set the exclude set is not consulted.
      {{u"Text*"}, {u"TextBox"}, u"TextBox", true, true},
      {{u"Text*"}, {u"TextBox"}, u"textbox", false, false},
      {{u"Text*", u"Label"}, {}, u"LABEL", false, true},
      {{u"Text*"}, {}, u"Label", true, false},
      {{}, {}, u"Anything", true, false},
      {{}, {}, u"", false, false},
  };
  for (const Case& c : cases) {
    const CFilter filter(c.include, c.exclude);
    EXPECT_EQ(filter.IsAllowedName(c.name, c.wildcards), c.allowed)
        << locmodel::Utf16ToUtf8(c.name) << " wildcards " << c.wildcards;
  }
  EXPECT_TRUE(CXmlParserCfg::GetDefaultAttrFilter().IsAllowedName(u"any", true));
  EXPECT_FALSE(CFilter::IsMatch({u"*"}, u"any"));  // "*" is never a pattern
}

TEST(Filter, OrderEqualityAndSerialForm) {
  const CFilter upper({u"ID"}, {}), lower({u"id"}, {}), excluding({u"ID"}, {u"x"});
  EXPECT_FALSE(upper == lower);  // elements compare case-sensitively
  EXPECT_TRUE(upper < lower);
  EXPECT_TRUE(upper < excluding);
  EXPECT_FALSE(excluding < upper);

  ExpectRoundTrip(CFilter({u"*", u"Text?"}, {u"TextId", u"Hidden*"}), CFilter({u"old"}, {}));
}

TEST(XmlNamespaces, AttributesMergeAndSerialForm) {
  CXmlNamespacesCfg cfg;
  EXPECT_EQ(cfg.GetAttrStr(), u"");
  cfg = {{u"a", u"urn:1"}, {u"b", u"urn:2"}, {u"a", u"urn:3"}};
  EXPECT_EQ(cfg.GetAttrStr(), uR"(xmlns:a="urn:1" xmlns:b="urn:2")");
  cfg.Merge(cfg);
  EXPECT_EQ(cfg.size(), 6u);
  EXPECT_EQ(cfg.GetAttrStr(), uR"(xmlns:a="urn:1" xmlns:b="urn:2")");
  // Nothing is escaped: the caller checks what it splices.
  const CXmlNamespacesCfg quoted{{u"q", uR"(urn:"x")"}};
  EXPECT_EQ(quoted.GetAttrStr(), uR"(xmlns:q="urn:"x"")");
  ExpectRoundTrip(cfg, quoted);
}

TEST(XPathMapping, OrderAndSerialForm) {
  EXPECT_TRUE(CXPathMapping(u"//a", 9) < CXPathMapping(u"//b", 1));
  EXPECT_TRUE(CXPathMapping(u"//a", 1) < CXPathMapping(u"//a", 2));
  EXPECT_TRUE((CXPathMappingList{{u"//a", 1}} < CXPathMappingList{{u"//a", 1}, {u"//a", 0}}));
  ExpectRoundTrip(CXPathMappingList{{u"//html", 5}, {u"/root/@name", -1}}, {{u"old", 0}});
}

}  // namespace
