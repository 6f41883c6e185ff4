// An .hhp project read through the strict reader from arbitrary bytes placed
// inside "Root", then written as text and converted by the file writer in
// each encoding it offers: a value, a refusal or FormatIO, never a crash.
#include "locmodel/hhp/hhp_writer.h"
#include "locmodel/serial/binary_serial.h"
#include "stream_in_root.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> stream = StreamInRoot(data, size);
  Serial::MemoryStreamIn in(stream.data(), static_cast<uint32_t>(stream.size()));
  CHhpInfo info;
  try {
    Serial::Binary::BinarySerialIn reader(in);
    info.Do(reader);
  } catch (const Serial::Exceptions::FormatIO&) {
  }
  (void)info.ToString();
  static const locmodel::HhpWriteOptions kEncodings[] = {
      {false, CEncoding(u"utf-8")},     {true, CEncoding(u"utf-8")},      {false, CEncoding(1252)},
      {true, CEncoding::SelectAnsiByLang}, {false, CEncoding(u"shift_jis")}, {false, CEncoding(u"utf-16le")},
  };
  std::string bytes;
  for (const locmodel::HhpWriteOptions& options : kEncodings) (void)locmodel::EncodeHhp(info, options, bytes);
  return 0;
}
