#include "locmodel/items/res_item.h"

#include <algorithm>
#include <cstring>

#include "locmodel/items/item_events.h"
#include "items/read_depth.h"
#include "locmodel/serial/strategies.h"

namespace {

CItemEventServer& Events() { return CItemEventServer::Instance(); }

// Opens and closes an event bracket around a scope.
struct MultiOperation {
  MultiOperation() { Events().OnMultiOperationBegin(); }
  ~MultiOperation() { Events().OnMultiOperationEnd(); }
};

// Runs `body` inside the node `name` when the node is there: an absent node
// leaves the member as the constructor made it.
template <typename Body>
void InNode(Serial::ISerialStream& stream, const Serial::NodeName& name, Body body) {
  if (stream.EnterNode(name)) {
    body();
    stream.LeaveNode();
  }
}

Serial::NodeName Byte(char c) { return Serial::NodeName(static_cast<unsigned char>(c)); }

// Items nest through the children node; reading counts how deep it is.
thread_local int readDepth = 0;
thread_local bool readTooDeep = false;
// Set while an item destroys its subtree.
thread_local bool tearingDown = false;

}  // namespace

namespace locmodel::item_reading {
void ResetTooDeep() { readTooDeep = false; }
bool WasTooDeep() { return readTooDeep; }
}  // namespace locmodel::item_reading

CResItem::CResItem() : CPropContainer(this), cfgProps_(this) {}

CResItem::CResItem(const CResItem& other) : CResItem() { *this = other; }

CResItem& CResItem::operator=(const CResItem& other) {
  MultiOperation bracket;
  SetType(other.type_);
  SetTabNum(other.tabNum_);
  SetState(other.state_);
  SetComment(other.comment_);
  SetResId(other.resId_);
  SetData(other.data_.get(), other.dataSize_);
  Copy(other);
  cfgProps_.Copy(other.cfgProps_);
  return *this;
}

bool CResItem::operator==(const CResItem& other) const {
  return type_ == other.type_ && tabNum_ == other.tabNum_ && state_ == other.state_ &&
         comment_ == other.comment_ && resId_ == other.resId_ && dataSize_ == other.dataSize_ &&
         std::equal(data_.get(), data_.get() + dataSize_, other.data_.get()) &&
         cfgProps_ == other.cfgProps_ && static_cast<const CPropContainer&>(*this) == other;
}

CResItem::~CResItem() {
  // A descendant whose deletion an ancestor already announced: the ancestor
  // destroys the whole subtree itself, so only the translations are left.
  if (tearingDown) {
    for (auto& [lang, trans] : translations_) delete trans;
    return;
  }
  MultiOperation bracket;
  Events().OnResItemDelete(this);
  // Every descendant is announced in the order a recursive teardown would
  // reach it (pre-order), then destroyed from a flat list: no depth of tree
  // can exhaust the stack.
  std::vector<CResItem*> subtree;
  std::vector<std::pair<const ResItemList*, size_t>> path{{&children_, 0}};
  while (!path.empty()) {
    auto& [list, next] = path.back();
    if (next == list->size()) {
      path.pop_back();
      continue;
    }
    CResItem* item = (*list)[next++];
    // Only an item whose reading failed half-way holds null children; it
    // is never published, so it is the destructor alone that meets them.
    if (!item) continue;
    Events().OnResItemDelete(item);
    subtree.push_back(item);
    path.emplace_back(&item->children_, 0);
  }
  tearingDown = true;
  for (CResItem* item : subtree) delete item;
  tearingDown = false;
  children_.clear();
  for (auto& [lang, trans] : translations_) delete trans;
  translations_.clear();
  parent_ = nullptr;
}

void CResItem::RaiseChange() { Events().OnResItemChange(this); }

void CResItem::SetType(int type) { RaiseChange(); type_ = type; }
void CResItem::SetComment(const std::u16string& comment) { RaiseChange(); comment_ = comment; }
void CResItem::SetResId(const std::u16string& resId) { RaiseChange(); resId_ = resId; }
void CResItem::SetTabNum(int tabNum) { RaiseChange(); tabNum_ = tabNum; }
void CResItem::SetState(int state) { RaiseChange(); state_ = state; }
void CResItem::SetReadOnly(bool on) { SetState(on ? state_ | kStateReadOnly : state_ & ~kStateReadOnly); }
void CResItem::SetItemLocked(bool on) { SetState(on ? state_ | kStateLocked : state_ & ~kStateLocked); }

void CResItem::SetData(const unsigned char* data, unsigned int size) {
  RaiseChange();
  // Copy before releasing: `data` may be this item's own buffer.
  std::unique_ptr<unsigned char[]> copy;
  if (size) {
    copy.reset(new unsigned char[size]);
    std::memcpy(copy.get(), data, size);
  }
  data_ = std::move(copy);
  dataSize_ = size;
}

void CResItem::AddBinaryBlock(const unsigned char* data, unsigned int size) {
  RaiseChange();
  if (size == 0) return;
  std::unique_ptr<unsigned char[]> joined(new unsigned char[dataSize_ + size]);
  if (dataSize_) std::memcpy(joined.get(), data_.get(), dataSize_);
  std::memcpy(joined.get() + dataSize_, data, size);
  data_ = std::move(joined);
  dataSize_ += size;
}

void CResItem::AddResItem(CResItem* child) {
  if (!child) return;
  Events().OnResItemAdd(this, child);
  Events().OnResItemChange(child);
  child->parent_ = this;
  children_.push_back(child);
}

CResItem* CResItem::RemoveItem(CResItem* child) {
  const auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end() || !child) return nullptr;
  Events().OnResItemChange(child);
  child->parent_ = nullptr;
  Events().OnResItemRemove(this, child);
  children_.erase(std::find(children_.begin(), children_.end(), child));
  return child;
}

void CResItem::ClearResItemList() {
  MultiOperation bracket;
  for (CResItem* child : children_) {
    Events().OnResItemChange(child);
    child->parent_ = nullptr;
    Events().OnResItemRemove(this, child);
  }
  children_.clear();
}

CTransItem* CResItem::GetTranslation(int lang) const {
  const auto it = translations_.find(lang);
  return it == translations_.end() ? nullptr : it->second;
}

void CResItem::AddTransItem(CTransItem* trans) {
  if (!trans) return;
  Events().OnTransItemAdd(this, trans);
  trans->SetParent(this);
  // Replaces the entry: the translation stored before is the caller's now.
  translations_[trans->GetLang()] = trans;
}

CTransItem* CResItem::RemoveTransItem(int lang) {
  const auto it = translations_.find(lang);
  if (it == translations_.end()) return nullptr;
  CTransItem* trans = it->second;
  Events().OnTransItemRemove(this, trans);
  trans->SetParent(nullptr);
  translations_.erase(lang);
  return trans;
}

void CResItem::ChangeTransLang(CTransItem* trans, int newLang) {
  MultiOperation bracket;
  if (!trans) return;
  const auto it = translations_.find(trans->GetLang());
  if (it == translations_.end()) return;
  CTransItem* entry = it->second;
  Events().OnTransItemRemove(this, entry);
  translations_.erase(it);
  trans->SetLang(newLang);
  Events().OnTransItemAdd(this, trans);
  trans->SetParent(this);
  translations_[newLang] = trans;
}

void CResItem::OnBeforePropChange(const CPropContainer&, const CPropName&, const CProp*,
                                  const CProp*) {
  RaiseChange();
}

void CResItem::OnAfterPropChange(const CPropContainer& cont, const CPropName& name,
                                 const CProp* oldValue, const CProp* newValue) {
  if (&cont == &cfgProps_) Events().OnConfigPropChanged(this, name, oldValue, newValue);
}

bool CResItem::Do(Serial::ISerialStream& stream) {
  static const Serial::DefaultSerialStrategy<CResItem> item;
  static const Serial::DefaultMonoFactory<CResItem> itemFactory;
  static const Serial::MonoPtrSerialStrategy<CResItem> itemPointer(item, itemFactory);
  static const Serial::STLContainerSerialStrategy<ResItemList> children(itemPointer);
  static const Serial::DefaultSerialStrategy<int> lang;
  static const Serial::DefaultSerialStrategy<CTransItem> trans;
  static const Serial::DefaultMonoFactory<CTransItem> transFactory;
  static const Serial::MonoPtrSerialStrategy<CTransItem> transPointer(trans, transFactory);
  static const Serial::MapSerialStrategy<TransMap>::EntryStrategy transEntry(lang, transPointer);
  static const Serial::MapSerialStrategy<TransMap> translations(transEntry);

  const bool reading = stream.IsReading();
  if (reading) {
    // Deeper data is refused before it can exhaust the stack: the item stays
    // unread, which a strict reader then finds malformed, and the loader is
    // told.
    if (readDepth >= kMaxReadDepth) {
      readTooDeep = true;
      return false;
    }
    ++readDepth;
  }
  struct Leave {
    bool reading;
    ~Leave() { readDepth -= reading ? 1 : 0; }
  } leave{reading};

  InNode(stream, Serial::NodeName(), [&] { CPropContainer::Do(stream); });
  InNode(stream, Byte('e'), [&] { Serial::Do(stream, resId_); });
  InNode(stream, Byte('f'), [&] { Serial::Do(stream, type_); });
  InNode(stream, Byte('g'), [&] {
    if (reading) {
      for (CResItem* child : children_) delete child;
      children_.clear();
    }
    children.Do(stream, children_);
  });
  InNode(stream, Byte('h'), [&] {
    if (reading) {
      for (auto& [key, value] : translations_) delete value;
      translations_.clear();
    }
    translations.Do(stream, translations_);
  });
  InNode(stream, Byte('i'), [&] { Serial::Do(stream, comment_); });
  InNode(stream, Byte('j'), [&] { Serial::Do(stream, tabNum_); });
  InNode(stream, Byte('k'), [&] { Serial::Do(stream, state_); });
  InNode(stream, Byte('l'), [&] {
    if (!reading) {
      stream.WriteField(dataSize_, data_.get());
      return;
    }
    unsigned int size = 0;
    const void* bytes = stream.ReadField(size);
    data_.reset();
    dataSize_ = 0;
    if (bytes && size > 0) {
      data_.reset(new unsigned char[size]);
      std::memcpy(data_.get(), bytes, size);
      dataSize_ = size;
    }
  });
  InNode(stream, Byte('m'), [&] { cfgProps_.Do(stream); });

  if (reading) {
    // A stored null pointer names no child and no translation: drop it.
    children_.erase(std::remove(children_.begin(), children_.end(), nullptr), children_.end());
    std::erase_if(translations_, [](const auto& entry) { return entry.second == nullptr; });
    for (CResItem* child : children_) {
      Events().OnResItemChange(child);
      child->parent_ = this;
    }
    for (auto& [key, value] : translations_) value->SetParent(this);
  }
  return true;
}
