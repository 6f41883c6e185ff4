// The free Serial::Do functions: one field per primitive value, wide string
// and variant, and the container form for lists of wide strings.
//
// Each one writes its field(s) when the stream is writing and returns true;
// when reading, it takes the next field and returns false if there is none or
// if its length is not the value's width (odd for a wide string), leaving
// the value unchanged.
//
// Widths on the wire are fixed whatever the platform: `unsigned long` is 4
// bytes (as written by the 32-bit code that made the format); use
// `unsigned long long` for a 64-bit value.
#pragma once

#include <concepts>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "locmodel/serial/serial_stream.h"
#include "locmodel/util/win_types.h"

namespace Serial {

bool Do(ISerialStream& stream, bool& value);
bool Do(ISerialStream& stream, char& value);
bool Do(ISerialStream& stream, unsigned char& value);
bool Do(ISerialStream& stream, short& value);
bool Do(ISerialStream& stream, unsigned short& value);
bool Do(ISerialStream& stream, int& value);
bool Do(ISerialStream& stream, unsigned int& value);
bool Do(ISerialStream& stream, unsigned long& value);
bool Do(ISerialStream& stream, float& value);
bool Do(ISerialStream& stream, double& value);
bool Do(ISerialStream& stream, unsigned long long& value);
bool Do(ISerialStream& stream, RECT& value);
// UTF-16 code units, no terminator, no count: the field length gives it.
bool Do(ISerialStream& stream, std::u16string& value);
// A signed 32-bit count field, then one anonymous node per element holding
// its string field. Reading replaces the content.
bool Do(ISerialStream& stream, std::vector<std::u16string>& value);
bool Do(ISerialStream& stream, std::set<std::u16string>& value);
// Raw bytes in one field (the field length gives the count).
bool Do(ISerialStream& stream, std::vector<unsigned char>& value);
// Integers in the container form: count field, one node per element.
bool Do(ISerialStream& stream, std::vector<int>& value);
bool Do(ISerialStream& stream, std::set<int>& value);
// Each entry a node holding a (key node, value node) pair.
bool Do(ISerialStream& stream, std::map<int, std::u16string>& value);
// The 16 raw bytes, then for a text variant a wide-string field. A type that
// cannot be stored makes it return false (after its 16 bytes when writing).
bool Do(ISerialStream& stream, VARIANT& value);

namespace detail {
// The values that travel as one field of their own bytes, and the others
// written as one field.
template <typename T>
concept RawField = std::same_as<T, char> || std::same_as<T, unsigned char> || std::same_as<T, short> ||
                   std::same_as<T, unsigned short> || std::same_as<T, int> || std::same_as<T, unsigned int> ||
                   std::same_as<T, float> || std::same_as<T, double> ||
                   std::same_as<T, unsigned long long> || std::same_as<T, RECT>;
template <typename T>
concept OneField = RawField<T> || std::same_as<T, bool> || std::same_as<T, unsigned long> ||
                   std::same_as<T, std::u16string> || std::same_as<T, std::vector<unsigned char>>;

// The field a value is written as: the functions above and the direct path
// below both write through here.
template <OneField T, typename S>
void WriteField(S& stream, const T& value) {
  if constexpr (std::same_as<T, bool>) {
    const unsigned char byte = value ? 1 : 0;
    stream.WriteField(1, &byte);
  } else if constexpr (std::same_as<T, unsigned long>) {
    const uint32_t wire = static_cast<uint32_t>(value);
    stream.WriteField(sizeof wire, &wire);
  } else if constexpr (RawField<T>) {
    stream.WriteField(sizeof(T), &value);
  } else {  // code units or bytes, as many as there are
    stream.WriteField(static_cast<unsigned int>(value.size() * sizeof(value[0])), value.data());
  }
}
}  // namespace detail

// A node name as a value: its type as a one-byte field, then the text or
// the byte as a field (NodeName::Do).
template <typename S>
void WriteName(S& stream, const NodeName& name) {
  detail::WriteField(stream, static_cast<unsigned char>(name.GetType()));
  if (name.GetType() == NodeName::String) detail::WriteField(stream, name.GetStrValue());
  if (name.GetType() == NodeName::Byte) detail::WriteField(stream, name.GetByteValue());
}

// A one-field value written to a DirectWriter, with the stream's calls bound.
template <DirectWriter S, detail::OneField T>
bool Do(S& stream, T& value) {
  detail::WriteField(stream, value);
  return true;
}

}  // namespace Serial
