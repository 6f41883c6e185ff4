#include "locmodel/config/prj_config.h"

#include <cstdio>

#include "locmodel/lang/lang_map.h"
#include "locmodel/util/unicode.h"

namespace {

// Applies one CPrjLangs rule to a copy of the effective value; the accessor
// stores the copy only when the rule changed it.
template <typename Rule>
void ChangePrjLangs(CResItem& item, Rule rule) {
  CPrjLangs langs = CPrjConfig::GetPrjLangs(item, true);
  rule(langs);
  CPrjConfig::SetPrjLangs(item, langs);
}

}  // namespace

CIntStrMap CPrjConfig::GetDefaultBrandMap() { return {{0, u"SourceBrand"}}; }

std::u16string CPrjConfig::GetBrandName(const CResItem& item, int brand) {
  const CIntStrMap& brands = GetBrandMap(item, true);
  if (auto found = brands.find(brand); found != brands.end()) return found->second;
  char text[16];
  std::snprintf(text, sizeof text, "[%d]", brand);
  return locmodel::Utf8ToUtf16(text);
}

std::u16string CPrjConfig::GetBrandedLangName(const CResItem& item, int lang) {
  const CLangId id(lang);
  std::u16string name = CLangMap::Instance().GetLongLangName(id.GetRawLng());
  if (GetBrandMap(item, true).size() < 2) return name;
  // "<brand>: <long name>", joined in UTF-16 so that no text is converted.
  return GetBrandName(item, id.GetBrand()) + u": " + name;
}

int CPrjConfig::GetBrandNative(int lang, int native) {
  const CLangId from(lang), to(native);
  if (from.GetRawLng() == to.GetRawLng()) return native;
  return CLangId(to.GetRawLng(), from.GetBrand()).GetLang();
}

void CPrjConfig::SetTarget(CResItem& item, int lang) {
  ChangePrjLangs(item, [&](CPrjLangs& langs) { langs.setTarget(lang); });
}

void CPrjConfig::SetSecondary(CResItem& item, int lang) {
  ChangePrjLangs(item, [&](CPrjLangs& langs) { langs.setSecondary(lang); });
}

void CPrjConfig::SetSelectedLangs(CResItem& item, const CLangSet& set) {
  ChangePrjLangs(item, [&](CPrjLangs& langs) { langs.setSelectedLangs(set); });
}

void CPrjConfig::AddSelectedLang(CResItem& item, int lang) {
  ChangePrjLangs(item, [&](CPrjLangs& langs) { langs.addSelectedLang(lang); });
}

CLangSet CPrjConfig::GetAllOutputLangs(const CResItem& item, unsigned char brand) {
  const CIntStrMap& brands = GetBrandMap(item, true);
  const CLangId native(GetNative(item));
  CLangSet langs = GetSelectedLangs(item);
  if (brands.size() > 1) langs.insert(GetNative(item));
  CLangSet output;
  for (int lang : langs) {
    const short part = CLangId(lang).GetRawLng();
    for (const auto& entry : brands) {
      // Keys beyond a byte name the brand of their low byte.
      const auto keyBrand = static_cast<unsigned char>(entry.first & 0xFF);
      if (brand != CLangId::UnrealBrand && keyBrand != brand) continue;
      const CLangId branded(part, keyBrand);
      if (branded != native) output.insert(branded.GetLang());
    }
  }
  return output;
}
