// A property container read through the strict reader from arbitrary bytes
// placed inside "Root": a value or FormatIO, never a crash or a leak.
#include "locmodel/condition/condition_filter.h"
#include "locmodel/config/control_mapping.h"
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/encoding_cfg.h"
#include "locmodel/config/filter.h"
#include "locmodel/config/prj_langs.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/hhp/hhp_info.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/serial/binary_serial.h"
#include "stream_in_root.h"

// The fuzz build links the library statically, which keeps only the objects
// something names: naming these classes keeps their registrations, so that
// the seeds holding their values read.
__attribute__((used)) static const CPropClass* const kClassesDefinedBesideTheirTypes[] = {
    &CConditionFilterCfgProp::classInstance, &CPrjLangsProp::classInstance, &CDBTablesCfgProp::classInstance,
    &CEncodingCfgProp::classInstance,        &CFilterProp::classInstance,   &CXmlNamespacesCfgProp::classInstance,
    &CXPathMappingListProp::classInstance,   &CControlMappingProp::classInstance, &CHhpInfoProp::classInstance,
};

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
