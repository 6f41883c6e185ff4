// The PE checksum over arbitrary bytes, against a plain word-by-word sum
// with the carry folded at every step.
#include <cstdlib>
#include <vector>

#include "locmodel/util/file_util.h"
#include "locmodel/util/coding.h"

namespace {

uint32_t Reference(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  if (size >= 0x40 && bytes[0] == 'M' && bytes[1] == 'Z') {
    const uint64_t pe = locmodel::coding::DecodeFixed32(&bytes[0x3C]);
    if (pe + 4 <= size && bytes[pe] == 'P' && bytes[pe + 1] == 'E' && bytes[pe + 2] == 0 &&
        bytes[pe + 3] == 0 && pe + 92 <= size)
      for (int i = 0; i < 4; ++i) bytes[pe + 88 + i] = 0;
  }
  uint32_t sum = 0;
  for (size_t i = 0; i < size; i += 2) {
    sum += i + 1 < size ? locmodel::coding::DecodeFixed<uint16_t>(&bytes[i]) : bytes[i];
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return sum + static_cast<uint32_t>(size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (locmodel::PeChecksum(data, size) != Reference(data, size)) std::abort();
  return 0;
}
