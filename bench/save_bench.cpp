// The project save split from where its bytes go: the standard generated
// project encoded into a stream that drops them. Against the file save, the
// difference is the file's own cost; against cereal's save, the encoding's.
#include <benchmark/benchmark.h>

#include "generated_project.h"
#include "locmodel/serial/binary_serial.h"

namespace {

class DiscardOut final : public Serial::IStreamOut {
 public:
  uint32_t write(const void* /*buffer*/, uint32_t count) override {
    bytes += count;
    return count;
  }
  size_t bytes = 0;
};

void BM_SaveEncodeOnly(benchmark::State& state) {
  static const std::unique_ptr<CResItem> root = bench_project::MakeProject();
  size_t bytes = 0;
  for (auto _ : state) {
    DiscardOut out;
    {
      Serial::Binary::BinarySerialOut writer(out);
      root->Do(writer);
    }
    bytes = out.bytes;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_SaveEncodeOnly)->Unit(benchmark::kMillisecond);

}  // namespace
