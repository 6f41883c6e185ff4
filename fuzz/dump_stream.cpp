// The dump-stream command on arbitrary bytes, plain or gzip: a stream is
// either rejected with a reason or printed both ways, never a crash.
#include <sstream>

#include "cli/dump_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto input = locmodel::cli::OpenInput(data, static_cast<uint32_t>(size));
  if (locmodel::cli::CheckStream(*input)) return 0;
  for (bool json : {false, true}) {
    std::ostringstream out;
    input = locmodel::cli::OpenInput(data, static_cast<uint32_t>(size));
    locmodel::cli::PrintStream(*input, json, !json, out);
  }
  return 0;
}
