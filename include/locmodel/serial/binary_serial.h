// The binary encoding of the serial stream: BinarySerialOut writes it to a
// byte stream, BinarySerialIn reads it back strictly in order.
//
// A complete stream is four version nodes ("Major", "Minor", "Build",
// "SubBuild", one 4-byte field each), then the node "Root" holding whatever
// the caller's Do functions wrote, closed when the writer is destroyed. The
// byte layout is described in doc/binary-format.md.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>

#include "locmodel/serial/binary_scanner.h"
#include "locmodel/serial/serial_stream.h"
#include "locmodel/serial/streams.h"
#include "locmodel/util/coding.h"

namespace Serial::Binary {

// Writes never fail and short writes of the byte stream go unnoticed; check
// the byte stream (IsOpen) before writing. The byte stream must outlive the
// writer, whose destructor writes the final byte.
//
// Saving a project is a few hundred thousand nodes and fields per second of
// the user's wait, so the writer's operations are inline, and Do code handed
// the writer by its own type (DirectWriter) binds every call at compile time.
class BinarySerialOut final : public ISerialStream {
 public:
  static constexpr bool kDirectWriter = true;

  // Writes the version (CURRENT_SCHEME_VERSION in place of
  // UNDEFINED_SCHEME_VERSION) and enters "Root".
  explicit BinarySerialOut(IStreamOut& out, VersionInfo version = UNDEFINED_SCHEME_VERSION);
  ~BinarySerialOut() override;
  BinarySerialOut(const BinarySerialOut&) = delete;
  BinarySerialOut& operator=(const BinarySerialOut&) = delete;

  // Text names longer than MAX_NODE_NAME_LEN are cut to that length, which
  // keeps the stream readable; callers are expected not to use them.
  bool EnterNode(const NodeName& name) override;
  void LeaveNode() override;
  bool IsReading() const override { return false; }
  const void* ReadField(unsigned int& size) override;
  void WriteField(unsigned int size, const void* data) override;
  VersionInfo GetSchemeVersion() override { return version_; }

 private:
  // Ends an item at `end` in the buffer, flushing it if less than the
  // headroom is left.
  void Commit(size_t end) {
    used_ = end;
    if (kBufferSize - used_ < kHeadroom) Flush();
  }
  // The tag and the length in front of a field's data, at `item`.
  static void PutFieldHeader(unsigned char* item, unsigned int size) {
    item[0] = kTagField;
    locmodel::coding::EncodeFixed32(item + 1, size);
  }
  // A field that eats into the headroom: the buffer is flushed after it.
  [[gnu::noinline]] void WriteFieldSlowly(unsigned int size, const void* data);
  // Field data that does not fit in the room left.
  void PutLarge(const void* data, size_t size);
  void Flush();

  // The longest item head: tag, type, length and the longest text name.
  static constexpr size_t kHeadroom = 3 + 2 * MAX_NODE_NAME_LEN;
  static_assert(BinaryScanner::kFieldHeaderSize <= kHeadroom);
  // Each flush is one write of the byte stream, and a write into a file costs
  // a system call whatever its size: blocks of 8 KB took about as long in the
  // kernel as all the encoding did.
  static constexpr size_t kBufferSize = 64 * 1024;

  IStreamOut& out_;
  VersionInfo version_;
  size_t used_ = 0;
  std::unique_ptr<unsigned char[]> buffer_;  // kBufferSize bytes
};

// Items are built in the buffer itself: assembling them elsewhere and
// copying them in costs a second pass over every byte. The buffer always
// keeps room for the head of any item, so only field data can overflow it.
//
// Writers take the start in a local and set used_ once, through Commit:
// bytes stored through a char pointer might alias used_, so the compiler
// would otherwise reload it after each store, a chain of store-to-load
// delays running through every item of the stream.
inline bool BinarySerialOut::EnterNode(const NodeName& name) {
  const NodeName::Type type = name.GetType();
  const size_t at = used_;
  unsigned char* item = buffer_.get() + at;
  item[0] = kTagEnter;
  item[1] = static_cast<unsigned char>(type);
  size_t size = 2;
  if (type == NodeName::String) {
    const std::u16string& text = name.GetStrValue();
    const size_t length = std::min<size_t>(text.size(), MAX_NODE_NAME_LEN);
    item[2] = static_cast<unsigned char>(length);
    locmodel::coding::EncodeUtf16(item + 3, text.data(), length);
    size = 3 + 2 * length;
  } else if (type == NodeName::Byte) {
    item[2] = name.GetByteValue();
    size = 3;
  }
  Commit(at + size);
  return true;
}

inline void BinarySerialOut::LeaveNode() {
  const size_t at = used_;
  buffer_[at] = kTagLeave;
  Commit(at + 1);
}

inline void BinarySerialOut::WriteField(unsigned int size, const void* data) {
  const size_t at = used_;
  const size_t data_at = at + BinaryScanner::kFieldHeaderSize;
  if (data_at + size > kBufferSize - kHeadroom) {
    WriteFieldSlowly(size, data);
    return;
  }
  // One load of the buffer's address: a store through it might change it.
  unsigned char* item = buffer_.get() + at;
  PutFieldHeader(item, size);
  used_ = data_at + size;
  // Fields of the primitive widths are copied with a fixed size, which the
  // compiler makes a single move; for them a call of the library's memcpy
  // (which must first sort the size) costs several times the copy itself.
  unsigned char* dst = item + BinaryScanner::kFieldHeaderSize;
  switch (size) {
    case 0: return;  // an empty field may come without an address
    case 1: std::memcpy(dst, data, 1); return;
    case 2: std::memcpy(dst, data, 2); return;
    case 4: std::memcpy(dst, data, 4); return;
    case 8: std::memcpy(dst, data, 8); return;
    default: std::memcpy(dst, data, size);
  }
}

// Every operation must match the writer's calls exactly: a node where a field
// stands, another name, a premature end or malformed bytes throw
// Exceptions::FormatIO (the constructor throws when the version nodes or
// "Root" are not where they belong). EnterNode never returns false.
//
// Reads ahead from the byte stream in blocks: after reading, the byte
// stream's position is past the data consumed.
class BinarySerialIn final : public ISerialStream {
 public:
  explicit BinarySerialIn(IStreamIn& in);
  BinarySerialIn(const BinarySerialIn&) = delete;
  BinarySerialIn& operator=(const BinarySerialIn&) = delete;

  bool EnterNode(const NodeName& name) override;
  void LeaveNode() override;
  bool IsReading() const override { return true; }
  const void* ReadField(unsigned int& size) override;
  void WriteField(unsigned int size, const void* data) override;
  VersionInfo GetSchemeVersion() override { return version_; }

 private:
  // Items split by a refill, and errors, go through the scanner's Next. Out
  // of line, so that the common case needs no stack frame.
  [[gnu::noinline]] bool EnterNodeSlowly(const NodeName& name);
  [[gnu::noinline]] void LeaveNodeSlowly();
  [[gnu::noinline]] const void* ReadFieldSlowly(unsigned int& size);

  BinaryScanner scanner_;  // also holds the field buffer
  VersionInfo version_;
};

}  // namespace Serial::Binary
