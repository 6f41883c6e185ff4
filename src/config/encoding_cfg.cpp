#include "locmodel/config/encoding_cfg.h"

#include "config/required_node.h"

LOCMODEL_DEFINE_PROP(CEncodingCfgProp, u"EncodingCfg");

using locmodel::config_detail::DoRequiredNode;

const CEncoding& CEncodingCfg::GetEncoding(int lang) const {
  const auto it = EncodingByLang.find(lang);
  return it != EncodingByLang.end() ? it->second : Default;
}

bool CEncodingCfg::Do(Serial::ISerialStream& stream) {
  return DoRequiredNode(stream, u"EncodingByLang", EncodingByLang) &&
         DoRequiredNode(stream, u"Default", Default);
}
