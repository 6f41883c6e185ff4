// CEncodingCfg: which text encoding a builder writes for each language, with
// a default for the languages it does not name. The XML configuration keeps
// one per format (CXmlParserCfg::EncodingCfg).
#pragma once

#include <map>

#include "locmodel/lang/encoding.h"
#include "locmodel/props/prop.h"

class CEncodingCfg {
 public:
  using EncodingMap = std::map<int, CEncoding>;

  // The default encoding of a configuration built without one.
  static CEncoding DefaultEncoding() { return CEncoding(u"UTF-8"); }

  CEncodingCfg() : CEncodingCfg(DefaultEncoding()) {}
  explicit CEncodingCfg(const CEncoding& defaultEncoding) : Default(defaultEncoding) {}

  // The entry for `lang`, else the default.
  const CEncoding& GetEncoding(int lang) const;

  // Same entries in order and the same default.
  bool operator==(const CEncodingCfg&) const = default;
  // Encoding configurations have no order.
  bool operator<(const CEncodingCfg&) const { return false; }

  // "EncodingByLang" (language, encoding pairs), then "Default"; false when
  // either is missing or malformed.
  bool Do(Serial::ISerialStream& stream);

  EncodingMap EncodingByLang;
  CEncoding Default;
};

LOCMODEL_DECLARE_PROP(CEncodingCfgProp, CEncodingCfg);
