#include <gtest/gtest.h>

#include "locmodel/serial/binary_serial.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;
using Serial::NodeName;

// Collects what the writer hands over, and in how many writes.
class RecordingOut final : public Serial::IStreamOut {
 public:
  uint32_t write(const void* buffer, uint32_t count) override {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    data.insert(data.end(), bytes, bytes + count);
    ++writes;
    return count;
  }
  Bytes data;
  size_t writes = 0;
};

// Field sizes around the writer's 64 KB block and its headroom for the
// longest item head, each written after a varying run of small items (the
// longest names, small fields, empty fields without an address) so that it
// meets the block's end at many offsets: the bytes must be exactly the
// encoding.
TEST(BinarySerialOut, BlocksOfAnySplitKeepTheBytes) {
  const size_t kBlock = 64 * 1024, kHeadroom = 3 + 2 * Serial::MAX_NODE_NAME_LEN;
  const size_t sizes[] = {kBlock - kHeadroom - 6, kBlock - kHeadroom - 5, kBlock - kHeadroom - 4,
                          kBlock - 5, kBlock - 1, kBlock, kBlock + 8, 3 * kBlock};
  const std::u16string longest(Serial::MAX_NODE_NAME_LEN, u'n');
  Bytes expected;
  RecordingOut out;
  const auto field = [&](Serial::ISerialStream& writer, const Bytes& data) {
    writer.WriteField(static_cast<unsigned>(data.size()), data.empty() ? nullptr : data.data());
    const size_t size = data.size();
    expected.insert(expected.end(), {0x1A, static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                     static_cast<unsigned char>(size >> 16), 0});
    expected.insert(expected.end(), data.begin(), data.end());
  };
  {
    Serial::Binary::BinarySerialOut writer(out);
    for (size_t round = 0; round < 24; ++round) {
      for (size_t k = 0; k < round * 37 % 101; ++k) {
        if (k % 3) {
          field(writer, Bytes(k % 13, static_cast<unsigned char>(k)));
          continue;
        }
        writer.EnterNode(NodeName(longest));
        writer.LeaveNode();
        expected.insert(expected.end(), {0x18, 0x01, 0xC8});
        for (size_t c = 0; c < longest.size(); ++c) expected.insert(expected.end(), {'n', 0});
        expected.push_back(0x19);
      }
      field(writer, Bytes(sizes[round % std::size(sizes)], static_cast<unsigned char>(round)));
    }
  }
  const size_t header = 110 - 1;  // the version nodes and "Root"; a leave tag ends the stream
  ASSERT_GT(out.data.size(), header + expected.size());
  EXPECT_EQ(Bytes(out.data.begin() + header, out.data.end() - 1), expected);
}

// A project is mostly tiny items; they must reach the byte stream in large
// writes, since a write into a file costs a system call whatever its size.
TEST(BinarySerialOut, SmallItemsReachTheByteStreamInLargeWrites) {
  RecordingOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    for (uint32_t i = 0; i < 200'000; ++i) {
      writer.EnterNode(NodeName());
      writer.WriteField(sizeof i, &i);
      writer.LeaveNode();
    }
  }
  ASSERT_EQ(out.data.size(), 110 + 200'000 * 12u);
  EXPECT_LE(out.writes, out.data.size() / (32 * 1024) + 1);
}

}  // namespace
