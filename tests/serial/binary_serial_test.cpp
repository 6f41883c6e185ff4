#include "locmodel/serial/binary_serial.h"

#include <gtest/gtest.h>

#include "locmodel/serial/values.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;
using Serial::NodeName;
using Serial::VersionInfo;
using Serial::Binary::BinarySerialIn;
using Serial::Exceptions::FormatIO;

TEST(BinarySerialOut, EmptyStreamIsTheVersionHeaderAndRoot) {
  const Bytes expected =
      Concat({Node("Major", Field(Int32(9))), Node("Minor", Field(Int32(0))), Node("Build", Field(Int32(8298))),
              Node("SubBuild", Field(Int32(0))), Node("Root", {})});
  EXPECT_EQ(WriteStream([](Serial::ISerialStream&) {}), expected);
  EXPECT_EQ(expected.size(), 110u);

  // A version given explicitly is written as given and reported back.
  const Bytes custom = WriteStream(
      [](Serial::ISerialStream& s) { EXPECT_EQ(s.GetSchemeVersion(), VersionInfo(2, 1, 0, 5)); },
      VersionInfo(2, 1, 0, 5));
  ReadThrough(custom, [](BinarySerialIn& in) {
    EXPECT_EQ(in.GetSchemeVersion(), VersionInfo(2, 1, 0, 5));
  });
}

// Nodes, fields and the values whose width must not follow the platform.
TEST(BinarySerialOut, EachValueIsTaggedAsTheFormatSays) {
  unsigned long ul = 0x01020304;
  RECT rect{1, 2, 3, 4};
  std::vector<std::u16string> list{u"a", u"bc"};
  VARIANT text = VARIANT::FromText(u"hi"), number = VARIANT::FromInt32(-7);
  NodeName name(u"P");
  const std::pair<std::function<void(Serial::ISerialStream&)>, const char*> cases[] = {
      {[](Serial::ISerialStream& s) {
         s.EnterNode(NodeName(static_cast<unsigned char>(7)));
         s.EnterNode(NodeName());
         std::u16string empty;
         Serial::Do(s, empty);
         s.LeaveNode();
         s.LeaveNode();
         s.EnterNode(NodeName(u"Ab"));
         s.LeaveNode();
       }, "18 02 07  18 00  1A 00 00 00 00  19 19  18 01 02 41 00 62 00 19"},
      {[&](Serial::ISerialStream& s) { Serial::Do(s, ul); }, "1A 04 00 00 00 04 03 02 01"},
      {[&](Serial::ISerialStream& s) { Serial::Do(s, rect); },
       "1A 10 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00"},
      // The container form of a list of strings.
      {[&](Serial::ISerialStream& s) { Serial::Do(s, list); },
       "1A 04 00 00 00 02 00 00 00 18 00 1A 02 00 00 00 61 00 19 18 00 1A 04 00 00 00 62 00 63 00 19"},
      // A variant: its raw bytes, then the text of a text variant.
      {[&](Serial::ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, text)); },
       "1A 10 00 00 00  08 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00  1A 04 00 00 00 68 00 69 00"},
      {[&](Serial::ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, number)); },
       "1A 10 00 00 00  03 00 00 00 00 00 00 00 F9 FF FF FF 00 00 00 00"},
      // A node name's own serial form: a type field, then the value.
      {[&](Serial::ISerialStream& s) { name.Do(s); }, "1A 01 00 00 00 01  1A 02 00 00 00 50 00"},
  };
  for (const auto& [write, hex] : cases) EXPECT_EQ(WriteBody(write), Hex(hex)) << hex;
}

TEST(BinarySerialIn, WrongSizedFieldsFailWithoutChangingTheValue) {
  ReadInside(Hex("1A 03 00 00 00 01 02 03  1A 03 00 00 00 61 00 62"), [](BinarySerialIn& s) {
    int value = 42;
    EXPECT_FALSE(Serial::Do(s, value));
    EXPECT_EQ(value, 42);
    std::u16string text = u"keep";
    EXPECT_FALSE(Serial::Do(s, text));
    EXPECT_EQ(text, u"keep");
  });
}

TEST(BinarySerialIn, ThrowsOnEveryStructuralMismatch) {
  using Read = std::function<void(BinarySerialIn&)>;
  const Read nothing = [](BinarySerialIn&) {};
  const Read field = [](BinarySerialIn& s) { unsigned size; s.ReadField(size); };
  const Bytes nodeB = StreamAround(Hex("18 01 01 42 00  1A 00 00 00 00 19"));  // node "B", field
  Bytes longName = Hex("18 01 C9");
  longName.resize(longName.size() + 402, 'a');
  const struct { const char* what; Bytes bytes; Read read; } cases[] = {
      {"empty", {}, nothing},
      {"Minor first", Node("Minor", Field(Int32(0))), nothing},
      {"another name", nodeB, [](BinarySerialIn& s) { s.EnterNode(NodeName(u"A")); }},
      {"a node where a field is asked", nodeB, field},
      {"a field where the leave tag is asked",
       nodeB, [](BinarySerialIn& s) { s.EnterNode(NodeName(u"B")); s.LeaveNode(); }},
      {"one leave past Root", StreamAround({}), [](BinarySerialIn& s) { s.LeaveNode(); s.LeaveNode(); }},
      {"a name of 201 code units", StreamAround(longName),
       [](BinarySerialIn& s) { s.EnterNode(NodeName(std::u16string(201, u'a'))); }},
      {"data ending inside a field", StreamAround(Hex("1A F0 FF FF FF 01 02 03 04 05 06 07 08 09 0A")), field},
  };
  for (const auto& c : cases) EXPECT_THROW(ReadThrough(c.bytes, c.read), FormatIO) << c.what;
  EXPECT_NO_THROW(ReadThrough(nodeB, [](BinarySerialIn& s) {
    s.EnterNode(NodeName(u"B"));
    unsigned size = 99;
    EXPECT_NE(s.ReadField(size), nullptr);  // an empty field still has an address
    EXPECT_EQ(size, 0u);
    s.LeaveNode();
  }));
}

// Fields are handed out in place in the read-ahead: a field must survive
// the refills that the nodes read after it cause, up to the next field.
TEST(BinarySerialIn, AFieldStaysValidUntilTheNextFieldWhateverIsReadBetween) {
  const Bytes first = Hex("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
  constexpr int kNodes = 100000;  // 3 bytes each: several read-ahead chunks
  const Bytes bytes = WriteStream([&](Serial::ISerialStream& s) {
    s.WriteField(static_cast<unsigned>(first.size()), first.data());
    for (int i = 0; i < kNodes; ++i) {
      s.EnterNode(NodeName(static_cast<unsigned char>(i)));
      s.LeaveNode();
    }
    s.WriteField(2, "xy");
  });

  ReadThrough(bytes, [&](BinarySerialIn& s) {
    unsigned size = 0;
    const auto* data = static_cast<const unsigned char*>(s.ReadField(size));
    ASSERT_EQ(size, first.size());
    for (int i = 0; i < kNodes; ++i) {
      s.EnterNode(NodeName(static_cast<unsigned char>(i)));
      s.LeaveNode();
    }
    EXPECT_EQ(Bytes(data, data + size), first);
    const auto* second = static_cast<const unsigned char*>(s.ReadField(size));
    EXPECT_EQ(Bytes(second, second + size), Hex("78 79"));
  });
}

TEST(Variant, ReadsItsRawBytesRefusesWhatItCannotStoreAndComparesByValue) {
  // An unsupported type still writes its 16 bytes, then fails.
  long long eight = 8;
  VARIANT i8 = VARIANT::FromValue(VARIANT::VT_I8, &eight, 8);
  EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { EXPECT_FALSE(Serial::Do(s, i8)); }).size(),
            21u);

  // A text variant read from data keeps its pointer bytes as they stood.
  ReadInside(Hex("1A 10 00 00 00  08 00 00 00 00 00 00 00 DE AD BE EF 00 00 00 00  1A 02 00 00 00 7A 00"),
             [](BinarySerialIn& s) {
    VARIANT v;
    ASSERT_TRUE(Serial::Do(s, v));
    EXPECT_EQ(v.vt(), VARIANT::VT_BSTR);
    EXPECT_EQ(v.text(), u"z");
    EXPECT_EQ(v.raw()[8], 0xDE);
    EXPECT_EQ(v, VARIANT::FromText(u"z"));  // equality looks at the text only
  });
  // Reading a type that cannot be stored (VT_I4 | VT_ARRAY) fails.
  ReadInside(Hex("1A 10 00 00 00  03 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00"), [](BinarySerialIn& s) {
    VARIANT v = VARIANT::FromInt32(1);
    EXPECT_FALSE(Serial::Do(s, v));
    EXPECT_EQ(v, VARIANT::FromInt32(1));
  });

  // Equality follows the value of each type, within the type's width.
  double half = 0.5, negZero = -0.0, zero = 0.0;
  EXPECT_EQ(VARIANT::FromValue(VARIANT::VT_R8, &negZero, 8), VARIANT::FromValue(VARIANT::VT_R8, &zero, 8));
  EXPECT_NE(VARIANT::FromDouble(half), VARIANT::FromValue(VARIANT::VT_DATE, &half, 8));
  const uint32_t wide = 0xFFFF0001, narrow = 1;
  EXPECT_EQ(VARIANT::FromValue(VARIANT::VT_I2, &wide, 4), VARIANT::FromValue(VARIANT::VT_I2, &narrow, 4));
  EXPECT_NE(VARIANT::FromValue(VARIANT::VT_I4, &wide, 4), VARIANT::FromValue(VARIANT::VT_I4, &narrow, 4));
  EXPECT_EQ(VARIANT::FromValue(VARIANT::VT_NULL, &wide, 4), VARIANT::FromValue(VARIANT::VT_NULL, &narrow, 4));
  EXPECT_NE(VARIANT::FromText(u"a"), VARIANT::FromText(u"ab"));
}

TEST(NodeName, ComparesByTypeThenValue) {
  EXPECT_EQ(NodeName(), NodeName());
  EXPECT_NE(NodeName(static_cast<unsigned char>('5')), NodeName(u"5"));
  EXPECT_LT(NodeName(), NodeName(u""));
  EXPECT_LT(NodeName(u"zzz"), NodeName(static_cast<unsigned char>(0)));
  EXPECT_LT(NodeName(u"B"), NodeName(u"a"));  // code-unit order, case-sensitive
  EXPECT_FALSE(NodeName() < NodeName());

  // Read back from its serial form.
  ReadInside(Hex("1A 01 00 00 00 02  1A 01 00 00 00 09"), [](BinarySerialIn& s) {
    NodeName read(u"x");
    ASSERT_TRUE(read.Do(s));
    EXPECT_EQ(read, NodeName(static_cast<unsigned char>(9)));
  });
  ReadInside(Hex("1A 02 00 00 00 01 00"), [](BinarySerialIn& s) {
    NodeName read;
    EXPECT_FALSE(read.Do(s));  // the type field must be one byte
  });
}

TEST(VersionInfo, PrintsParsesAndOrders) {
  EXPECT_EQ(VersionInfo(9, 0, 8298, 0).ToString(), u"9.0.8298");
  EXPECT_EQ(VersionInfo(1, 2, 3, 4).ToString(), u"1.2.3.4");
  EXPECT_EQ(VersionInfo::FromString(u"9.0.8298"), VersionInfo(9, 0, 8298, 0));
  EXPECT_EQ(VersionInfo::FromString(u"5.6"), VersionInfo(5, 6, 0, 0));
  EXPECT_EQ(VersionInfo::FromString(u""), VersionInfo(1, 0, 0, 0));
  EXPECT_EQ(VersionInfo::FromString(u" 3.x.7"), VersionInfo(3, 0, 0, 0));
  EXPECT_EQ(VersionInfo::FromString(u"2. 4.-1"), VersionInfo(2, 4, 0xFFFFFFFF, 0));
  EXPECT_TRUE(VersionInfo(1, 2, 3, 4) < VersionInfo(1, 2, 4, 0));
  EXPECT_FALSE(VersionInfo(2, 0, 0, 0) < VersionInfo(1, 9, 9, 9));
  EXPECT_NE(VersionInfo(1, 2, 3, 4), VersionInfo(1, 2, 3, 5));
}

}  // namespace
