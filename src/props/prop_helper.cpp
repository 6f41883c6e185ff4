#include "locmodel/props/prop_helper.h"

#include "locmodel/items/item_events.h"
#include "locmodel/items/res_item.h"
#include "locmodel/lang/lang_id.h"

namespace {

// `lang`'s language with `brandOf`'s brand.
int WithBrandOf(int lang, int brandOf) {
  return CLangId(CLangId(lang).GetRawLng(), CLangId(brandOf).GetBrand()).GetLang();
}

}  // namespace

const CProp* CPropHelper::GetTransProp(const CResItem* item, const CPropName& name, int lang) {
  const CTransItem* trans = item ? item->GetTranslation(lang) : nullptr;
  return trans ? trans->GetPropW(name) : nullptr;
}

const CProp* CPropHelper::GetTransProp(const CResItem* item, const CPropName& name, int lang,
                                       int srcLang) {
  for (int candidate : {lang, WithBrandOf(srcLang, lang), WithBrandOf(lang, srcLang), srcLang}) {
    if (const CProp* found = GetTransProp(item, name, candidate)) return found;
  }
  return nullptr;
}

const CProp* CPropHelper::GetTransPropTgt(const CResItem* item, const CPropName& name, int lang,
                                          int srcLang) {
  // By identity, not by value: a target that merely repeats the source's
  // text still belongs to the target.
  const CProp* found = GetTransProp(item, name, lang, srcLang);
  return found == GetTransProp(item, name, srcLang) ? nullptr : found;
}

int CPropHelper::GetTransPropInt(const CResItem* item, const CPropName& name, int lang,
                                 int srcLang) {
  const CProp* found = GetTransProp(item, name, lang, srcLang);
  return found ? found->GetInt() : 0;
}

std::u16string CPropHelper::GetTransPropStr(const CResItem* item, const CPropName& name, int lang,
                                            int srcLang) {
  const CProp* found = GetTransProp(item, name, lang, srcLang);
  return found ? found->GetStr() : std::u16string();
}

const std::vector<unsigned char>& CPropHelper::GetTransPropData(const CResItem* item,
                                                               const CPropName& name, int lang,
                                                               int srcLang) {
  static const std::vector<unsigned char> kNone;
  const CProp* found = GetTransProp(item, name, lang, srcLang);
  return found ? found->GetData() : kNone;
}

void CPropHelper::SetTransProp(CResItem* item, const CPropName& name, CProp* value, int lang) {
  if (item == nullptr) {
    delete value;
    return;
  }
  CItemEventServer& events = CItemEventServer::Instance();
  events.OnMultiOperationBegin();
  CTransItem* trans = item->GetTranslation(lang);
  if (trans == nullptr) {
    trans = new CTransItem(lang);
    item->AddTransItem(trans);
  }
  trans->SetPropW(name, value);
  events.OnMultiOperationEnd();
}

CProp* CPropHelper::RemoveTransProp(CResItem* item, const CPropName& name, int lang) {
  CTransItem* trans = item ? item->GetTranslation(lang) : nullptr;
  return trans ? trans->RemovePropW(name) : nullptr;
}

bool CPropHelper::HasTransProp(const CResItem* item, const CPropName& name) {
  if (item == nullptr) return false;
  for (const auto& entry : item->GetTransMap()) {
    if (entry.second->GetPropW(name) != nullptr) return true;
  }
  return false;
}

bool CPropHelper::HasTranslations(const CResItem* item, int lang, int srcLang, bool recursive) {
  const bool branded = CLangId(lang).GetBrand() != 0;
  const int srcWithLangBrand = WithBrandOf(srcLang, lang);
  const int langWithSrcBrand = WithBrandOf(lang, srcLang);
  // An explicit stack: a tree read from a file may be deep.
  std::vector<const CResItem*> pending;
  if (item != nullptr) pending.push_back(item);
  while (!pending.empty()) {
    const CResItem* current = pending.back();
    pending.pop_back();
    if (current->HasTranslation(lang)) return true;
    if (branded && (current->HasTranslation(srcWithLangBrand) ||
                    current->HasTranslation(langWithSrcBrand))) {
      return true;
    }
    if (!recursive) break;
    const auto& children = current->GetResItems();
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  return false;
}
