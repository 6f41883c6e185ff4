#include "locmodel/items/trans_item.h"

#include "locmodel/items/item_events.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/strategies.h"

CTransItem::CTransItem(const CTransItem& other) : CPropContainer(this), lang_(other.lang_) {
  *this = other;
}

CTransItem& CTransItem::operator=(const CTransItem& other) {
  RaiseChange();
  RaiseChange();
  lang_ = other.lang_;
  RaiseChange();
  status_ = other.status_;
  Copy(other);
  return *this;
}

bool CTransItem::operator==(const CTransItem& other) const {
  return lang_ == other.lang_ && status_ == other.status_ &&
         static_cast<const CPropContainer&>(*this) == other;
}

void CTransItem::RaiseChange() { CItemEventServer::Instance().OnTransItemChange(parent_, this); }

void CTransItem::SetLang(int lang) {
  RaiseChange();
  lang_ = lang;
}

void CTransItem::SetStatus(int status) {
  RaiseChange();
  status_ = status;
}

void CTransItem::SetKey(int key) {
  RaiseChange();
  key_ = key;
}

std::u16string CTransItem::GetStr() const {
  const CProp* text = GetPropW(CPropName::PROP_TRANS_STR);
  return text ? text->GetStr() : std::u16string();
}

void CTransItem::SetStr(const std::u16string& text) {
  SetPropW(CPropName::PROP_TRANS_STR, new CStrProp(text));
}

const unsigned char* CTransItem::GetData() const {
  const CProp* data = GetPropW(CPropName::PROP_TRANS_DATA);
  return data && !data->GetData().empty() ? data->GetData().data() : nullptr;
}

unsigned int CTransItem::GetDataSize() const {
  const CProp* data = GetPropW(CPropName::PROP_TRANS_DATA);
  return data ? static_cast<unsigned int>(data->GetData().size()) : 0;
}

void CTransItem::SetData(const unsigned char* data, unsigned int size) {
  SetPropW(CPropName::PROP_TRANS_DATA, new CBinaryProp(std::vector<unsigned char>(data, data + size)));
}

void CTransItem::AddBinaryBlock(const unsigned char* data, unsigned int size) {
  const auto it = GetPropCont().find(CPropName::PROP_TRANS_DATA);
  if (it != GetPropCont().end()) {
    if (auto* stored = dynamic_cast<CBinaryProp*>(it->second)) {
      stored->AddBinaryBlock(data, size);
      return;
    }
  }
  SetData(data, size);
}

void CTransItem::OnBeforePropChange(const CPropContainer&, const CPropName&, const CProp*,
                                    const CProp*) {
  RaiseChange();
}

template <typename S>
bool CTransItem::DoWith(S& stream) {
  // Named once: every translation of a project passes here.
  static const Serial::NodeName key(u"Key"), lang(u"Lng"), status(u"St");
  Serial::DoNode(stream, Serial::AnonymousNode(), static_cast<CPropContainer&>(*this));
  Serial::DoNode(stream, key, key_);
  Serial::DoNode(stream, lang, lang_);
  Serial::DoNode(stream, status, status_);
  return true;
}

bool CTransItem::Do(Serial::ISerialStream& stream) { return DoWith(stream); }
bool CTransItem::Do(Serial::Binary::BinarySerialOut& stream) { return DoWith(stream); }
