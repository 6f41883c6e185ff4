// A declared length is never trusted for allocation: these tests watch the
// largest single allocation while hostile streams are read.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "locmodel/serial/binary_serial.h"
#include "support/stream_bytes.h"

namespace {
std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largest{0};
}  // namespace

void* operator new(size_t size) {
  if (g_watching && size > g_largest) g_largest = size;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// GCC cannot see that these replace the global pair and warns about free().
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using namespace testing_support;

size_t LargestAllocationWhile(const std::function<void()>& body) {
  g_largest = 0;
  g_watching = true;
  body();
  g_watching = false;
  return g_largest;
}

TEST(BoundedAllocation, AHugeDeclaredFieldLengthCostsOnlyTheBytesThatArrive) {
  const Bytes hostile = StreamAround(Hex("1A F0 FF FF FF 01 02 03 04 05 06 07 08 09 0A"));
  const size_t largest = LargestAllocationWhile([&] {
    ReadThrough(hostile, [](Serial::Binary::BinarySerialIn& reader) {
      unsigned size;
      EXPECT_THROW(reader.ReadField(size), Serial::Exceptions::FormatIO);
    });
  });
  EXPECT_LT(largest, 1u << 20);
}

TEST(BoundedAllocation, ALargeFieldThatArrivesIsReadWhole) {
  std::vector<unsigned char> blob(3 << 20);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i * 31);
  const Bytes stream = WriteStream([&](Serial::ISerialStream& s) {
    s.WriteField(static_cast<unsigned>(blob.size()), blob.data());
  });
  ReadThrough(stream, [&](Serial::Binary::BinarySerialIn& reader) {
    unsigned size = 0;
    const auto* data = static_cast<const unsigned char*>(reader.ReadField(size));
    EXPECT_TRUE(size == blob.size() && std::equal(blob.begin(), blob.end(), data));
  });
}

}  // namespace
