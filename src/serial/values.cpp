#include "locmodel/serial/values.h"

#include <cstring>

#include "locmodel/serial/strategies.h"
#include "locmodel/util/coding.h"

namespace Serial {
namespace {

// Values of one width share one reading routine: they travel as their raw
// bytes.
template <typename T>
bool ReadRaw(ISerialStream& stream, T& value) {
  unsigned int size = 0;
  const void* data = stream.ReadField(size);
  if (!data || size != sizeof(T)) return false;
  std::memcpy(&value, data, sizeof(T));
  return true;
}

template <typename T>
bool DoRaw(ISerialStream& stream, T& value) {
  if (stream.IsReading()) return ReadRaw(stream, value);
  detail::WriteField(stream, value);
  return true;
}

// A type whose width in memory differs from its width on the wire.
template <typename Wire, typename T>
bool DoAs(ISerialStream& stream, T& value) {
  if (!stream.IsReading()) {
    detail::WriteField(stream, value);
    return true;
  }
  Wire wire{};
  if (!ReadRaw(stream, wire)) return false;
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

// The widths on the wire, whatever the platform's.
static_assert(sizeof(char) == 1 && sizeof(short) == 2 && sizeof(int) == 4 && sizeof(float) == 4 &&
              sizeof(double) == 8 && sizeof(unsigned long long) == 8 && sizeof(RECT) == 16);

bool Do(ISerialStream& s, bool& v) { return DoAs<unsigned char>(s, v); }
bool Do(ISerialStream& s, char& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, unsigned char& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, short& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, unsigned short& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, int& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, unsigned int& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, unsigned long& v) { return DoAs<uint32_t>(s, v); }
bool Do(ISerialStream& s, float& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, double& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, unsigned long long& v) { return DoRaw(s, v); }
bool Do(ISerialStream& s, RECT& v) { return DoRaw(s, v); }

bool Do(ISerialStream& stream, std::u16string& value) {
  if (!stream.IsReading()) {
    detail::WriteField(stream, value);
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
    detail::WriteField(stream, value);
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
