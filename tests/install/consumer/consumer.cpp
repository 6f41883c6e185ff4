// A host program built against the installed package: writes a stream to
// memory and reads it back.
#include <locmodel/serial/binary_serial.h>
#include <locmodel/serial/values.h>

int main() {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    std::u16string text = u"installed";
    Serial::Do(writer, text);
  }
  Serial::MemoryStreamIn in(out.GetData().data(), static_cast<uint32_t>(out.GetData().size()));
  Serial::Binary::BinarySerialIn reader(in);
  std::u16string text;
  return Serial::Do(reader, text) && text == u"installed" ? 0 : 1;
}
