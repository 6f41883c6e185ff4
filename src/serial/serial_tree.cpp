#include "locmodel/serial/serial_tree.h"

#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>

#include "serial/binary_take.h"

namespace Serial {

// ---------------------------------------------------------------- fields

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

// ---------------------------------------------------------------- storage

namespace {

// Elements in fixed chunks: appending never moves one, and a million small
// records cost a few hundred allocations. Ids start at 1.
template <typename T>
class Arena {
 public:
  uint32_t Add() {
    if (size_ == UINT32_MAX) throw std::bad_alloc();
    if (size_ % kChunk == 0) chunks_.push_back(std::make_unique<T[]>(kChunk));
    return ++size_;
  }
  T& operator[](uint32_t id) { return chunks_[(id - 1) >> kShift][(id - 1) & (kChunk - 1)]; }

 private:
  static constexpr uint32_t kShift = 10;
  static constexpr uint32_t kChunk = 1u << kShift;
  std::vector<std::unique_ptr<T[]>> chunks_;
  uint32_t size_ = 0;
};

// Field bytes too long to lie inside their slot, packed into shared blocks:
// one allocation per block rather than one per field. A field longer than a
// quarter of a block gets a block of its own, so a block is never more than
// a quarter empty and the arena holds at most 4/3 of the bytes it was given,
// plus one block.
class ByteArena {
 public:
  const unsigned char* Copy(const void* data, uint32_t size) {
    unsigned char* at;
    if (size > kBlock / 4) {
      at = blocks_.emplace_back(std::make_unique_for_overwrite<unsigned char[]>(size)).get();
    } else {
      if (kBlock - used_ < size) {
        current_ = blocks_.emplace_back(std::make_unique_for_overwrite<unsigned char[]>(kBlock)).get();
        used_ = 0;
      }
      at = current_ + used_;
      used_ += size;
    }
    std::memcpy(at, data, size);
    return at;
  }

 private:
  static constexpr size_t kBlock = 64 * 1024;
  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  unsigned char* current_ = nullptr;
  size_t used_ = kBlock;  // no block to fill yet
};

// A field: up to 4 bytes inline (most of a project file's fields are
// counts, flags and ids), longer ones in the tree's byte arena, found
// through the tree's table of long fields.
struct FieldSlot {
  static constexpr uint32_t kInline = 4;
  uint32_t size = 0;
  uint32_t next = 0;
  unsigned char bytes[kInline] = {};  // the data, or its id in the table of long fields
};

// Appends `id` to the circular list held by its last element `last`.
template <typename Next>
void Append(uint32_t& last, uint32_t id, Next&& next) {
  next(id) = last ? std::exchange(next(last), id) : id;
  last = id;
}

// The element after `id` in the circular list held by `last`, 0 past the end.
template <typename Next>
uint32_t After(uint32_t last, uint32_t id, Next&& next) {
  return id == last ? 0 : next(id);
}

}  // namespace

struct SerialTree::Storage {
  // Named children are found by walking the list up to this many; beyond,
  // through `index`, so a million distinct sibling names stay linear.
  static constexpr uint32_t kListLimit = 16;

  Arena<SerialTreeNode> nodes;
  Arena<FieldSlot> fields;
  ByteArena fieldBytes;
  Arena<const unsigned char*> longFields;
  // Names get ids on first sight, so sibling lists compare integers. The
  // text names are ordered, not hashed: a stream could be made of names
  // that all collide in a fixed hash function.
  std::map<std::u16string, uint32_t, std::less<>> textNames;
  uint32_t byteNames[256] = {};
  uint32_t nameCount = 0;
  // (parent id, name id) -> child id, for parents past kListLimit names.
  std::unordered_map<uint64_t, uint32_t> index;

  Storage() { nodes.Add(); }  // the root

  static uint64_t Key(uint32_t parent, uint32_t name) { return uint64_t{parent} << 32 | name; }
  static uint16_t Bit(uint32_t name) { return static_cast<uint16_t>(1u << (name % 16)); }

  // The name's id; 0 when it has none yet and `add` is false.
  uint32_t NameId(const NodeName& name, bool add) {
    if (name.GetType() == NodeName::Byte) {
      uint32_t& id = byteNames[name.GetByteValue()];
      if (!id && add) id = ++nameCount;
      return id;
    }
    if (!add) {
      auto it = textNames.find(name.GetStrValue());
      return it == textNames.end() ? 0 : it->second;
    }
    auto [it, added] = textNames.try_emplace(name.GetStrValue(), nameCount + 1);
    if (added) ++nameCount;
    return it->second;
  }

  // Starts at `hint` (a child of `parent`, or 0) and leaves there the child
  // after the one found.
  uint32_t FindNamed(uint32_t parent, uint32_t name, uint32_t& hint) {
    const SerialTreeNode& node = nodes[parent];
    if (node.namedCount > kListLimit) {
      auto it = index.find(Key(parent, name));
      return it == index.end() ? 0 : it->second;
    }
    if (!(node.namedMask & Bit(name))) return 0;
    const uint32_t start = hint ? hint : nodes[node.lastChild].next;
    uint32_t child = start;
    do {
      if (nodes[child].name == name) {
        hint = nodes[child].next;
        return child;
      }
      child = nodes[child].next;
    } while (child != start);
    return 0;
  }

  uint32_t AddNamed(uint32_t parent, uint32_t name) {
    const uint32_t child = nodes.Add();
    nodes[child].name = name;
    SerialTreeNode& node = nodes[parent];
    Append(node.lastChild, child, [this](uint32_t id) -> uint32_t& { return nodes[id].next; });
    node.namedMask |= Bit(name);
    if (node.namedCount < UINT16_MAX) ++node.namedCount;
    if (node.namedCount == kListLimit + 1) {
      uint32_t c = child;
      do {
        if (nodes[c].name) index.emplace(Key(parent, nodes[c].name), c);
        c = nodes[c].next;
      } while (c != child);
    } else if (node.namedCount > kListLimit) {
      index.emplace(Key(parent, name), child);
    }
    return child;
  }

  // A child of `parent` by the name of a node met in the stream; a named
  // one merges with its sibling of the same name, as writing does.
  uint32_t AddChild(uint32_t parent, const NodeName& name) {
    if (name.GetType() == NodeName::None) return AddAnonymous(parent);
    const uint32_t id = NameId(name, true);
    uint32_t hint = 0;
    const uint32_t found = FindNamed(parent, id, hint);
    return found ? found : AddNamed(parent, id);
  }

  uint32_t AddAnonymous(uint32_t parent) {
    const uint32_t child = nodes.Add();
    Append(nodes[parent].lastChild, child, [this](uint32_t id) -> uint32_t& { return nodes[id].next; });
    return child;
  }

  uint32_t AddField(uint32_t node, const void* data, uint32_t size) {
    const uint32_t id = fields.Add();
    FieldSlot& field = fields[id];
    field.size = size;
    if (size > FieldSlot::kInline) {
      const uint32_t long_id = longFields.Add();
      longFields[long_id] = fieldBytes.Copy(data, size);
      std::memcpy(field.bytes, &long_id, sizeof long_id);
    } else if (size) {
      std::memcpy(field.bytes, data, size);
    }
    Append(nodes[node].lastField, id, [this](uint32_t f) -> uint32_t& { return fields[f].next; });
    return id;
  }

  // Never null, even for an empty field: readers tell "no field" by null.
  const void* FieldData(const FieldSlot& field) {
    if (field.size <= FieldSlot::kInline) return field.bytes;
    uint32_t long_id;
    std::memcpy(&long_id, field.bytes, sizeof long_id);
    return longFields[long_id];
  }

  uint32_t FirstField(uint32_t node) {
    const uint32_t last = nodes[node].lastField;
    return last ? fields[last].next : 0;
  }
  uint32_t FirstChild(uint32_t node) {
    const uint32_t last = nodes[node].lastChild;
    return last ? nodes[last].next : 0;
  }
  uint32_t NextChild(uint32_t parent, uint32_t child) {
    return After(nodes[parent].lastChild, child, [this](uint32_t id) -> uint32_t& { return nodes[id].next; });
  }
};

// ---------------------------------------------------------------- tree

SerialTree::SerialTree() { Reset(); }
SerialTree::~SerialTree() = default;

void SerialTree::Push(uint32_t node) {
  cursors_.push_back({node, storage_->FirstField(node), storage_->FirstChild(node), 0});
}

void SerialTree::Reset() {
  // A deep stream leaves a long stack behind; do not keep its memory.
  std::vector<SerialTreeCursor>().swap(cursors_);
  if (!reading_) storage_ = std::make_unique<Storage>();
  Push(1);
}

void SerialTree::SetReadingMode(bool reading) {
  if (reading == reading_) return;
  reading_ = reading;
  Reset();
}

bool SerialTree::EnterNode(const NodeName& name) {
  if (cursors_.empty()) return false;
  Storage& s = *storage_;
  SerialTreeCursor& current = cursors_.back();
  uint32_t child;
  if (name.GetType() == NodeName::None) {
    if (!reading_) {
      child = s.AddAnonymous(current.node);
    } else {
      // Named siblings are passed over once per visit of the parent.
      child = current.nextChild;
      while (child && s.nodes[child].name) child = s.NextChild(current.node, child);
      if (!child) {
        current.nextChild = 0;
        return false;
      }
      current.nextChild = s.NextChild(current.node, child);
    }
  } else {
    const uint32_t id = s.NameId(name, !reading_);
    child = id ? s.FindNamed(current.node, id, current.nextNamed) : 0;
    if (!child) {
      if (reading_) return false;
      child = s.AddNamed(current.node, id);
    }
  }
  Push(child);
  return true;
}

void SerialTree::LeaveNode() {
  if (!cursors_.empty()) cursors_.pop_back();
}

const void* SerialTree::ReadField(unsigned int& size) {
  if (cursors_.empty()) return nullptr;
  SerialTreeCursor& current = cursors_.back();
  const uint32_t id = current.nextField;
  if (!id) return nullptr;
  Storage& s = *storage_;
  current.nextField = After(s.nodes[current.node].lastField, id,
                            [&s](uint32_t f) -> uint32_t& { return s.fields[f].next; });
  const FieldSlot& field = s.fields[id];
  size = field.size;
  return s.FieldData(field);
}

void SerialTree::WriteField(unsigned int size, const void* data) {
  if (cursors_.empty()) return;
  SerialTreeCursor& current = cursors_.back();
  const uint32_t id = storage_->AddField(current.node, data, size);
  // A cursor that had read every field now has this one to read.
  if (!current.nextField) current.nextField = id;
}

// ---------------------------------------------------------------- loading

namespace Binary {

using Item = BinaryScanner::Item;

void BinarySerialTreeIn::Begin(IStreamIn& in, const TreeLimits& limits) {
  SetReadingMode(false);
  Reset();  // already in writing mode: still start from an empty tree
  SetReadingMode(true);
  version_ = UNDEFINED_SCHEME_VERSION;
  refusal_ = Refusal::None;
  limits_ = limits;
  cost_ = 0;
  freeNodes_ = 0;
  scanner_ = std::make_unique<BinaryScanner>(in);
  live_ = 1;  // the root
  served_.clear();
  servedText_.clear();
  servedMarks_.assign(1, {});
  duplicate_ = false;
}

void BinarySerialTreeIn::ReadVersionAndRoot() {
  version_.Do(*this);
  if (!EnterNode(RootName())) throw Exceptions::FormatIO();
}

void BinarySerialTreeIn::Load(IStreamIn& in, const TreeLimits& limits) {
  Begin(in, limits);
  Close();  // builds the whole tree: the reading has asked for nothing yet
  Reset();  // the root's cursor, on everything now built
  ReadVersionAndRoot();
}

void BinarySerialTreeIn::Open(IStreamIn& in, const TreeLimits& limits) {
  Begin(in, limits);
  ReadVersionAndRoot();
}

void BinarySerialTreeIn::Close() {
  if (!scanner_) return;
  // What the reading left of the live nodes is never asked for again, but
  // the root's own content still may be.
  while (live_ > 1) {
    cursors_.resize(live_);
    LeaveNode();
  }
  for (Item item = live_ ? Scan() : Item::End; item != Item::End; item = Scan()) Buffer(item);
  live_ = 0;
  scanner_.reset();
  if (duplicate_) throw Exceptions::FormatIO();
}

void BinarySerialTreeIn::Reset() {
  scanner_.reset();
  live_ = 0;
  SerialTree::Reset();
}

bool BinarySerialTreeIn::Served(const NodeName& name, bool add) {
  const bool byte = name.GetType() == NodeName::Byte;
  const std::u16string& text = name.GetStrValue();
  const ServedName key = byte ? ServedName{name.GetByteValue(), ServedName::kByteName}
                              : ServedName{servedText_.size(), static_cast<uint32_t>(text.size())};
  ServedMark& mark = servedMarks_.back();
  const uint64_t bit = uint64_t{1} << ((byte ? key.offset : key.size * 7 + (text.empty() ? 0 : text.back())) % 64);
  // A node asks for a handful of names: a scan beats any index, and the
  // bits of the names seen spare most of the scans.
  for (size_t i = (mark.seen & bit) ? mark.names : served_.size(); i < served_.size(); ++i) {
    const ServedName& entry = served_[i];
    if (entry.size == key.size &&
        (byte ? entry.offset == key.offset : servedText_.compare(entry.offset, entry.size, text) == 0))
      return true;
  }
  if (add) {
    mark.seen |= bit;
    served_.push_back(key);
    if (!byte) servedText_ += text;
  }
  return false;
}

// A named node the stream brings under the innermost live node. Load would
// merge it into its served sibling, which the reading has finished with.
// The refusal waits for Close: thrown here, half-way through an item of
// the stream, it would leave the reader out of step with the stream for
// the Close that judges the rest.
void BinarySerialTreeIn::NoteRepeated(const NodeName& name) {
  if (name.GetType() != NodeName::None && Served(name, false)) duplicate_ = true;
}

// The innermost live node has ended in the stream: what was entered under it
// is no sibling of anything the stream still holds.
void BinarySerialTreeIn::EndLive() {
  --live_;
  served_.resize(servedMarks_.back().names);
  servedText_.resize(servedMarks_.back().text);
  servedMarks_.pop_back();
}

// The next item of the stream. The scanner judges the structure (unknown
// tags, undecodable names, a leave with no node open and data ending inside
// a node are malformed).
Item BinarySerialTreeIn::Scan() {
  const Item item = scanner_->Next();
  if (item == Item::Malformed) throw Exceptions::FormatIO();
  Admit(item);
  return item;
}

// Every node and field is admitted here before it is built or served.
void BinarySerialTreeIn::Admit(Item item) {
  if (item == Item::Field) {
    cost_ += TreeLimits::kFieldCost;
  } else if (item == Item::EnterNode) {
    cost_ += TreeLimits::kNodeCost;
    if (scanner_->depth() > limits_.depth) refusal_ = Refusal::TooDeep;
  }
  if (refusal_ == Refusal::None && cost_ > limits_.bytes) refusal_ = Refusal::TooLarge;
  if (refusal_ != Refusal::None) throw Exceptions::FormatIO();
}

// Builds the node just entered, whole, as a child of `parent`.
uint32_t BinarySerialTreeIn::Build(uint32_t parent) {
  Storage& s = *storage_;
  const uint32_t child = s.AddChild(parent, scanner_->name());
  path_.assign(1, child);
  while (!path_.empty()) {
    switch (Scan()) {
      case Item::Field:
        s.AddField(path_.back(), scanner_->field_data(), scanner_->field_size());
        break;
      case Item::EnterNode:
        path_.push_back(s.AddChild(path_.back(), scanner_->name()));
        break;
      default:  // the scanner ends no stream inside a node
        path_.pop_back();
        break;
    }
  }
  // A deep subtree leaves a long path behind; do not keep its memory.
  if (path_.capacity() > 4096) std::vector<uint32_t>().swap(path_);
  return child;
}

// Keeps an item of the live node under the cursor that the reading passed
// over, for when it is asked for; the node's end makes it an ordinary one.
void BinarySerialTreeIn::Buffer(Item item) {
  SerialTreeCursor& current = cursors_.back();
  switch (item) {
    case Item::Field: {
      const uint32_t id = storage_->AddField(current.node, scanner_->field_data(), scanner_->field_size());
      if (!current.nextField) current.nextField = id;
      break;
    }
    case Item::EnterNode: {
      NoteRepeated(scanner_->name());
      const uint32_t child = Build(current.node);
      if (!current.nextChild) current.nextChild = child;
      break;
    }
    default:
      EndLive();
      break;
  }
}

// Reads past the rest of the live node under the cursor.
void BinarySerialTreeIn::SkipNode() {
  const uint32_t depth = scanner_->depth();
  if (TakeLeave(*scanner_)) {  // the usual case: the reading asked for all of it
    Admit(Item::LeaveNode);
  } else {
    for (Item item = Scan(); item != Item::End; item = Scan()) {
      if (item == Item::LeaveNode && scanner_->depth() < depth) break;
      if (item == Item::EnterNode && scanner_->depth() == depth + 1) NoteRepeated(scanner_->name());
    }
  }
  EndLive();
}

bool BinarySerialTreeIn::EnterNode(const NodeName& name) {
  if (!Live()) return SerialTree::EnterNode(name);
  // What the reading passed over stood earlier in the stream: it comes first.
  Storage& s = *storage_;
  const bool named = name.GetType() != NodeName::None;
  if (s.nodes[cursors_.back().node].lastChild && SerialTree::EnterNode(name)) {
    if (named) Served(name, true);
    return true;
  }
  if (TakeEnter(*scanner_, name)) {
    Admit(Item::EnterNode);
  } else {
    for (;;) {
      const Item item = Scan();
      if (item == Item::EnterNode && scanner_->NameIs(name)) break;
      Buffer(item);
      if (!Live()) return false;
    }
  }
  if (named && Served(name, true)) duplicate_ = true;  // refused by Close
  uint32_t node = freeNodes_;
  if (node) {
    freeNodes_ = s.nodes[node].next;
    s.nodes[node] = {};
  } else {
    node = s.nodes.Add();
  }
  cursors_.push_back({node, 0, 0, 0, true});
  live_ = cursors_.size();
  servedMarks_.push_back({served_.size(), servedText_.size()});
  return true;
}

void BinarySerialTreeIn::LeaveNode() {
  if (cursors_.empty()) return;
  if (Live()) SkipNode();
  const SerialTreeCursor& current = cursors_.back();
  SerialTreeNode& node = storage_->nodes[current.node];
  // A streamed node that kept nothing (the usual case) serves the next one.
  if (current.streamed && !node.lastChild && !node.lastField) {
    node.next = freeNodes_;
    freeNodes_ = current.node;
  }
  SerialTree::LeaveNode();
}

const void* BinarySerialTreeIn::ReadField(unsigned int& size) {
  if (!Live() || cursors_.back().nextField) return SerialTree::ReadField(size);
  uint32_t length = 0;
  if (const unsigned char* data = TakeField(*scanner_, length)) {
    Admit(Item::Field);
    size = length;
    return data;
  }
  for (;;) {
    const Item item = Scan();
    if (item == Item::Field) {
      size = scanner_->field_size();
      return scanner_->field_data();
    }
    Buffer(item);
    if (!Live()) return nullptr;
  }
}

}  // namespace Binary
}  // namespace Serial
