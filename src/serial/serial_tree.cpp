#include "locmodel/serial/serial_tree.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "locmodel/serial/binary_scanner.h"

namespace Serial {

// ---------------------------------------------------------------- fields

SerialTreeField::SerialTreeField(SerialTreeField&& other) noexcept
    : size_(std::exchange(other.size_, 0)) {
  std::memcpy(bytes_, other.bytes_, kInline);
}

SerialTreeField& SerialTreeField::operator=(SerialTreeField&& other) noexcept {
  if (this != &other) {
    Release();
    size_ = std::exchange(other.size_, 0);
    std::memcpy(bytes_, other.bytes_, kInline);
  }
  return *this;
}

SerialTreeField& SerialTreeField::operator=(const SerialTreeField& other) {
  if (this != &other) reset(other.getData(), other.size_);
  return *this;
}

const void* SerialTreeField::getData() const {
  if (size_ <= kInline) return bytes_;
  unsigned char* block;
  std::memcpy(&block, bytes_, sizeof block);
  return block;
}

void SerialTreeField::reset(const void* data, uint32_t size) {
  // Copy before releasing: `data` may point into this very field.
  unsigned char* block = nullptr;
  if (size > kInline) {
    block = new unsigned char[size];
    std::memcpy(block, data, size);
  }
  unsigned char inline_copy[kInline];
  if (size && size <= kInline) std::memcpy(inline_copy, data, size);
  Release();
  size_ = size;
  if (block)
    std::memcpy(bytes_, &block, sizeof block);
  else if (size)
    std::memcpy(bytes_, inline_copy, size);
}

void SerialTreeField::Release() {
  if (size_ > kInline) delete[] static_cast<const unsigned char*>(getData());
  size_ = 0;
}

// ---------------------------------------------------------------- nodes

SerialTreeNode::NamedChildren::NamedChildren(const NamedChildren& other)
    : flat_(other.flat_), map_(other.map_ ? std::make_unique<Map>(*other.map_) : nullptr) {}

SerialTreeNode* SerialTreeNode::NamedChildren::Find(const NodeName& name) const {
  if (map_) {
    auto it = map_->find(name);
    return it == map_->end() ? nullptr : it->second.get();
  }
  auto it = std::lower_bound(flat_.begin(), flat_.end(), name,
                             [](const Entry& e, const NodeName& n) { return e.name < n; });
  return it != flat_.end() && it->name == name ? it->node.get() : nullptr;
}

SerialTreeNode& SerialTreeNode::NamedChildren::FindOrAdd(const NodeName& name) {
  if (!map_ && flat_.size() == kFlatLimit) {
    map_ = std::make_unique<Map>();
    for (Entry& e : flat_) map_->emplace_hint(map_->end(), std::move(e.name), std::move(e.node));
    flat_.clear();
  }
  if (map_) {
    Ptr& slot = (*map_)[name];
    if (!slot) slot = std::make_shared<SerialTreeNode>();
    return *slot;
  }
  auto it = std::lower_bound(flat_.begin(), flat_.end(), name,
                             [](const Entry& e, const NodeName& n) { return e.name < n; });
  if (it != flat_.end() && it->name == name) return *it->node;
  return *flat_.emplace_at(it - flat_.begin(), Entry{name, std::make_shared<SerialTreeNode>()}).node;
}

void SerialTreeNode::NamedChildren::TakeAll(std::vector<Ptr>& out) {
  for (Entry& e : flat_) out.push_back(std::move(e.node));
  flat_.clear();
  if (map_) {
    for (auto& entry : *map_) out.push_back(std::move(entry.second));
    map_.reset();
  }
}

SerialTreeNode& SerialTreeNode::AddAnonymous() {
  return *anonymous_.emplace_back(std::make_shared<SerialTreeNode>());
}

void SerialTreeNode::TakeChildren(std::vector<Ptr>& out) {
  for (Ptr& child : anonymous_) out.push_back(std::move(child));
  anonymous_.clear();
  named_.TakeAll(out);
}

// The default destruction of shared children recurses once per level; a
// stream nesting a million nodes would overflow the stack. Instead the
// subtree is flattened into a worklist: a child held only by its parent
// hands its own children over before it dies, so every node is destroyed
// with no children left. A child shared elsewhere just loses one owner.
void SerialTreeNode::Clear() {
  fields_.clear();
  std::vector<Ptr> pending;
  TakeChildren(pending);
  while (!pending.empty()) {
    Ptr node = std::move(pending.back());
    pending.pop_back();
    if (node.use_count() == 1) node->TakeChildren(pending);
  }
}

// ---------------------------------------------------------------- tree

void SerialTree::Reset() {
  // A deep stream leaves a long stack behind; do not keep its memory.
  std::vector<SerialTreeCursor>().swap(cursors_);
  if (!reading_) root_.Clear();
  cursors_.push_back({&root_, 0, 0});
}

void SerialTree::SetReadingMode(bool reading) {
  if (reading == reading_) return;
  reading_ = reading;
  Reset();
}

bool SerialTree::EnterNode(const NodeName& name) {
  if (cursors_.empty()) return false;
  SerialTreeCursor& current = cursors_.back();
  SerialTreeNode* child;
  if (name.GetType() == NodeName::None) {
    if (!reading_) {
      child = &current.node->AddAnonymous();
    } else {
      if (current.nextChild >= current.node->GetAnonymousCount()) return false;
      child = current.node->GetAnonymous(current.nextChild++);
    }
  } else {
    child = reading_ ? current.node->FindNamed(name) : &current.node->FindOrAddNamed(name);
    if (!child) return false;
  }
  cursors_.push_back({child, 0, 0});
  return true;
}

void SerialTree::LeaveNode() {
  if (!cursors_.empty()) cursors_.pop_back();
}

const void* SerialTree::ReadField(unsigned int& size) {
  if (cursors_.empty()) return nullptr;
  SerialTreeCursor& current = cursors_.back();
  if (current.nextField >= current.node->GetFieldCount()) return nullptr;
  const SerialTreeField& field = current.node->GetField(current.nextField++);
  size = field.getSize();
  return field.getData();
}

void SerialTree::WriteField(unsigned int size, const void* data) {
  if (!cursors_.empty()) cursors_.back().node->AddField(data, size);
}

// ---------------------------------------------------------------- loading

namespace Binary {

void BinarySerialTreeIn::Load(IStreamIn& in) {
  SetReadingMode(false);
  Reset();  // already in writing mode: still start from an empty tree
  version_ = UNDEFINED_SCHEME_VERSION;

  // The scanner judges the structure: unknown tags, undecodable names, a
  // leave with no node open and data ending inside a node are Malformed.
  // Because it refuses a leave at depth 0, the root cursor is never popped
  // and EnterNode below cannot fail.
  BinaryScanner scanner(in);
  for (bool more = true; more;) {
    switch (scanner.Next()) {
      case BinaryScanner::Item::Field:
        SerialTree::WriteField(scanner.field_size(), scanner.field_data());
        break;
      case BinaryScanner::Item::EnterNode:
        SerialTree::EnterNode(scanner.name());
        break;
      case BinaryScanner::Item::LeaveNode:
        SerialTree::LeaveNode();
        break;
      case BinaryScanner::Item::End:
        more = false;
        break;
      case BinaryScanner::Item::Malformed:
        throw Exceptions::FormatIO();
    }
  }

  SetReadingMode(true);
  version_.Do(*this);
  static const NodeName root(u"Root");
  if (!SerialTree::EnterNode(root)) throw Exceptions::FormatIO();
}

}  // namespace Binary
}  // namespace Serial
