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
//
// Memory: a project file is mostly tiny nodes (3 to 10 bytes on the wire)
// and 4-byte fields, so the tree keeps its nodes and fields in arenas of its
// own and links them by 32-bit ids: a node costs 20 bytes, a field 12, and
// neither costs an allocation. Values longer than 4 bytes are packed into
// shared blocks and cost 8 bytes more. Destroying the tree frees the arenas
// whole, so no depth of nesting makes teardown recurse. Loading holds at
// most 32 times the bytes of the stream (an anonymous node opened, 2 bytes
// on the wire, costs a node and a cursor; a field's bytes are held once,
// whatever length it claims), so a damaged stream cannot make the reader
// grow beyond its own size.
//
// Single pass: a reader that enters every node at most once, in about the
// order it was written (a loader building objects), need not hold the tree
// at all. BinarySerialTreeIn::Open reads the stream as the reading asks for
// it: a node or field met in the order asked for is served from the stream
// itself, and only what the reading passes over on its way (members written
// in another order, a member this version does not know) is built into the
// tree, to be found when asked for. A well-ordered stream then costs a few
// nodes at a time instead of a tree, and the tree never peaks together with
// the objects built from it. What it cannot do is merge two siblings of one
// name once the first has been served: such a stream (BinarySerialOut never
// writes one) is refused rather than read with the second one lost.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "locmodel/serial/binary_scanner.h"
#include "locmodel/serial/serial_stream.h"
#include "locmodel/serial/streams.h"

namespace Serial {

// One field standing alone: a copy of its bytes. Up to 8 bytes (every
// primitive value) live inside the field itself; longer values in a heap
// block the field owns. (The tree itself packs its fields more tightly.)
class SerialTreeField {
 public:
  SerialTreeField() = default;
  ~SerialTreeField() { Release(); }
  SerialTreeField(const SerialTreeField&) = delete;
  SerialTreeField& operator=(const SerialTreeField&) = delete;

  // Never null, even for an empty field: readers tell "no field" by null.
  const void* getData() const;
  uint32_t getSize() const { return size_; }
  // Replaces the content with a copy of `size` bytes at `data`, which may
  // be the field's own bytes.
  void reset(const void* data, uint32_t size);

 private:
  static constexpr uint32_t kInline = 8;
  void Release();

  uint32_t size_ = 0;
  unsigned char bytes_[kInline] = {};  // the data, or the heap block's address
};

// One node as the tree stores it. Ids name nodes and fields in the tree's
// arenas; 0 is "none".
//
// Children (named and anonymous in one list) and fields are circular lists
// through the elements' `next` links, held by their last element: appending
// and finding the first are both one step, and order is that of addition.
// Named children are found by name: the tree gives every distinct NodeName
// an id (equal names, equal ids; anonymous children have 0), siblings
// compare ids, and a node with many named children is indexed by (node,
// name id), so lookups stay cheap whatever the stream.
struct SerialTreeNode {
  uint32_t name = 0;  // the tree's id of the node's name; 0 for anonymous
  uint32_t next = 0;  // the next sibling in the parent's list
  uint32_t lastChild = 0;
  uint32_t lastField = 0;
  uint16_t namedCount = 0;  // saturates: only "more than a few" matters
  uint16_t namedMask = 0;   // bit (name id % 16) of every named child
};

// An entry of the cursor stack: a node being read or written, its next field
// to read, the child from which to look for the next anonymous one to enter
// (0 when none is left), and the child after the named one found last: Do
// functions ask for members in the order they were written, so the next
// lookup starts there.
struct SerialTreeCursor {
  uint32_t node;
  uint32_t nextField;
  uint32_t nextChild;
  uint32_t nextNamed;
  // Entered from the stream in a single pass: the node is the cursor's own,
  // in no parent's list, and holds only what the reading passed over.
  bool streamed = false;
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
  SerialTree();
  ~SerialTree() override;
  SerialTree(const SerialTree&) = delete;
  SerialTree& operator=(const SerialTree&) = delete;

  // Puts the cursor on the root; in writing mode the root is emptied first.
  virtual void Reset();
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

 protected:
  struct Storage;  // arenas, name table, index of nodes with many names

  void Push(uint32_t node);

  std::vector<SerialTreeCursor> cursors_;
  std::unique_ptr<Storage> storage_;  // node 1 is the root
  bool reading_ = false;
};

namespace Binary {

// What Load may build: a small hostile stream (a gzip bomb of empty or
// nested nodes) must not become a tree of gigabytes. `bytes` bounds the
// nodes and fields read, each at its fixed cost (kNodeCost, kFieldCost:
// the 20 and 12 bytes of the tree's records, rounded up for the cursor an
// open node takes and the table entry of a long field; field data are
// bounded by the stream's own limits), `depth` the nesting of nodes;
// neither is checked by default.
struct TreeLimits {
  static constexpr uint64_t kNodeCost = 24, kFieldCost = 16;
  uint64_t bytes = UINT64_MAX;
  uint32_t depth = UINT32_MAX;
};

// Loads the binary encoding of BinarySerialOut into a SerialTree, whole
// (Load) or as the reading asks for it (Open).
class BinarySerialTreeIn final : public SerialTree {
 public:
  enum class Refusal { None, TooLarge, TooDeep };

  BinarySerialTreeIn() = default;

  // Replaces the content by the stream's tree, reads the scheme version from
  // the top-level version nodes (an absent one keeps its part of 1.0.0.0) and
  // leaves the reader inside "Root". Throws Exceptions::FormatIO on malformed
  // data, when there is no top-level "Root", and, before building past them,
  // on streams beyond `limits` (refusal() then tells which); the object must
  // then not be used again.
  void Load(IStreamIn& in, const TreeLimits& limits = {});

  // As Load, for a single pass: reads only as far as "Root" and the rest as
  // the reading asks for it, building only what it passes over. `in` must
  // outlive the reading. A node already read is not served again (entering
  // it again finds nothing); a later sibling of its name, which Load would
  // merge into it, makes Close throw Exceptions::FormatIO.
  // A field served from the stream stays valid until the next call.
  // Every operation may throw as Load does, on the part of the stream it
  // reads; Close reads the rest, so that a damaged end is not missed, and
  // must end a reading that is to be trusted. Reset and SetReadingMode give
  // the rest of the stream up.
  void Open(IStreamIn& in, const TreeLimits& limits = {});
  void Close();
  Refusal refusal() const { return refusal_; }

  // The version read by the last Load; 1.0.0.0 before any.
  VersionInfo GetSchemeVersion() override { return version_; }

  void Reset() override;
  bool EnterNode(const NodeName& name) override;
  void LeaveNode() override;
  const void* ReadField(unsigned int& size) override;

 private:
  void Begin(IStreamIn& in, const TreeLimits& limits);
  void ReadVersionAndRoot();
  BinaryScanner::Item Scan();
  void Admit(BinaryScanner::Item item);
  uint32_t Build(uint32_t parent);
  void Buffer(BinaryScanner::Item item);
  void SkipNode();
  void EndLive();
  // Whether a node of this name was entered under the innermost live node;
  // with `add`, it now was. The stream meeting one again is refused.
  bool Served(const NodeName& name, bool add);
  void NoteRepeated(const NodeName& name);
  // Whether the cursor is on a node the stream is still inside.
  bool Live() const { return live_ != 0 && live_ == cursors_.size(); }

  VersionInfo version_ = UNDEFINED_SCHEME_VERSION;
  Refusal refusal_ = Refusal::None;
  TreeLimits limits_;
  uint64_t cost_ = 0;
  std::unique_ptr<BinaryScanner> scanner_;  // while the stream is being read
  size_t live_ = 0;  // the bottom cursors on nodes the stream is still inside
  uint32_t freeNodes_ = 0;  // streamed nodes left empty, for reuse
  std::vector<uint32_t> path_;  // Build's open nodes
  // The names entered under the live nodes, innermost last; each live node
  // marks where its own, and their texts in `servedText_`, begin.
  // A byte name has no text: `size` kByteName, `offset` the byte.
  struct ServedName {
    static constexpr uint32_t kByteName = UINT32_MAX;
    size_t offset;
    uint32_t size;
  };
  struct ServedMark {
    size_t names = 0, text = 0;
    uint64_t seen = 0;  // a bit per name entered (NameBit): most are new
  };
  std::vector<ServedName> served_;
  std::vector<ServedMark> servedMarks_;  // one per live node
  std::u16string servedText_;
  bool duplicate_ = false;  // such a sibling was met
};

}  // namespace Binary
}  // namespace Serial
