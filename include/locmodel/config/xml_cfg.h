// The settings of the XML scanner and builder: CXmlParserCfg, a per-format
// accessor family (see locmodel/props/accessor.h), so that several XML-based
// formats keep separate settings on one item, and the value types of its
// properties: namespace declarations and XPath-to-format mappings (filters
// are locmodel/config/filter.h, encodings locmodel/config/encoding_cfg.h).
//
// The XPath templates and mappings are stored, never evaluated: the scanner
// that reads them gives them their meaning.
#pragma once

#include <string>
#include <vector>

#include "locmodel/config/encoding_cfg.h"
#include "locmodel/config/filter.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

// A namespace prefix and its URI.
class CXmlNamespaceDecl {
 public:
  bool operator==(const CXmlNamespaceDecl&) const = default;
  // "Name", then "Uri".
  bool Do(Serial::ISerialStream& stream);

  std::u16string Name;
  std::u16string Uri;
};

// Declarations in the order added; repeated prefixes are kept.
class CXmlNamespacesCfg : public std::vector<CXmlNamespaceDecl> {
 public:
  using std::vector<CXmlNamespaceDecl>::vector;

  // Appends the declarations of `other` in their order; nothing is removed
  // or merged.
  void Merge(const CXmlNamespacesCfg& other);
  // xmlns:NAME="URI" for each prefix's first declaration, separated by one
  // space. Nothing is escaped: a prefix or URI that XML does not allow there
  // gives malformed XML, so callers that take declarations from users check
  // them first.
  std::u16string GetAttrStr() const;

  // Declaration lists have no order.
  bool operator<(const CXmlNamespacesCfg&) const { return false; }
  // The declarations in the node "NamespacesDeclarations".
  bool Do(Serial::ISerialStream& stream);
};

// An XPath expression and the format of the nodes it selects (-1: none).
class CXPathMapping {
 public:
  CXPathMapping() = default;
  CXPathMapping(std::u16string xpath, int format) : XPath(std::move(xpath)), Format(format) {}

  bool operator==(const CXPathMapping&) const = default;
  // By expression (code unit order), then by format.
  bool operator<(const CXPathMapping& other) const {
    return XPath != other.XPath ? XPath < other.XPath : Format < other.Format;
  }
  // "XPath", then "Format".
  bool Do(Serial::ISerialStream& stream);

  std::u16string XPath;
  int Format = -1;
};

// Mappings in order; lists compare lexicographically.
class CXPathMappingList : public std::vector<CXPathMapping> {
 public:
  using std::vector<CXPathMapping>::vector;
  // A container of mappings, without a node of its own.
  bool Do(Serial::ISerialStream& stream);
};

LOCMODEL_DECLARE_PROP(CXmlNamespacesCfgProp, CXmlNamespacesCfg);
LOCMODEL_DECLARE_PROP(CXPathMappingListProp, CXPathMappingList);

class CXmlParserCfg : public CCustomAccessor {
 public:
  using CCustomAccessor::CCustomAccessor;

  LOCMODEL_CFG_FORMAT_PROP(OutputPattern, u"Xml.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(SrcFileName)_$(CultureName)$(SrcFileExt)");
  // Select the translatable nodes, and the nodes that name them.
  LOCMODEL_CFG_FORMAT_PROP(XPathTemplate, u"XML.XPath", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_FORMAT_PROP(KeyXPathTemplate, u"XML.KeyXPath", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_FORMAT_PROP(ParseComments, u"XML.ParseComments", CBoolProp, bool, false);
  LOCMODEL_CFG_FORMAT_PROP(OneLevelForXPath, u"XML.OneLevelForXPath", CBoolProp, bool, true);
  LOCMODEL_CFG_FORMAT_PROP(ExcludeNonTranslatedNodes, u"XML.ExcludeNonTranslatedNodes", CBoolProp, bool, false);
  LOCMODEL_CFG_FORMAT_PROP(PreserveWhitespace, u"XML.PreserveWhitespace", CBoolProp, bool, false);
  LOCMODEL_CFG_FORMAT_PROP(NamespacesCfg, u"Xml.NamespacesCfg", CXmlNamespacesCfgProp, CXmlNamespacesCfg,
                           CXmlNamespacesCfg());
  LOCMODEL_CFG_FORMAT_PROP(AttrFilter, u"XML.AttrFilter", CFilterProp, CFilter, GetDefaultAttrFilter());
  LOCMODEL_CFG_FORMAT_PROP(NodeFilter, u"XML.NodeFilter", CFilterProp, CFilter, GetDefaultNodeFilter());
  LOCMODEL_CFG_FORMAT_PROP(KeyFilter, u"XML.KeyFilter", CFilterProp, CFilter, GetDefaultKeyFilter());
  LOCMODEL_CFG_FORMAT_PROP(EncodingCfg, u"XML.Encoding", CEncodingCfgProp, CEncodingCfg, CEncodingCfg());
  LOCMODEL_CFG_FORMAT_PROP(Autodetect, u"XML.Autodetect", CBoolProp, bool, true);
  LOCMODEL_CFG_FORMAT_PROP(XPathMappingList, u"XML.XPathMappingList", CXPathMappingListProp, CXPathMappingList,
                           CXPathMappingList());

  // The defaults of the three filters: include {"*"}, exclude nothing, so
  // every name is taken.
  static CFilter GetDefaultAttrFilter() { return EveryName(); }
  static CFilter GetDefaultNodeFilter() { return EveryName(); }
  static CFilter GetDefaultKeyFilter() { return EveryName(); }

 private:
  static CFilter EveryName() { return CFilter({u"*"}, {}); }
};
