// Drives BinarySerialIn with a script of calls taken from the input's head
// over a stream made of the rest: every outcome must be a value or FormatIO.
#include <fuzzer/FuzzedDataProvider.h>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::vector<uint8_t> script = provider.ConsumeBytes<uint8_t>(provider.ConsumeIntegralInRange(0, 64));
  const std::vector<uint8_t> stream = provider.ConsumeRemainingBytes<uint8_t>();
  Serial::MemoryStreamIn in(stream.data(), static_cast<uint32_t>(stream.size()));
  try {
    Serial::Binary::BinarySerialIn reader(in);
    for (uint8_t op : script) {
      switch (op % 8) {
        case 0: reader.EnterNode(Serial::NodeName()); break;
        case 1: reader.EnterNode(Serial::NodeName(static_cast<unsigned char>(op >> 3))); break;
        case 2: reader.EnterNode(Serial::NodeName(u"Props")); break;
        case 3: reader.LeaveNode(); break;
        case 4: { std::u16string s; Serial::Do(reader, s); break; }
        case 5: { std::vector<std::u16string> v; Serial::Do(reader, v); break; }
        case 6: { VARIANT v; Serial::Do(reader, v); break; }
        default: { Serial::NodeName n; n.Do(reader); break; }
      }
    }
  } catch (const Serial::Exceptions::FormatIO&) {
  }
  return 0;
}
