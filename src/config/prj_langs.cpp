#include "locmodel/config/prj_langs.h"

#include "locmodel/serial/strategies.h"

LOCMODEL_DEFINE_PROP(CPrjLangsProp, u"PrjLangsType");

namespace {

// 32-bit identifiers: the 16-bit part sign-extended, as the selected set
// is searched with it.
int RawLng(int lang) { return CLangId(lang).GetRawLng(); }

}  // namespace

bool CPrjLangs::IsSelected(int lang) const { return selected_.count(RawLng(lang)) != 0; }

bool CPrjLangs::IsOtherBrandOfNative(int lang) const {
  return RawLng(lang) == RawLng(native_) && CLangId(lang) != CLangId(native_);
}

void CPrjLangs::setTarget(int lang) {
  if (IsSelected(lang) || IsOtherBrandOfNative(lang)) target_ = lang;
}

void CPrjLangs::setSecondary(int lang) {
  if (lang == CLangId::NoLang || IsSelected(lang) || IsOtherBrandOfNative(lang)) secondary_ = lang;
}

void CPrjLangs::setSelectedLangs(const CLangSet& langs) {
  if (langs.count(RawLng(native_))) return;
  if (&langs != &selected_) selected_ = langs;
  const unsigned char targetBrand = CLangId(target_).GetBrand();
  if (selected_.empty()) {
    secondary_ = CLangId::NoLang;
    if (RawLng(target_) != RawLng(native_))
      target_ = CLangId(CLangId(native_).GetRawLng(), targetBrand).GetLang();
    return;
  }
  if (!IsSelected(target_))
    target_ = CLangId(CLangId(*selected_.begin()).GetRawLng(), targetBrand).GetLang();
  if (!IsSelected(secondary_)) secondary_ = CLangId::NoLang;
}

bool CPrjLangs::operator==(const CPrjLangs& other) const {
  return selected_ == other.selected_ && target_ == other.target_ && native_ == other.native_ &&
         secondary_ == other.secondary_;
}

bool CPrjLangs::Do(Serial::ISerialStream& stream) {
  return Serial::DoNode(stream, u"Selected", selected_) && Serial::DoNode(stream, u"Target", target_) &&
         Serial::DoNode(stream, u"Native", native_) && Serial::DoNode(stream, u"Secondary", secondary_);
}
