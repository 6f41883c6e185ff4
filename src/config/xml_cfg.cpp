#include "locmodel/config/xml_cfg.h"

#include <set>

#include "locmodel/serial/strategies.h"

LOCMODEL_DEFINE_PROP(CXmlNamespacesCfgProp, u"XmlNamespacesCfg");
LOCMODEL_DEFINE_PROP(CXPathMappingListProp, u"XPathMappingList");

bool CXmlNamespaceDecl::Do(Serial::ISerialStream& stream) {
  return Serial::DoNode(stream, u"Name", Name) && Serial::DoNode(stream, u"Uri", Uri);
}

void CXmlNamespacesCfg::Merge(const CXmlNamespacesCfg& other) {
  const CXmlNamespacesCfg copy(other);  // `other` may be *this
  insert(end(), copy.begin(), copy.end());
}

std::u16string CXmlNamespacesCfg::GetAttrStr() const {
  std::u16string attributes;
  std::set<std::u16string> emitted;
  for (const CXmlNamespaceDecl& decl : *this) {
    if (!emitted.insert(decl.Name).second) continue;
    if (!attributes.empty()) attributes += u' ';
    attributes += u"xmlns:" + decl.Name + u"=\"" + decl.Uri + u"\"";
  }
  return attributes;
}

bool CXmlNamespacesCfg::Do(Serial::ISerialStream& stream) {
  return Serial::DoNode(stream, u"NamespacesDeclarations", static_cast<std::vector<CXmlNamespaceDecl>&>(*this));
}

bool CXPathMapping::Do(Serial::ISerialStream& stream) {
  return Serial::DoNode(stream, u"XPath", XPath) && Serial::DoNode(stream, u"Format", Format);
}

bool CXPathMappingList::Do(Serial::ISerialStream& stream) {
  return Serial::DoValue(stream, static_cast<std::vector<CXPathMapping>&>(*this));
}
