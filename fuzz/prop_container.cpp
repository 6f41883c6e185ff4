// A property container read through the strict reader from arbitrary bytes
// placed inside "Root": a value or FormatIO, never a crash or a leak.
#include "locmodel/props/prop_container.h"
#include "locmodel/serial/binary_serial.h"
#include "stream_in_root.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> stream = StreamInRoot(data, size);
  Serial::MemoryStreamIn in(stream.data(), static_cast<uint32_t>(stream.size()));
  try {
    Serial::Binary::BinarySerialIn reader(in);
    CPropContainer props;
    props.Do(reader);
    // Whatever was read must write out again.
    Serial::MemoryStreamOut out;
    Serial::Binary::BinarySerialOut writer(out);
    props.Do(writer);
  } catch (const Serial::Exceptions::FormatIO&) {
  }
  return 0;
}
