#include "locmodel/items/res_item.h"

#include <algorithm>
#include <cstring>

#include "locmodel/items/item_events.h"
#include "items/read_depth.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/strategies.h"

namespace {

CItemEventServer& Events() { return CItemEventServer::Instance(); }

// Opens and closes an event bracket around a scope.
struct MultiOperation {
  MultiOperation() { Events().OnMultiOperationBegin(); }
  ~MultiOperation() { Events().OnMultiOperationEnd(); }
};

// Items nest through the children node; reading counts how deep it is.
thread_local int readDepth = 0;
thread_local bool readTooDeep = false;
// Set while an item destroys its subtree.
thread_local bool tearingDown = false;

}  // namespace

namespace locmodel::item_reading {
void ResetTooDeep() { readTooDeep = false; }
bool WasTooDeep() { return readTooDeep; }
std::string TooDeepMessage() {
  return "items nest deeper than " + std::to_string(CResItem::kMaxReadDepth) + " levels";
}
}  // namespace locmodel::item_reading

CResItem::CResItem() : CPropContainer(this), cfgProps_(this) {}

CResItem::CResItem(const CResItem& other) : CResItem() { *this = other; }

CResItem& CResItem::operator=(const CResItem& other) {
  MultiOperation bracket;
  SetType(other.type_);
  SetTabNum(other.tabNum_);
  SetState(other.state_);
  SetComment(other.GetComment());
  SetResId(other.resId_);
  SetData(other.data_.get(), other.dataSize_);
  Copy(other);
  cfgProps_.Copy(other.cfgProps_);
  return *this;
}

bool CResItem::operator==(const CResItem& other) const {
  return type_ == other.type_ && tabNum_ == other.tabNum_ && state_ == other.state_ &&
         GetComment() == other.GetComment() && resId_ == other.resId_ && dataSize_ == other.dataSize_ &&
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
const std::u16string& CResItem::GetComment() const {
  static const std::u16string none;
  return comment_ ? *comment_ : none;
}

void CResItem::SetComment(const std::u16string& comment) {
  RaiseChange();
  if (comment.empty())
    comment_.reset();
  else if (comment_)
    *comment_ = comment;
  else
    comment_ = std::make_unique<std::u16string>(comment);
}
void CResItem::SetResId(const std::u16string& resId) { RaiseChange(); resId_ = resId; }
void CResItem::SetTabNum(int tabNum) { RaiseChange(); tabNum_ = tabNum; }
void CResItem::SetState(int state) { RaiseChange(); state_ = state; }
void CResItem::SetReadOnly(bool on) { SetState(on ? state_ | kStateReadOnly : state_ & ~kStateReadOnly); }
void CResItem::SetItemLocked(bool on) { SetState(on ? state_ | kStateLocked : state_ & ~kStateLocked); }
void CResItem::SetParent(CResItem* parent) { RaiseChange(); parent_ = parent; }

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

void CResItem::InsertResItem(size_t pos, CResItem* child) {
  if (!child) return;
  Events().OnResItemAdd(this, child);
  child->SetParent(this);
  children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(pos), child);
}

CResItem* CResItem::RemoveItem(CResItem* child) {
  const auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end() || !child) return nullptr;
  child->SetParent(nullptr);
  Events().OnResItemRemove(this, child);
  children_.erase(std::find(children_.begin(), children_.end(), child));
  return child;
}

void CResItem::ClearResItemList() {
  MultiOperation bracket;
  for (CResItem* child : children_) {
    child->SetParent(nullptr);
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

template <typename S>
bool CResItem::DoData(S& stream) {
  if (!stream.IsReading()) {
    stream.WriteField(dataSize_, data_.get());
    return true;
  }
  unsigned int read = 0;
  const void* field = stream.ReadField(read);
  data_.reset();
  dataSize_ = 0;
  if (field && read > 0) {
    data_.reset(new unsigned char[read]);
    std::memcpy(data_.get(), field, read);
    dataSize_ = read;
  }
  return true;
}

template <typename S>
bool CResItem::DoComment(S& stream) {
  if (!stream.IsReading()) return Serial::Do(stream, const_cast<std::u16string&>(GetComment()));
  std::u16string text;
  if (!Serial::Do(stream, text)) return false;
  if (text.empty())
    comment_.reset();
  else
    comment_ = std::make_unique<std::u16string>(std::move(text));
  return true;
}

template <typename S>
bool CResItem::DoWith(S& stream) {
  const bool reading = stream.IsReading();
  if (reading) {
    // Deeper data is refused before it can exhaust the stack, by a throw: the
    // tree reader would otherwise go on without the item, and the loader is
    // told why.
    if (readDepth >= kMaxReadDepth) {
      readTooDeep = true;
      throw Serial::Exceptions::FormatIO();
    }
    ++readDepth;
  }
  struct Leave {
    bool reading;
    ~Leave() { readDepth -= reading ? 1 : 0; }
  } leave{reading};

  // Named once: every item of a project passes here.
  using Serial::DoNode, Serial::NodeName;
  static const NodeName resId('e'), type('f'), children('g'), translations('h'), comment('i'),
      tabNum('j'), state('k'), data('l'), cfgProps('m');
  // Reading replaces the children and translations, deleting the old ones.
  DoNode(stream, Serial::AnonymousNode(), static_cast<CPropContainer&>(*this));
  DoNode(stream, resId, resId_);
  DoNode(stream, type, type_);
  DoNode(stream, children, children_);
  DoNode(stream, translations, translations_);
  Serial::InNode(stream, comment, [&] { return DoComment(stream); });
  DoNode(stream, tabNum, tabNum_);
  DoNode(stream, state, state_);
  Serial::InNode(stream, data, [&] { return DoData(stream); });
  DoNode(stream, cfgProps, cfgProps_);

  if (reading) {
    // A stored null pointer names no child and no translation: drop it.
    children_.erase(std::remove(children_.begin(), children_.end(), nullptr), children_.end());
    erase_if(translations_, [](const auto& entry) { return entry.second == nullptr; });
    for (CResItem* child : children_) child->SetParent(this);
    for (auto& [key, value] : translations_) value->SetParent(this);
  }
  return true;
}

bool CResItem::Do(Serial::ISerialStream& stream) { return DoWith(stream); }
bool CResItem::Do(Serial::Binary::BinarySerialOut& stream) { return DoWith(stream); }
