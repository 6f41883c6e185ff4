// CTransItem: the translation of one resource item into one language: its
// text (property #2), optional binary data (property #1), a status word, a
// database key and any further properties of the host.
//
// A translation is owned by its item's translation map (or by whoever holds
// it detached); its parent link is not owned. Every change is announced to
// the item event server, before it happens, as a change of this translation
// within its parent.
#pragma once

#include <string>

#include "locmodel/props/prop_container.h"

class CResItem;

class CTransItem : public IPropContHandler, public CPropContainer {
 public:
  // The database key of a translation that has no row yet.
  static constexpr int kNoKey = 9999999;

  // A translation read from a stream starts with the no-language value; the
  // data read replaces it.
  CTransItem() : CTransItem(7777) {}
  explicit CTransItem(int lang) : CPropContainer(this), lang_(lang) {}
  // Key and parent are not copied.
  CTransItem(const CTransItem& other);
  CTransItem& operator=(const CTransItem& other);
  // Language, status and properties; key and parent are not compared.
  bool operator==(const CTransItem& other) const;
  ~CTransItem() override = default;

  int GetLang() const { return lang_; }
  // Not while the translation is in a map: CResItem::ChangeTransLang is the way.
  void SetLang(int lang);
  int GetStatus() const { return status_; }
  void SetStatus(int status);
  int GetKey() const { return key_; }
  void SetKey(int key);
  CResItem* GetParent() const { return parent_; }
  // Stores the link only.
  void SetParent(CResItem* parent) { parent_ = parent; }

  // The text; empty when there is none.
  std::u16string GetStr() const;
  void SetStr(const std::u16string& text);
  // The binary data; null and 0 when there is none.
  const unsigned char* GetData() const;
  unsigned int GetDataSize() const;
  void SetData(const unsigned char* data, unsigned int size);
  // Appends to the stored data in place, without an event; the first block
  // is stored as SetData stores it.
  void AddBinaryBlock(const unsigned char* data, unsigned int size);

  // Properties in an anonymous node, then "Key", "Lng" and "St". True. The
  // writer's own overload writes the same with its calls bound.
  bool Do(Serial::ISerialStream& stream);
  bool Do(Serial::Binary::BinarySerialOut& stream);

 protected:
  void OnBeforePropChange(const CPropContainer& cont, const CPropName& name,
                          const CProp* oldValue, const CProp* newValue) override;
  void OnAfterPropChange(const CPropContainer&, const CPropName&, const CProp*,
                         const CProp*) override {}

 private:
  void RaiseChange();
  template <typename S>
  bool DoWith(S& stream);

  int key_ = kNoKey;
  int lang_;
  int status_ = 0;
  CResItem* parent_ = nullptr;
};
