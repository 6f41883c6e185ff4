#include "locmodel/serial/values.h"

#include <cstring>

#include "locmodel/serial/strategies.h"
#include "util/coding.h"

namespace Serial {
namespace {

// Values of one width share one routine: they travel as their raw bytes.
template <size_t Width, typename T>
bool DoRaw(ISerialStream& stream, T& value) {
  static_assert(sizeof(T) == Width);
  if (!stream.IsReading()) {
    stream.WriteField(Width, &value);
    return true;
  }
  unsigned int size = 0;
  const void* data = stream.ReadField(size);
  if (!data || size != Width) return false;
  std::memcpy(&value, data, Width);
  return true;
}

// A type whose width in memory differs from its width on the wire.
template <typename Wire, typename T>
bool DoAs(ISerialStream& stream, T& value) {
  Wire wire = static_cast<Wire>(value);
  if (!DoRaw<sizeof(Wire)>(stream, wire)) return false;
  value = static_cast<T>(wire);
  return true;
}

// The container forms themselves: DoValue would find the functions below.
template <typename C>
bool DoElements(ISerialStream& stream, C& container) {
  return detail::kContainer<C>.Do(stream, container);
}
template <typename M>
bool DoEntries(ISerialStream& stream, M& map) {
  return detail::kMap<M>.Do(stream, map);
}

}  // namespace

bool Do(ISerialStream& s, bool& v) {
  unsigned char byte = v ? 1 : 0;
  if (!DoRaw<1>(s, byte)) return false;
  v = byte != 0;
  return true;
}
bool Do(ISerialStream& s, char& v) { return DoRaw<1>(s, v); }
bool Do(ISerialStream& s, unsigned char& v) { return DoRaw<1>(s, v); }
bool Do(ISerialStream& s, short& v) { return DoRaw<2>(s, v); }
bool Do(ISerialStream& s, unsigned short& v) { return DoRaw<2>(s, v); }
bool Do(ISerialStream& s, int& v) { return DoRaw<4>(s, v); }
bool Do(ISerialStream& s, unsigned int& v) { return DoRaw<4>(s, v); }
bool Do(ISerialStream& s, unsigned long& v) { return DoAs<uint32_t>(s, v); }
bool Do(ISerialStream& s, float& v) { return DoRaw<4>(s, v); }
bool Do(ISerialStream& s, double& v) { return DoRaw<8>(s, v); }
bool Do(ISerialStream& s, unsigned long long& v) { return DoRaw<8>(s, v); }
bool Do(ISerialStream& s, RECT& v) { return DoRaw<16>(s, v); }

bool Do(ISerialStream& stream, std::u16string& value) {
  if (!stream.IsReading()) {
    stream.WriteField(static_cast<unsigned int>(2 * value.size()), value.data());
    return true;
  }
  unsigned int size = 0;
  const void* data = stream.ReadField(size);
  if (!data || size % 2 != 0) return false;
  locmodel::coding::DecodeUtf16(value, static_cast<const unsigned char*>(data), size / 2);
  return true;
}

bool Do(ISerialStream& s, std::vector<std::u16string>& v) { return DoElements(s, v); }
bool Do(ISerialStream& s, std::set<std::u16string>& v) { return DoElements(s, v); }
bool Do(ISerialStream& s, std::vector<int>& v) { return DoElements(s, v); }
bool Do(ISerialStream& s, std::set<int>& v) { return DoElements(s, v); }
bool Do(ISerialStream& s, std::map<int, std::u16string>& v) { return DoEntries(s, v); }

bool Do(ISerialStream& stream, std::vector<unsigned char>& value) {
  if (!stream.IsReading()) {
    stream.WriteField(static_cast<unsigned int>(value.size()), value.data());
    return true;
  }
  unsigned int size = 0;
  const void* data = stream.ReadField(size);
  if (!data) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  value.assign(bytes, bytes + size);
  return true;
}

bool Do(ISerialStream& stream, VARIANT& value) {
  if (!stream.IsReading()) {
    stream.WriteField(VARIANT::kRawSize, value.raw().data());
    if (!value.IsStorable()) return false;
    if (value.vt() != VARIANT::VT_BSTR) return true;
    std::u16string text = value.text();
    return Do(stream, text);
  }
  unsigned int size = 0;
  const void* data = stream.ReadField(size);
  if (!data || size != VARIANT::kRawSize) return false;
  VARIANT::Raw raw;
  std::memcpy(raw.data(), data, VARIANT::kRawSize);
  VARIANT read = VARIANT::FromRaw(raw);
  if (!read.IsStorable()) return false;
  if (read.vt() == VARIANT::VT_BSTR) {
    std::u16string text;
    if (!Do(stream, text)) return false;
    read = VARIANT::FromRaw(raw, std::move(text));
  }
  value = std::move(read);
  return true;
}

}  // namespace Serial
