// The tree reader: loads a whole binary serial stream into memory and serves
// Do functions from it in any order.
//
// BinarySerialIn only reads a stream made by exactly the same sequence of
// calls. Data written by an older or newer version of a class is read here
// instead: a named node is found wherever it stands among its siblings, an
// absent one makes EnterNode return false (so the member it carried keeps
// its default), and nodes and fields nobody asks for are skipped.
//
// SerialTree is the tree as an ISerialStream: filled in writing mode, served
// in reading mode. BinarySerialTreeIn fills it from the binary encoding.
//
// Failure: only BinarySerialTreeIn::Load throws (Exceptions::FormatIO, on
// malformed data); reading operations report absence by false or null.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "locmodel/serial/serial_stream.h"
#include "locmodel/serial/streams.h"
#include "locmodel/util/compact_vector.h"

namespace Serial {

// One field: a copy of its bytes. Up to 8 bytes (every primitive value) live
// inside the field itself; longer values in a heap block the field owns.
class SerialTreeField {
 public:
  SerialTreeField() = default;
  SerialTreeField(const void* data, uint32_t size) { reset(data, size); }
  ~SerialTreeField() { Release(); }
  SerialTreeField(SerialTreeField&& other) noexcept;
  SerialTreeField& operator=(SerialTreeField&& other) noexcept;
  SerialTreeField(const SerialTreeField& other) : SerialTreeField(other.getData(), other.size_) {}
  SerialTreeField& operator=(const SerialTreeField& other);

  // Never null, even for an empty field: readers tell "no field" by null.
  const void* getData() const;
  uint32_t getSize() const { return size_; }
  // Replaces the content with a copy of `size` bytes at `data`.
  void reset(const void* data, uint32_t size);

 private:
  static constexpr uint32_t kInline = 8;
  void Release();

  // 12 bytes in all: a node's fields sit in one array, and most are 4 bytes.
  uint32_t size_ = 0;
  unsigned char bytes_[kInline] = {};  // the data, or the heap block's address
};

// One node: anonymous children in the order they were added, named children
// ordered by NodeName (at most one per name), and fields in the order they
// were added.
//
// Children are shared: copying a node copies its fields but shares its
// subtrees. Destroying a node tears its subtree down with a worklist, never
// by recursion: a stream can nest a million nodes deep.
class SerialTreeNode {
 public:
  using Ptr = std::shared_ptr<SerialTreeNode>;

  SerialTreeNode() = default;
  ~SerialTreeNode() { Clear(); }
  SerialTreeNode(const SerialTreeNode&) = default;
  SerialTreeNode& operator=(const SerialTreeNode&) = delete;

  uint32_t GetFieldCount() const { return static_cast<uint32_t>(fields_.size()); }
  const SerialTreeField& GetField(uint32_t index) const { return fields_[index]; }
  uint32_t GetAnonymousCount() const { return static_cast<uint32_t>(anonymous_.size()); }
  SerialTreeNode* GetAnonymous(uint32_t index) const { return anonymous_[index].get(); }
  // Null when no child has this name.
  SerialTreeNode* FindNamed(const NodeName& name) const { return named_.Find(name); }

  void AddField(const void* data, uint32_t size) { fields_.emplace_back(data, size); }
  SerialTreeNode& AddAnonymous();
  // The child of that name, created empty when there is none. `name` must not
  // be anonymous.
  SerialTreeNode& FindOrAddNamed(const NodeName& name) { return named_.FindOrAdd(name); }

  // Drops fields and children.
  void Clear();

 private:
  // Named children. Nearly every node has a handful, kept as a sorted array;
  // beyond kFlatLimit they move to a map, so that a hostile stream with a
  // million distinct sibling names costs n log n rather than n² moves.
  class NamedChildren {
   public:
    NamedChildren() = default;
    NamedChildren(const NamedChildren& other);
    NamedChildren& operator=(const NamedChildren&) = delete;

    SerialTreeNode* Find(const NodeName& name) const;
    SerialTreeNode& FindOrAdd(const NodeName& name);
    // Moves every child to `out`, leaving the set empty.
    void TakeAll(std::vector<Ptr>& out);

   private:
    static constexpr size_t kFlatLimit = 32;
    struct Entry {
      NodeName name;
      Ptr node;
    };
    using Map = std::map<NodeName, Ptr>;

    locmodel::CompactVector<Entry> flat_;  // sorted; empty once map_ is in use
    std::unique_ptr<Map> map_;
  };

  // Moves the direct children to `out`, leaving this node without children.
  void TakeChildren(std::vector<Ptr>& out);

  locmodel::CompactVector<Ptr> anonymous_;
  NamedChildren named_;
  locmodel::CompactVector<SerialTreeField> fields_;
};

// An entry of the cursor stack: a node being read or written, the index of
// its next field to read and of its next anonymous child to enter.
struct SerialTreeCursor {
  SerialTreeNode* node;
  uint32_t nextField;
  uint32_t nextChild;
};

// Writing mode builds content; reading mode serves it. Every change of mode
// puts the cursor back on the root; the change to writing mode also discards
// the content.
//
// EnterNode of a name that already exists under the current node enters that
// node again, in both modes: reading starts over at its first field and
// child, writing adds to it (two sibling nodes of one name merge into one:
// fields appended, named children merged, anonymous children appended).
// Anonymous nodes are entered in order, each once per visit of the parent.
class SerialTree : public ISerialStream {
 public:
  SerialTree() { Reset(); }
  SerialTree(const SerialTree&) = delete;
  SerialTree& operator=(const SerialTree&) = delete;

  // Puts the cursor on the root; in writing mode the root is emptied first.
  void Reset();
  void SetReadingMode(bool reading);
  bool IsReading() const override { return reading_; }

  // False when the cursor stack is empty (more leaves than enters), and in
  // reading mode when the named node is absent or the anonymous children of
  // the current node are exhausted.
  bool EnterNode(const NodeName& name) override;
  // Does nothing when the stack is empty.
  void LeaveNode() override;
  // The current node's next field, null when none is left. The bytes stay
  // valid while the tree holds its content, not only until the next call.
  const void* ReadField(unsigned int& size) override;
  // Appends a copy of the bytes as a field of the current node.
  void WriteField(unsigned int size, const void* data) override;

  // The whole content, for tools that inspect it rather than read it by name.
  const SerialTreeNode& GetRoot() const { return root_; }

 private:
  std::vector<SerialTreeCursor> cursors_;
  SerialTreeNode root_;
  bool reading_ = false;
};

namespace Binary {

// Loads the binary encoding of BinarySerialOut into a SerialTree. The whole
// stream is held in memory.
class BinarySerialTreeIn final : public SerialTree {
 public:
  BinarySerialTreeIn() = default;

  // Replaces the content by the stream's tree, reads the scheme version from
  // the top-level version nodes (an absent one keeps its part of 1.0.0.0) and
  // leaves the reader inside "Root". Throws Exceptions::FormatIO on malformed
  // data or when there is no top-level "Root"; the object must then not be
  // used again.
  void Load(IStreamIn& in);

  // The version read by the last Load; 1.0.0.0 before any.
  VersionInfo GetSchemeVersion() override { return version_; }

 private:
  VersionInfo version_ = UNDEFINED_SCHEME_VERSION;
};

}  // namespace Binary
}  // namespace Serial
