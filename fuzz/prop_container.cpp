// A property container read through the strict reader from arbitrary bytes
// placed inside "Root": a value or FormatIO, never a crash or a leak.
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/serial/binary_serial.h"

// The fuzz build links the library statically, which keeps only the objects
// something names: naming these classes keeps their registrations, so that
// the seeds holding their values read.
__attribute__((used)) static const CPropClass* const kConfigClasses[] = {
    &CDBTablesCfgProp::classInstance, &CEncodingCfgProp::classInstance, &CFilterProp::classInstance,
    &CXmlNamespacesCfgProp::classInstance, &CXPathMappingListProp::classInstance,
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<unsigned char> header = [] {
    Serial::MemoryStreamOut out;
    { Serial::Binary::BinarySerialOut writer(out); }
    std::vector<unsigned char> bytes = out.GetData();
    bytes.pop_back();  // keep "Root" open
    return bytes;
  }();
  std::vector<unsigned char> stream(header);
  stream.insert(stream.end(), data, data + size);
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
