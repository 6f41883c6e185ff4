#include "cli/value_text.h"

#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "cli/prop_json.h"
#include "locmodel/condition/condition_filter.h"
#include "locmodel/config/control_mapping.h"
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/config/prj_langs.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/segm/srx_store.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// An integer written as text: an optional "-", then decimal digits, or
// (when `hex` allows it) "0x" and hex digits. Null when malformed or past 64
// bits.
struct Integer {
  bool negative;
  bool hex;
  uint64_t magnitude;
};

std::optional<Integer> ReadInteger(std::string_view text, bool hex) {
  Integer value{!text.empty() && text[0] == '-', false, 0};
  if (value.negative) text.remove_prefix(1);
  unsigned base = 10;
  if (hex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (value.negative) return std::nullopt;
    base = 16;
    value.hex = true;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return std::nullopt;
    if (value.magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base) return std::nullopt;
    value.magnitude = value.magnitude * base + digit;
  }
  return value;
}

// A 32-bit integer: signed decimal, or hex up to 0xFFFFFFFF read as its
// bit pattern (as language identifiers are written).
bool ToInt(std::string_view text, bool hex, int& out, std::string& reason) {
  const auto value = ReadInteger(text, hex);
  if (!value) return reason = "not an integer", false;
  const uint64_t limit = value->negative ? uint64_t{1} << 31 : value->hex ? 0xFFFFFFFFu : 0x7FFFFFFFu;
  if (value->magnitude > limit) return reason = "out of range", false;
  out = value->negative ? static_cast<int>(-static_cast<int64_t>(value->magnitude))
                        : static_cast<int>(static_cast<uint32_t>(value->magnitude));
  return true;
}

bool ToUnsigned64(std::string_view text, bool hex, unsigned long long& out, std::string& reason) {
  const auto value = ReadInteger(text, hex);
  if (!value) return reason = "not an integer", false;
  if (value->negative && value->magnitude != 0) return reason = "out of range", false;
  out = value->magnitude;
  return true;
}

// A JSON document, just enough of it for the value forms: integers only.
struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  std::string number;  // as written
  std::u16string string;
  std::vector<Json> items;                // an array's; an object's member values
  std::vector<std::u16string> keys;       // an object's member names, beside `items`
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool Document(Json& out, std::string& reason) {
    if (!Value(out, 0) || (SkipSpace(), pos_ != text_.size())) {
      reason = "malformed JSON at offset " + std::to_string(pos_);
      return false;
    }
    return true;
  }

 private:
  // The value forms nest three levels at most.
  static constexpr int kMaxDepth = 16;

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r'))
      ++pos_;
  }
  bool Eat(char c) {
    SkipSpace();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool Value(Json& out, int depth) {
    SkipSpace();
    if (pos_ >= text_.size() || depth > kMaxDepth) return false;
    const char c = text_[pos_];
    if (c == 'n') return out.kind = Json::kNull, Word("null");
    if (c == 't') return out.kind = Json::kBool, out.boolean = true, Word("true");
    if (c == 'f') return out.kind = Json::kBool, Word("false");
    if (c == '"') return out.kind = Json::kString, String(out.string);
    if (c == '-' || (c >= '0' && c <= '9')) return out.kind = Json::kNumber, Number(out.number);
    if (c == '[') {
      ++pos_;
      out.kind = Json::kArray;
      if (Eat(']')) return true;
      do {
        out.items.emplace_back();
        if (!Value(out.items.back(), depth + 1)) return false;
      } while (Eat(','));
      return Eat(']');
    }
    if (c == '{') {
      ++pos_;
      out.kind = Json::kObject;
      if (Eat('}')) return true;
      do {
        SkipSpace();
        if (!String(out.keys.emplace_back()) || !Eat(':') || !Value(out.items.emplace_back(), depth + 1))
          return false;
      } while (Eat(','));
      return Eat('}');
    }
    return false;
  }

  bool Number(std::string& out) {
    const size_t begin = pos_;
    if (text_[pos_] == '-') ++pos_;
    const size_t digits = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    if (pos_ == digits || (text_[digits] == '0' && pos_ - digits > 1)) return false;
    out = text_.substr(begin, pos_ - begin);
    return true;
  }

  bool Hex4(char16_t& unit) {
    if (text_.size() - pos_ < 4) return false;
    const auto value = ReadInteger("0x" + std::string(text_.substr(pos_, 4)), true);
    if (!value || text_[pos_] == '-') return false;
    unit = static_cast<char16_t>(value->magnitude);
    pos_ += 4;
    return true;
  }

  // An escaped surrogate without its partner becomes U+FFFD, as the JSON
  // writer prints it.
  static void PairSurrogates(std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      const bool high = text[i] >= 0xD800 && text[i] < 0xDC00, low = text[i] >= 0xDC00 && text[i] < 0xE000;
      if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) ++i;
      else if (high || low) text[i] = 0xFFFD;
    }
  }

  bool String(std::u16string& out) {
    if (pos_ >= text_.size() || text_[pos_] != '"') return false;
    ++pos_;
    for (;;) {
      const size_t run = pos_;
      while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\\' &&
             static_cast<unsigned char>(text_[pos_]) >= 0x20)
        ++pos_;
      AppendUtf8ToUtf16(out, text_.substr(run, pos_ - run));
      if (pos_ >= text_.size() || static_cast<unsigned char>(text_[pos_]) < 0x20) return false;
      if (text_[pos_++] == '"') return PairSurrogates(out), true;
      if (pos_ >= text_.size()) return false;
      const char escape = text_[pos_++];
      static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
      if (const size_t i = kFrom.find(escape); i != std::string_view::npos) {
        out.push_back(static_cast<char16_t>(kTo[i]));
      } else if (escape == 'u') {
        char16_t unit;
        if (!Hex4(unit)) return false;
        out.push_back(unit);
      } else {
        return false;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

// JSON values into value types, the inverse of prop_json.cpp's forms.
bool Read(const Json& j, PropNoValue&, std::string& reason) {
  return j.kind == Json::kNull || (reason = "expected null", false);
}
bool Read(const Json& j, std::u16string& v, std::string& reason) {
  if (j.kind != Json::kString) return reason = "expected a string", false;
  v = j.string;
  return true;
}
bool Read(const Json& j, int& v, std::string& reason) {
  if (j.kind != Json::kNumber) return reason = "expected a number", false;
  return ToInt(j.number, false, v, reason);
}
bool ReadHex(const std::u16string& hex, unsigned char* out, size_t size) {
  if (hex.size() != 2 * size) return false;
  for (size_t i = 0; i < size; ++i) {
    const auto byte = ReadInteger("0x" + Utf16ToUtf8(hex.substr(2 * i, 2)), true);
    if (!byte || hex[2 * i] == u'-') return false;
    out[i] = static_cast<unsigned char>(byte->magnitude);
  }
  return true;
}
bool Read(const Json& j, std::vector<unsigned char>& v, std::string& reason) {
  if (j.kind != Json::kString || j.string.size() % 2 != 0) return reason = "expected a hex string", false;
  v.resize(j.string.size() / 2);
  return ReadHex(j.string, v.data(), v.size()) || (reason = "expected a hex string", false);
}
// The members `names` of an object, each exactly once, nothing else.
bool Members(const Json& j, std::initializer_list<const char16_t*> names, std::vector<const Json*>& out,
             std::string& reason) {
  if (j.kind != Json::kObject || j.keys.size() != names.size())
    return reason = "expected an object with " + std::to_string(names.size()) + " members", false;
  for (const char16_t* name : names) {
    const Json* found = nullptr;
    for (size_t i = 0; i < j.keys.size(); ++i)
      if (j.keys[i] == name) found = &j.items[i];
    if (!found) return reason = "missing member \"" + Utf16ToUtf8(name) + "\"", false;
    out.push_back(found);
  }
  return true;
}
bool Read(const Json& j, CEmbeddedCfg& v, std::string& reason) {
  int fields[3];
  if (j.kind != Json::kArray || j.items.size() != 3) return reason = "expected [sourceType,kindCode,extraParam]", false;
  for (size_t i = 0; i < 3; ++i)
    if (!Read(j.items[i], fields[i], reason)) return false;
  v = CEmbeddedCfg{static_cast<CEmbeddedCfg::CSourceType>(fields[0]), fields[1], fields[2]};
  return true;
}
bool Read(const Json& j, VARIANT& v, std::string& reason) {
  std::vector<const Json*> m;
  int vt;
  VARIANT::Raw raw;
  if (!Members(j, {u"vt", u"raw", u"text"}, m, reason) || !Read(*m[0], vt, reason)) return false;
  if (m[1]->kind != Json::kString || !ReadHex(m[1]->string, raw.data(), raw.size()))
    return reason = "\"raw\" must be 32 hex digits", false;
  std::optional<std::u16string> text;
  if (m[2]->kind != Json::kNull && !Read(*m[2], text.emplace(), reason)) return false;
  v = VARIANT::FromRaw(raw, text);
  if (v.vt() != vt || (v.vt() == VARIANT::VT_BSTR) != text.has_value())
    return reason = "\"vt\" and \"text\" must agree with \"raw\"", false;
  return true;
}
bool Read(const Json& j, CConditionEntry& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"id", u"title", u"expression"}, m, reason) && Read(*m[0], v.ID, reason) &&
         Read(*m[1], v.Title, reason) && Read(*m[2], v.Expression, reason);
}
// The configuration forms, declared before the templates that nest them.
bool Read(const Json& j, CFilter& v, std::string& reason);
bool Read(const Json& j, CXmlNamespaceDecl& v, std::string& reason);
bool Read(const Json& j, CEncoding& v, std::string& reason);
bool Read(const Json& j, CEncodingCfg& v, std::string& reason);
bool Read(const Json& j, CXPathMapping& v, std::string& reason);
bool Read(const Json& j, CControlTypeMapping& v, std::string& reason);
bool Read(const Json& j, CDBTableCfg::KeyField& v, std::string& reason);
bool Read(const Json& j, CDBSROFFieldCfg& v, std::string& reason);
bool Read(const Json& j, CLangIdSchemeCfg& v, std::string& reason);
bool Read(const Json& j, CDBTableCfg& v, std::string& reason);
template <typename K, typename V>
bool Read(const Json& j, std::pair<K, V>& v, std::string& reason) {
  if (j.kind != Json::kArray || j.items.size() != 2) return reason = "expected a [key,value] pair", false;
  return Read(j.items[0], v.first, reason) && Read(j.items[1], v.second, reason);
}
// Lists, sets and maps from an array; a set or map refuses a repeated
// element rather than drop it.
template <typename C>
  requires requires(const C& c) { c.begin(); typename C::value_type; }
bool Read(const Json& j, C& v, std::string& reason) {
  if (j.kind != Json::kArray) return reason = "expected an array", false;
  v.clear();
  for (const Json& item : j.items) {
    if constexpr (requires { typename C::mapped_type; }) {
      std::pair<typename C::key_type, typename C::mapped_type> element;
      if (!Read(item, element, reason)) return false;
      if (!v.insert(std::move(element)).second) return reason = "repeated key", false;
    } else if constexpr (requires { typename C::key_type; }) {
      typename C::value_type element;
      if (!Read(item, element, reason)) return false;
      if (!v.insert(std::move(element)).second) return reason = "repeated element", false;
    } else {
      if (!Read(item, v.emplace_back(), reason)) return false;
    }
  }
  return true;
}
bool Read(const Json& j, CPrjLangs& v, std::string& reason) {
  std::vector<const Json*> m;
  int native, target, secondary;
  CLangSet selected;
  if (!Members(j, {u"native", u"target", u"secondary", u"selected"}, m, reason) ||
      !Read(*m[0], native, reason) || !Read(*m[1], target, reason) || !Read(*m[2], secondary, reason) ||
      !Read(*m[3], selected, reason))
    return false;
  v = CPrjLangs::FromStored(native, target, secondary, std::move(selected));
  return true;
}

bool Read(const Json& j, CFilter& v, std::string& reason) {
  std::vector<const Json*> m;
  CFilter::NameSet include, exclude;
  if (!Members(j, {u"include", u"exclude"}, m, reason) || !Read(*m[0], include, reason) ||
      !Read(*m[1], exclude, reason))
    return false;
  v = CFilter(std::move(include), std::move(exclude));
  return true;
}
bool Read(const Json& j, CXmlNamespaceDecl& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"name", u"uri"}, m, reason) && Read(*m[0], v.Name, reason) && Read(*m[1], v.Uri, reason);
}
// A code page with an empty name, a name with code page -3, or -4 for the
// language's ANSI code page: the encodings that can be built.
bool Read(const Json& j, CEncoding& v, std::string& reason) {
  std::vector<const Json*> m;
  int codepage;
  std::u16string name;
  if (!Members(j, {u"codepage", u"name"}, m, reason) || !Read(*m[0], codepage, reason) ||
      !Read(*m[1], name, reason))
    return false;
  if (codepage == CEncoding::InvalidCodepage) return v = CEncoding(name), true;
  if (!name.empty()) return reason = "an encoding has a name only with code page -3", false;
  v = codepage == -4 ? CEncoding::SelectAnsiByLang : CEncoding(codepage);
  return true;
}
bool Read(const Json& j, CEncodingCfg& v, std::string& reason) {
  std::vector<const Json*> m;
  if (!Members(j, {u"default", u"byLang"}, m, reason) || !Read(*m[0], v.Default, reason)) return false;
  if (m[1]->kind != Json::kArray) return reason = "expected an array", false;
  v.EncodingByLang.clear();
  for (const Json& entry : m[1]->items) {
    std::vector<const Json*> e;
    std::pair<int, CEncoding> element;
    if (!Members(entry, {u"lang", u"encoding"}, e, reason) || !Read(*e[0], element.first, reason) ||
        !Read(*e[1], element.second, reason))
      return false;
    if (!v.EncodingByLang.insert(element).second) return reason = "repeated key", false;
  }
  return true;
}
bool Read(const Json& j, CXPathMapping& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"xpath", u"format"}, m, reason) && Read(*m[0], v.XPath, reason) &&
         Read(*m[1], v.Format, reason);
}
bool Read(const Json& j, bool& v, std::string& reason) {
  if (j.kind != Json::kBool) return reason = "expected true or false", false;
  v = j.boolean;
  return true;
}
bool Read(const Json& j, CControlTypeMapping& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"srcTypeMask", u"show", u"controlType"}, m, reason) && Read(*m[0], v.SrcTypeMask, reason) &&
         Read(*m[1], v.Show, reason) && Read(*m[2], v.ControlType, reason);
}
bool Read(const Json& j, CDBTableCfg::KeyField& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"name", u"group"}, m, reason) && Read(*m[0], v.name, reason) &&
         Read(*m[1], v.group, reason);
}
bool Read(const Json& j, CDBSROFFieldCfg& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"nameByLang", u"pattern"}, m, reason) && Read(*m[0], v.NameByLang, reason) &&
         Read(*m[1], v.TransNamePattern, reason);
}
bool Read(const Json& j, CLangIdSchemeCfg& v, std::string& reason) {
  std::vector<const Json*> m;
  return Members(j, {u"field", u"template", u"map", u"fields"}, m, reason) &&
         Read(*m[0], v.LangIdField, reason) && Read(*m[1], v.LangIdFieldValueTemplate, reason) &&
         Read(*m[2], v.LangIdValueMap, reason) && Read(*m[3], v.TransFields, reason);
}
bool Read(const Json& j, CDBTableCfg& v, std::string& reason) {
  std::vector<const Json*> m;
  int scheme;
  if (!Members(j, {u"name", u"scheme", u"keyFields", u"srof", u"langId", u"where"}, m, reason) ||
      !Read(*m[0], v.TableName, reason) || !Read(*m[1], scheme, reason) || !Read(*m[2], v.KeyFields, reason) ||
      !Read(*m[3], v.SROFCfg.TransFields, reason) || !Read(*m[4], v.LangIdSchemeCfg, reason) ||
      !Read(*m[5], v.WhereCond, reason))
    return false;
  if (scheme != CDBTableCfg::SROF_SCHEME && scheme != CDBTableCfg::LANG_ID_SCHEME)
    return reason = "\"scheme\" must be 0 or 1", false;
  v.SchemeId = static_cast<CDBTableCfg::LocalizationSchemeId>(scheme);
  return true;
}

// The scalar text forms.
bool ReadText(std::string_view text, std::u16string& v, std::string&) {
  v = Utf8ToUtf16(text);
  return true;
}
bool ReadText(std::string_view text, bool& v, std::string& reason) {
  if (text == "true" || text == "1") return v = true, true;
  if (text == "false" || text == "0") return v = false, true;
  return reason = "expected true, false, 1 or 0", false;
}
bool ReadText(std::string_view text, int& v, std::string& reason) { return ToInt(text, true, v, reason); }
bool ReadText(std::string_view text, unsigned long long& v, std::string& reason) {
  return ToUnsigned64(text, true, v, reason);
}
bool ReadText(std::string_view text, CSRXStore& v, std::string& reason) {
  if (text.empty() || text[0] != '@') return reason = "expected @FILE, an SRX file", false;
  const std::u16string path = Utf8ToUtf16(text.substr(1));
  try {
    if (v.Load(path)) return true;
    reason = "cannot load SRX file " + std::string(text.substr(1));
  } catch (const CSRXStore::CLoadError& e) {
    reason = e.what();
  }
  return false;
}
template <typename T>
bool ReadText(std::string_view text, T& v, std::string& reason) {
  Json json;
  return JsonReader(text).Document(json, reason) && Read(json, v, reason);
}

void AppendText(std::string& out, const std::u16string& v) { out += Utf16ToUtf8(v); }
void AppendText(std::string& out, bool v) { out += v ? "true" : "false"; }
void AppendText(std::string& out, int v) { out += std::to_string(v); }
void AppendText(std::string& out, unsigned long long v) { out += std::to_string(v); }
void AppendText(std::string& out, const CSRXStore& v) { out += v.ToSRX(); }

struct Form {
  void (*append)(std::string&, const CProp&);
  CProp* (*parse)(std::string_view, std::string&);
};

template <typename P>
std::pair<const CPropClass*, Form> FormOf() {
  using T = typename P::ValueType;
  return {&P::classInstance,
          {[](std::string& out, const CProp& prop) {
             const T& value = static_cast<const P&>(prop);
             if constexpr (requires { AppendText(out, value); }) AppendText(out, value);
             else AppendPropValue(out, prop);
           },
           [](std::string_view text, std::string& reason) -> CProp* {
             T value{};
             return ReadText(text, value, reason) ? new P(value) : nullptr;
           }}};
}

const Form* FindForm(const CPropClass& valueClass) {
  static const std::map<const CPropClass*, Form> forms = {
      FormOf<CEmptyProp>(),     FormOf<CStrProp>(),      FormOf<CBinaryProp>(),
      FormOf<CIntProp>(),       FormOf<CBoolProp>(),     FormOf<CEmbeddedCfgProp>(),
      FormOf<CItemIdProp>(),    FormOf<CIntVectorProp>(), FormOf<CStrSetProp>(),
      FormOf<CStrListProp>(),   FormOf<CIntStrMapProp>(), FormOf<CIntSetProp>(),
      FormOf<CVariantProp>(),   FormOf<CLangSetProp>(),   FormOf<CConditionFilterCfgProp>(),
      FormOf<CPrjLangsProp>(),  FormOf<CSRXStoreProp>(),   FormOf<CDBTablesCfgProp>(),
      FormOf<CEncodingCfgProp>(), FormOf<CFilterProp>(),   FormOf<CXmlNamespacesCfgProp>(),
      FormOf<CXPathMappingListProp>(), FormOf<CControlMappingProp>(),
  };
  const auto it = forms.find(&valueClass);
  return it == forms.end() ? nullptr : &it->second;
}

}  // namespace

std::optional<int> ParseInt32(std::string_view text) {
  int value;
  std::string reason;
  return ToInt(text, true, value, reason) ? std::optional(value) : std::nullopt;
}

std::string PropNameText(const CPropName& name) {
  if (!name.IsStr()) return Utf16ToUtf8(name.ToString());
  const std::u16string& text = name.GetStr();
  const bool marked = text.empty() || text[0] == u'#' || text[0] == u'@';
  return (marked ? "@" : "") + Utf16ToUtf8(text);
}

CPropName ParsePropName(std::string_view text) {
  CPropName name;
  name.FromString(Utf8ToUtf16(text));
  return name;
}

bool AppendValueText(std::string& out, const CProp& value) {
  const Form* form = FindForm(value.GetClass());
  if (!form) return false;
  form->append(out, value);
  return true;
}

std::unique_ptr<CProp> ParseValueText(const CPropClass& valueClass, std::string_view text,
                                      std::string& reason) {
  const Form* form = FindForm(valueClass);
  if (!form) {
    reason = std::string("no text form for ") + valueClass.GetTypeName();
    return nullptr;
  }
  return std::unique_ptr<CProp>(form->parse(text, reason));
}

}  // namespace locmodel::cli
