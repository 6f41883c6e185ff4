// A rule store from an arbitrary binary stream: a value or FormatIO, never
// a crash. What reads writes and reads back equal.
#include "locmodel/segm/srx_store.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSRXStore store;
  try {
    Serial::MemoryStreamIn in(data, static_cast<uint32_t>(size));
    Serial::Binary::BinarySerialIn reader(in);
    if (!store.Do(reader)) return 0;
  } catch (const Serial::Exceptions::FormatIO&) {
    return 0;
  }
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out, Serial::UNDEFINED_SCHEME_VERSION);
    store.Do(writer);
  }
  const auto& bytes = out.GetData();
  Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
  Serial::Binary::BinarySerialIn reader(in);
  CSRXStore again;
  if (!again.Do(reader) || !(again == store)) __builtin_trap();
  return 0;
}
