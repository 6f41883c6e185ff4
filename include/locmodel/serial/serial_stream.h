// The bidirectional serial stream that every persistent class is written to
// and read from through one member, `bool Do(Serial::ISerialStream&)`.
//
// Serialized data is a tree: a node has a name and holds fields (untyped runs
// of bytes) and child nodes. A Do function writes its members as fields of
// the current node, or each inside a named child node, or as anonymous child
// nodes (containers), and reads them back by making the same calls.
//
// The Do convention: true on success, false when reading found a field
// missing or malformed. A member in a child node is entered, handled and
// left only when EnterNode succeeds, so that a reader that finds nodes by
// name leaves an absent member alone. Do functions do not call EnterNode
// themselves: they are written with the helpers of strategies.h, one line
// per member, as Serial::DoNode(s, u"Title", Title).
#pragma once

#include <concepts>
#include <type_traits>

#include "locmodel/serial/node_name.h"
#include "locmodel/serial/version_info.h"

namespace Serial {

namespace Exceptions {
// The one exception of the framework, thrown by value (without a message) by
// the binary readers when the bytes do not hold what the reader expects.
class FormatIO {};
}  // namespace Exceptions

class ISerialStream {
 public:
  virtual ~ISerialStream() = default;

  // Opens a child node of the current node and makes it current.
  virtual bool EnterNode(const NodeName& name) = 0;
  // Closes the current node; its parent becomes current.
  virtual void LeaveNode() = 0;
  // True when the stream reads into the objects, false when it writes them.
  virtual bool IsReading() const = 0;
  // The next field of the current node and, in `size`, its byte count; null
  // when there is none. The bytes stay valid until the next ReadField.
  virtual const void* ReadField(unsigned int& size) = 0;
  // Appends a field of `size` bytes to the current node.
  virtual void WriteField(unsigned int size, const void* data) = 0;
  // The version recorded with the data.
  virtual VersionInfo GetSchemeVersion() = 0;
};

// A stream class that only writes and that no class derives from. Do code
// handed one by its own type, rather than as an ISerialStream, compiles with
// every call of the stream bound and inlined: the serialization helpers
// (strategies.h) pass the type on from member to member.
template <typename S>
concept DirectWriter = std::derived_from<S, ISerialStream> && std::is_final_v<S> && S::kDirectWriter;

}  // namespace Serial
