#include <gtest/gtest.h>

#include "locmodel/serial/strategies.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;
using Serial::NodeName;

// Write is the half of Do that a class name takes: the bytes must be Do's,
// and Do must read them back into the same name.
TEST(NodeName, WriteGivesDosBytesForEveryType) {
  for (const NodeName& name : {NodeName(), NodeName(u"Shape"), NodeName(u""), NodeName(0x7F)}) {
    const Bytes written = WriteBody([&](Serial::ISerialStream& s) { name.Write(s); });
    NodeName copy = name;
    EXPECT_EQ(written, WriteBody([&](Serial::ISerialStream& s) { copy.Do(s); }));
    EXPECT_EQ(copy, name);

    const Bytes all = WriteStream([&](Serial::ISerialStream& s) { name.Write(s); });
    Serial::MemoryStreamIn in(all.data(), static_cast<uint32_t>(all.size()));
    Serial::Binary::BinarySerialIn reader(in);
    NodeName read(u"placeholder");
    ASSERT_TRUE(read.Do(reader));
    EXPECT_EQ(read, name);
  }
}

}  // namespace
