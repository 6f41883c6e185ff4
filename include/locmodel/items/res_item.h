// CResItem: one node of a localization project's tree — a folder, a file, a
// resource — with its own properties (the CPropContainer base), its
// configuration properties (inherited down the tree), raw data, children and
// one translation per language.
//
// Ownership: an item owns its children, its translations and both property
// containers; destroying it destroys its subtree. AddResItem and
// AddTransItem take ownership; RemoveItem, ClearResItemList and
// RemoveTransItem hand it back. The parent link is not owned.
//
// Every change made through these operations is announced to the item event
// server before it happens.
//
// The serialized layout (Do) is described in doc/project-file.md.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "locmodel/items/trans_item.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/util/flat_map.h"

class CResItem : public IPropContHandler, public CPropContainer {
 public:
  using ResItemList = std::vector<CResItem*>;
  using TransMap = locmodel::FlatMap<int, CTransItem*>;

  // State bits the library knows; the others belong to the host.
  static constexpr int kStateReadOnly = 1;
  static constexpr int kStateLocked = 2;

  CResItem();
  // An empty item, then operator=.
  CResItem(const CResItem& other);
  // Copies the item's own content (fields, data, both property containers)
  // and none of its links: children, translations and parent stay as they were.
  CResItem& operator=(const CResItem& other);
  // Fields, data and both containers; children, translations and parent are
  // not compared.
  bool operator==(const CResItem& other) const;
  ~CResItem() override;

  int GetType() const { return type_; }
  void SetType(int type);
  const std::u16string& GetComment() const;
  void SetComment(const std::u16string& comment);
  const std::u16string& GetResId() const { return resId_; }
  void SetResId(const std::u16string& resId);
  int GetTabNum() const { return tabNum_; }
  void SetTabNum(int tabNum);
  int GetState() const { return state_; }
  void SetState(int state);
  bool IsReadOnly() const { return (state_ & kStateReadOnly) != 0; }
  void SetReadOnly(bool readOnly);
  bool IsItemLocked() const { return (state_ & kStateLocked) != 0; }
  void SetItemLocked(bool locked);
  CResItem* GetParent() const { return parent_; }
  // Stores the link only; no children list changes. Like every setter it
  // raises OnResItemChange(this) first.
  void SetParent(CResItem* parent);

  // Null when the item has no data.
  const unsigned char* GetData() const { return data_.get(); }
  unsigned int GetDataSize() const { return dataSize_; }
  // Replaces the data with a copy (size 0 frees it); the item's own data may
  // be passed.
  void SetData(const unsigned char* data, unsigned int size);
  void AddBinaryBlock(const unsigned char* data, unsigned int size);

  CPropContainer& GetCfgProps() { return cfgProps_; }
  const CPropContainer& GetCfgProps() const { return cfgProps_; }

  const ResItemList& GetResItems() const { return children_; }
  // Appends `child` (which must not be in another list); null is ignored.
  void AddResItem(CResItem* child) { InsertResItem(children_.size(), child); }
  // The same at position `pos` (at most the number of children), with the
  // same event.
  void InsertResItem(size_t pos, CResItem* child);
  // Detaches `child` and hands it back; null if it is not a child.
  CResItem* RemoveItem(CResItem* child);
  // Detaches every child without destroying it.
  void ClearResItemList();

  const TransMap& GetTransMap() const { return translations_; }
  bool HasTranslation(int lang) const { return translations_.count(lang) != 0; }
  CTransItem* GetTranslation(int lang) const;
  // Stores `trans` under its language; a translation already stored there
  // leaves the map undestroyed (remove it first). Null is ignored.
  void AddTransItem(CTransItem* trans);
  // Hands the translation back; null if there is none.
  CTransItem* RemoveTransItem(int lang);
  void ChangeTransLang(CTransItem* trans, int newLang);

  // Own properties, resource id, type, children, translations, comment, tab
  // number, state, data and configuration, each in a node of its own (see
  // doc/project-file.md). Always true: reading an item nested deeper than
  // kMaxReadDepth throws Serial::Exceptions::FormatIO, whichever reader runs,
  // and so does a property that cannot be read (CPropContainer::Do). The
  // writer's own overload writes the same with its calls bound: a project
  // save passes there for every item.
  bool Do(Serial::ISerialStream& stream);
  bool Do(Serial::Binary::BinarySerialOut& stream);

  // How many items a path from the root may hold when read: deeper data is
  // refused rather than allowed to exhaust the stack. SaveProject refuses
  // deeper trees, so that it never writes what cannot be read back. Reading takes about
  // 2.7 KB of stack per level in an unoptimized sanitizer build, so 1000
  // levels stay well inside any thread's stack.
  static constexpr int kMaxReadDepth = 1000;

 protected:
  void OnBeforePropChange(const CPropContainer& cont, const CPropName& name,
                          const CProp* oldValue, const CProp* newValue) override;
  void OnAfterPropChange(const CPropContainer& cont, const CPropName& name,
                         const CProp* oldValue, const CProp* newValue) override;

 private:
  void RaiseChange();
  template <typename S>
  bool DoWith(S& stream);
  // The raw data, one field of its bytes; a missing field reads as no data.
  template <typename S>
  bool DoData(S& stream);
  // The comment, one text field.
  template <typename S>
  bool DoComment(S& stream);

  // Pointers and strings first, the four numbers packed last: an item is
  // one of hundreds of thousands.
  std::unique_ptr<std::u16string> comment_;  // most items have none
  std::u16string resId_ = u"@";
  ResItemList children_;
  TransMap translations_;
  CPropContainer cfgProps_;
  std::unique_ptr<unsigned char[]> data_;
  CResItem* parent_ = nullptr;
  int type_ = 0;
  int tabNum_ = 0;
  int state_ = 0;
  unsigned int dataSize_ = 0;
};
