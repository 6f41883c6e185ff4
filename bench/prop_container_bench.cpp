// A property container of 1,000,000 entries of mixed classes, written to and
// read back from memory through the binary format.
#include <benchmark/benchmark.h>

#include <memory>

#include "locmodel/config/lang_set.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr int kEntries = 1000000;

std::unique_ptr<CPropContainer> MakeContainer() {
  auto props = std::make_unique<CPropContainer>();
  const std::vector<unsigned char> blob(16, 0xAB);
  for (int i = 0; i < kEntries; ++i) {
    const CPropName name(locmodel::Utf8ToUtf16("Key" + std::to_string(i)));
    switch (i % 5) {
      case 0: props->SetPropW(name, new CStrProp(u"some text value")); break;
      case 1: props->SetPropW(name, new CIntProp(i)); break;
      case 2: props->SetPropW(name, new CBoolProp(i % 2 == 0)); break;
      case 3: props->SetPropW(name, new CBinaryProp(blob)); break;
      default: props->SetPropW(name, new CLangSetProp({0x407, 0x409, 0x40C})); break;
    }
  }
  return props;
}

const std::vector<unsigned char>& WrittenContainer() {
  static const std::vector<unsigned char> bytes = [] {
    auto props = MakeContainer();
    Serial::MemoryStreamOut out;
    {
      Serial::Binary::BinarySerialOut writer(out);
      props->Do(writer);
    }
    return out.GetData();
  }();
  return bytes;
}

void BM_PropContainerWrite(benchmark::State& state) {
  auto props = MakeContainer();
  size_t bytes = 0;
  for (auto _ : state) {
    Serial::MemoryStreamOut out;
    {
      Serial::Binary::BinarySerialOut writer(out);
      props->Do(writer);
    }
    bytes = out.GetData().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_PropContainerWrite)->Unit(benchmark::kMillisecond);

void BM_PropContainerRead(benchmark::State& state) {
  const auto& bytes = WrittenContainer();
  for (auto _ : state) {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Serial::Binary::BinarySerialIn reader(in);
    CPropContainer props;
    props.Do(reader);
    if (props.GetPropCont().size() != kEntries) state.SkipWithError("short read");
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_PropContainerRead)->Unit(benchmark::kMillisecond);

}  // namespace
