// The tree's packed layout: named and anonymous children share one list,
// short fields lie inside their slot, and what a loaded tree holds stays
// within a fixed multiple of the stream's size whatever the stream claims.
#include <malloc.h>

#include <cstring>
#include <string>

#include "locmodel/serial/serial_tree.h"
#include "locmodel/serial/strategies.h"
#include "support/stream_bytes.h"

namespace {

using Serial::NodeName;
using Serial::Binary::BinarySerialTreeIn;
using namespace testing_support;

Bytes Enter(const char* ascii) { return Concat({{0x18, 0x01, static_cast<unsigned char>(std::strlen(ascii))}, Utf16(ascii)}); }

std::u16string Name(int i) { return u"n" + std::u16string(1, char16_t(u'A' + i)); }

// Under both sides of the sibling index (past 16 names a parent is indexed),
// anonymous children interleaved with named ones are entered in order and
// named ones found in any order; fields of every length read back.
TEST(SerialTreeLayout, MixedChildrenAndFieldsOfEveryLength) {
  for (int named : {3, 40}) {
    BinarySerialTreeIn tree;  // in writing mode until told otherwise
    const std::string text = "0123456789abcdef";  // lengths 0 to 16 cross the inline limit
    for (int i = 0; i < named; ++i) {
      ASSERT_TRUE(tree.EnterNode(NodeName()));
      tree.WriteField(static_cast<unsigned>(i % 17), text.data());
      tree.LeaveNode();
      ASSERT_TRUE(tree.EnterNode(NodeName(Name(i))));
      tree.WriteField(4, &i);
      tree.LeaveNode();
    }
    tree.SetReadingMode(true);
    for (int i = named - 1; i >= 0; --i) {
      ASSERT_TRUE(tree.EnterNode(NodeName(Name(i)))) << named << " " << i;
      unsigned size = 0;
      const void* data = tree.ReadField(size);
      ASSERT_TRUE(data && size == 4);
      EXPECT_EQ(std::memcmp(data, &i, 4), 0);
      tree.LeaveNode();
    }
    for (int i = 0; i < named; ++i) {
      ASSERT_TRUE(tree.EnterNode(NodeName())) << named << " " << i;
      unsigned size = 0;
      const void* data = tree.ReadField(size);
      ASSERT_TRUE(data && size == static_cast<unsigned>(i % 17));
      EXPECT_EQ(std::string(static_cast<const char*>(data), size), text.substr(0, size));
      tree.LeaveNode();
    }
    EXPECT_FALSE(tree.EnterNode(NodeName()));
    EXPECT_FALSE(tree.EnterNode(NodeName(u"absent")));
  }
}

long long HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Streams of about 1 MB built from the costliest items per byte, and one
// whose field claims 4 GB: the tree holds at most 32 times the stream
// (plus its first chunks) after Load, whether Load succeeded or threw.
TEST(SerialTreeLayout, HeldMemoryIsBoundedByTheStreamSize) {
  constexpr size_t kCount = 150000;
  Bytes flat_fields = Enter("Root");
  Bytes nested = Enter("Root");
  Bytes distinct_names = Enter("Root");
  for (size_t i = 0; i < kCount; ++i) {
    flat_fields.insert(flat_fields.end(), {0x1A, 5, 0, 0, 0, 1, 2, 3, 4, 5});
    nested.insert(nested.end(), {0x18, 0x00});
    const unsigned char a = 'A' + i % 64, b = 'A' + i / 64 % 64, c = 'A' + i / 4096;
    distinct_names.insert(distinct_names.end(), {0x18, 0x01, 3, a, 0, b, 0, c, 0, 0x19});
  }
  nested.insert(nested.end(), kCount, 0x19);
  Bytes claim = Concat({Enter("Root"), {0x1A, 0xFF, 0xFF, 0xFF, 0xF0}, Bytes(1 << 20, 7)});

  for (Bytes* stream : {&flat_fields, &nested, &distinct_names, &claim}) {
    if (stream != &claim) stream->push_back(0x19);
    const long long before = HeapInUse();
    BinarySerialTreeIn tree;
    Serial::MemoryStreamIn in(stream->data(), static_cast<uint32_t>(stream->size()));
    try {
      tree.Load(in);
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    EXPECT_LE(HeapInUse() - before, static_cast<long long>(32 * stream->size() + (256 << 10))) << stream->size();
  }
}

}  // namespace
