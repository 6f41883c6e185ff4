// What the readers of a project file may hold: never more than a fixed
// multiple of the bytes they were given, whatever lengths those bytes claim,
// and nothing once a load has failed half-way.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>

#include "locmodel/items/project_file.h"
#include "support/item_trees.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;

// Small blocks and the large ones the allocator maps on their own.
long long HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Hands out the bytes as MemoryStreamIn does and samples the heap at every
// read: readers ask for bytes throughout a load, so the largest sample is
// the peak to within one read-ahead.
class SamplingIn final : public Serial::IStreamIn {
 public:
  explicit SamplingIn(const Bytes& bytes)
      : in_(bytes.data(), static_cast<uint32_t>(bytes.size())), start_(HeapInUse()) {}
  uint32_t read(void* buffer, uint32_t count) override {
    peak_ = std::max(peak_, HeapInUse() - start_);
    return in_.read(buffer, count);
  }
  long long peak() const { return peak_; }

 private:
  Serial::MemoryStreamIn in_;
  long long start_, peak_ = 0;
};

// The stream holds `repeat` copies of `unit` in "Root".
Bytes Repeated(const Bytes& unit, size_t repeat) {
  Bytes body;
  for (size_t i = 0; i < repeat; ++i) body.insert(body.end(), unit.begin(), unit.end());
  return StreamAround(body);
}

// The multiple of its size that the tree may hold of a stream. The densest
// input opens anonymous nodes without closing them: 2 bytes on the wire, a
// 24-byte node and a 16-byte cursor (with the stack's spare room, 32).
constexpr long long kTreeMultiple = 32;
constexpr long long kSlack = 1 << 20;

TEST(TreeMemory, HostileStreamsHoldAFixedMultipleOfTheirSize) {
  const std::vector<std::pair<const char*, Bytes>> cases = {
      // a field claiming almost 4 GB after 1 MB of bytes
      {"huge field", Concat({StreamAround({}), Hex("1A F0 FF FF FF"), Bytes(1 << 20, 0x55)})},
      {"empty nodes", Repeated(Hex("18 00 19"), 100'000)},
      {"fields of 9 bytes", Repeated(Hex("1A 09 00 00 00 01 02 03 04 05 06 07 08 09"), 50'000)},
      {"nested nodes", Concat({StreamAround({}), Repeated(Hex("18 00"), 100'000)})},
  };
  for (const auto& [name, bytes] : cases) {
    SamplingIn in(bytes);
    Serial::Binary::BinarySerialTreeIn tree;
    try {
      tree.Load(in);
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    EXPECT_LE(in.peak(), kTreeMultiple * static_cast<long long>(bytes.size()) + kSlack) << name;
  }
}

TEST(TreeMemory, ALoadFailingHalfWayReleasesEverythingItBuilt) {
  const Bytes whole = locmodel::SaveProjectToMemory(*MakeTree(7, 4, 4));
  const Bytes half(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2));
  for (auto reader : {locmodel::ProjectReader::Tree, locmodel::ProjectReader::Sequential}) {
    std::unique_ptr<CResItem> root;
    // Failures before measuring make what is made once per process (the
    // error text) and fill malloc's per-thread caches, whose chunks count as
    // in use.
    for (int warmUp = 0; warmUp < 2; ++warmUp)
      EXPECT_FALSE(locmodel::LoadProjectFromMemory(half.data(), half.size(), root, reader).ok());
    // Malloc's own bookkeeping may move by a few hundred bytes (one run in
    // many, with where the system placed the heap); a leak grows with every
    // failed load, by what the load had built.
    const long long before = HeapInUse();
    for (int load = 0; load < 8; ++load)
      EXPECT_FALSE(locmodel::LoadProjectFromMemory(half.data(), half.size(), root, reader).ok());
    EXPECT_EQ(root, nullptr);
    EXPECT_LT(HeapInUse() - before, 1024) << static_cast<int>(reader);
  }
}

}  // namespace
