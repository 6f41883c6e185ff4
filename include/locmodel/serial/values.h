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

}  // namespace Serial
