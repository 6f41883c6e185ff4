// GZFileStreamIn over an arbitrary file: reads end cleanly or report an
// error, and never deliver more than was asked.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "locmodel/serial/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/locmodel-fuzz-gzip-" + std::to_string(getpid());
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  Serial::GZFileStreamIn in(std::u16string(path.begin(), path.end()));
  unsigned char buffer[4096];
  uint64_t total = 0;
  while (uint32_t n = in.read(buffer, sizeof buffer)) {
    if (n > sizeof buffer) __builtin_trap();
    total += n;
    if (total > (64u << 20)) break;  // a decompression bomb: enough is known
  }
  (void)in.HasError();
  return 0;
}
