// The memory stream grows its buffer itself: bytes must survive every
// doubling, including those past the size where huge pages are advised.
#include <gtest/gtest.h>

#include <vector>

#include "locmodel/serial/streams.h"

TEST(MemoryStreamGrowth, KeepsEveryByteInOrderAcrossLargeGrowth) {
  Serial::MemoryStreamOut out;
  std::vector<unsigned char> expected;
  // Odd block sizes, one larger than the whole buffer so far, end past 8 MB.
  std::vector<unsigned char> block;
  for (const uint32_t size : {1u, 3u, 70'000u, 65'536u, 5'000'000u, 17u, 4'000'000u}) {
    block.resize(size);
    for (uint32_t i = 0; i < size; ++i) block[i] = static_cast<unsigned char>(expected.size() + i * 31);
    ASSERT_EQ(out.write(block.data(), size), size);
    expected.insert(expected.end(), block.begin(), block.end());
  }
  EXPECT_TRUE(out.GetData() == expected);
  EXPECT_TRUE(out.TakeData() == expected);
  EXPECT_TRUE(out.GetData().empty());
}
