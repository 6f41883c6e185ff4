// The binary encoding of the serial stream: BinarySerialOut writes it to a
// byte stream, BinarySerialIn reads it back strictly in order.
//
// A complete stream is four version nodes ("Major", "Minor", "Build",
// "SubBuild", one 4-byte field each), then the node "Root" holding whatever
// the caller's Do functions wrote, closed when the writer is destroyed. The
// byte layout is described in doc/binary-format.md.
#pragma once

#include <memory>

#include "locmodel/serial/binary_scanner.h"
#include "locmodel/serial/serial_stream.h"
#include "locmodel/serial/streams.h"

namespace Serial::Binary {

// Writes never fail and short writes of the byte stream go unnoticed; check
// the byte stream (IsOpen) before writing. The byte stream must outlive the
// writer, whose destructor writes the final byte.
class BinarySerialOut final : public ISerialStream {
 public:
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
  void Commit(size_t end);
  // Returns where the item starts.
  unsigned char* WriteFieldHeader(size_t at, unsigned int size);
  // A field that eats into the headroom: the buffer is flushed after it.
  // Out of line, so that WriteField needs no stack frame.
  [[gnu::noinline]] void WriteFieldSlowly(unsigned int size, const void* data);
  // Field data that does not fit in the room left.
  void PutLarge(const void* data, size_t size);
  void Flush();

  // The longest item head: tag, type, length and the longest text name.
  static constexpr size_t kHeadroom = 3 + 2 * MAX_NODE_NAME_LEN;
  // Each flush is one write of the byte stream, and a write into a file costs
  // a system call whatever its size: blocks of 8 KB took about as long in the
  // kernel as all the encoding did.
  static constexpr size_t kBufferSize = 64 * 1024;

  IStreamOut& out_;
  VersionInfo version_;
  size_t used_ = 0;
  std::unique_ptr<unsigned char[]> buffer_;  // kBufferSize bytes
};

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
