#include "locmodel/serial/serial_tree.h"

#include "locmodel/serial/strategies.h"
#include "support/stream_bytes.h"

namespace {

using Serial::NodeName;
using Serial::Binary::BinarySerialTreeIn;
using namespace testing_support;

void Load(BinarySerialTreeIn& tree, const Bytes& bytes) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
  tree.Load(in);
}

using Serial::DoNode;

const Bytes kEnterRoot = Concat({Hex("18 01 04"), Utf16("Root")}), kLeave{0x19};

TEST(SerialTreeField, HoldsACopyInlineOrInItsOwnBlock) {
  Serial::SerialTreeField field;
  EXPECT_NE(field.getData(), nullptr);  // empty, but still a field
  EXPECT_EQ(field.getSize(), 0u);

  const std::string eight = "12345678", long_text = "a value longer than eight bytes";
  field.reset(eight.data(), 8);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 8), eight);
  field.reset(long_text.data(), static_cast<uint32_t>(long_text.size()));
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), field.getSize()), long_text);
  // From its own bytes, both ways across the inline limit.
  field.reset(static_cast<const char*>(field.getData()) + 2, 5);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 5), "value");
  field.reset(field.getData(), 3);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 3), "val");
  field.reset(long_text.data(), 20);
  field.reset(static_cast<const char*>(field.getData()) + 1, 19);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 19), long_text.substr(1, 19));
}

TEST(SerialTree, FindsNamedNodesInAnyOrderAndSkipsWhatIsNotAsked) {
  int two = 2, one = 1, extra = 99;
  std::u16string text = u"not asked for";
  const Bytes bytes = WriteStream([&](Serial::ISerialStream& s) {
    DoNode(s, NodeName(u"B"), two);
    Serial::Do(s, text);  // a field of Root nobody reads
    Serial::InNode(s, NodeName(u"A"),
                   [&] { return Serial::Do(s, one) && DoNode(s, u"Newer", extra) && Serial::Do(s, extra); });
    Serial::InNode(s, NodeName(u"Empty"), [] { return true; });
  });

  BinarySerialTreeIn tree;
  Load(tree, bytes);
  EXPECT_TRUE(tree.IsReading());
  int a = 0, b = 0, c = 7;
  EXPECT_TRUE(DoNode(tree, NodeName(u"A"), a));
  EXPECT_TRUE(DoNode(tree, NodeName(u"C"), c));  // absent: nothing read
  EXPECT_TRUE(DoNode(tree, NodeName(u"B"), b));
  EXPECT_EQ(std::tuple(a, b, c), std::tuple(1, 2, 7));
  a = 0;  // entering again starts over at the first field
  EXPECT_TRUE(DoNode(tree, NodeName(u"A"), a) && a == 1);

  unsigned size = 5;
  ASSERT_TRUE(tree.EnterNode(NodeName(u"Empty")));
  EXPECT_TRUE(tree.ReadField(size) == nullptr && size == 5u);
  tree.LeaveNode();
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::CURRENT_SCHEME_VERSION);
}

TEST(SerialTree, SameNamedSiblingsMergeIntoOneNode) {
  const Bytes bytes = WriteStream([](Serial::ISerialStream& s) {
    for (int round : {1, 2}) {
      int nested = 10 * round;
      std::u16string element = round == 1 ? u"first" : u"second";
      Serial::InNode(s, NodeName(u"X"), [&] {
        return Serial::Do(s, round) && DoNode(s, NodeName(static_cast<unsigned char>(7)), nested) &&
               DoNode(s, NodeName(), element);
      });
    }
  });

  BinarySerialTreeIn tree;
  Load(tree, bytes);
  ASSERT_TRUE(tree.EnterNode(NodeName(u"X")));
  int first = 0, second = 0, third = 0;
  EXPECT_TRUE(Serial::Do(tree, first) && Serial::Do(tree, second));
  EXPECT_FALSE(Serial::Do(tree, third));
  EXPECT_EQ(std::pair(first, second), std::pair(1, 2));
  ASSERT_TRUE(tree.EnterNode(NodeName(static_cast<unsigned char>(7))));
  EXPECT_TRUE(Serial::Do(tree, first) && Serial::Do(tree, second));
  EXPECT_EQ(std::pair(first, second), std::pair(10, 20));
  tree.LeaveNode();
  for (const std::u16string expected : {u"first", u"second"}) {
    std::u16string element;
    EXPECT_TRUE(DoNode(tree, NodeName(), element) && element == expected);
  }
  EXPECT_FALSE(tree.EnterNode(NodeName()));
}

// Value k of the tuple in the node named by the byte k; `reversed` handles
// the last value first.
template <typename Tuple, size_t... I>
size_t DoEach(Serial::ISerialStream& s, Tuple& values, bool reversed, std::index_sequence<I...>) {
  constexpr size_t n = sizeof...(I);
  auto one = [&](auto k) { return DoNode(s, NodeName(static_cast<unsigned char>(k())), std::get<k()>(values)); };
  size_t ok = 0;  // a comma fold runs in order
  if (reversed)
    ((ok += one([] { return n - 1 - I; })), ...);
  else
    ((ok += one([] { return I; })), ...);
  return ok;
}

// The streaming reader takes the values in order, the tree reader in reverse.
TEST(SerialTree, EitherReaderReadsBackEveryFreeDoValue) {
  const auto written = std::make_tuple(
      true, 'x', short(-12345), static_cast<unsigned short>(54321), -7, 4000000000ul, 1.5f, -2.25,
      0x0123456789ABCDEFull, RECT{1, -2, 3, 4}, std::u16string(u"a\0b", 3), std::u16string(600, u'\u00e9'),
      std::vector<std::u16string>{u"x", u"", u"z"}, std::set<std::u16string>{u"p", u"q"},
      static_cast<unsigned char>(200), 4000000000u);
  using Values = std::remove_const_t<decltype(written)>;
  constexpr auto kIndexes = std::make_index_sequence<std::tuple_size_v<Values>>();
  const Bytes bytes = WriteStream([&](Serial::ISerialStream& s) {
    Values copy = written;
    DoEach(s, copy, false, kIndexes);
  });
  ReadEachWay(bytes, [&](Serial::ISerialStream& s, bool tree) {
    Values read{};
    std::get<12>(read) = {u"stale", u"", u"", u""};  // a list read replaces what it held
    EXPECT_EQ(DoEach(s, read, tree, kIndexes), std::tuple_size_v<Values>);
    EXPECT_EQ(read, written);
  });
  BinarySerialTreeIn tree;
  Load(tree, bytes);

  // A 4-byte field is not a double, nor an odd-sized field a string.
  double d = 0;
  EXPECT_FALSE(DoNode(tree, NodeName(static_cast<unsigned char>(4)), d));
  std::u16string text;
  EXPECT_FALSE(DoNode(tree, NodeName(static_cast<unsigned char>(1)), text));
}

TEST(SerialTree, SchemeVersionComesFromTheVersionNodesThatExist) {
  BinarySerialTreeIn tree;
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::UNDEFINED_SCHEME_VERSION);
  Load(tree, WriteStream([](Serial::ISerialStream&) {}, Serial::VersionInfo(2, 1, 0, 5)));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::VersionInfo(2, 1, 0, 5));

  // Loading again starts from nothing: no version nodes give 1.0.0.0.
  Load(tree, Concat({kEnterRoot, kLeave}));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::UNDEFINED_SCHEME_VERSION);

  Load(tree, Concat({kEnterRoot, kLeave, Node("Minor", Field(Int32(7)))}));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::VersionInfo(1, 7, 0, 0));
  // Nor do the nodes of the first stream survive.
  int kept = 5;
  Load(tree, WriteStream([&](Serial::ISerialStream& s) { DoNode(s, NodeName(u"Old"), kept); }));
  Load(tree, WriteStream([](Serial::ISerialStream&) {}));
  EXPECT_FALSE(tree.EnterNode(NodeName(u"Old")));
}

TEST(SerialTree, MalformedStreamsThrow) {
  const Bytes good = WriteStream([](Serial::ISerialStream& s) {
    int v = 1;
    DoNode(s, NodeName(u"V"), v);
  });
  Bytes cut(good.begin(), good.end() - 1);
  Bytes bad_tag = good;
  bad_tag.insert(bad_tag.end() - 1, 0x1B);
  Bytes long_name{0x18, 0x01, 201};
  long_name.resize(long_name.size() + 2 * 201, 'a');
  // A declared length of almost 4 GB with ten bytes behind it.
  Bytes huge = Concat({kEnterRoot, {0x1A, 0xF0, 0xFF, 0xFF, 0xFF}, Bytes(10, 0)});

  const std::vector<Bytes> cases = {
      {},                                       // empty
      cut,                                      // ends inside "Root"
      bad_tag,                                  // 0x1B where a tag belongs
      Node("Major", Field(Int32(9))),           // no "Root"
      Concat({kEnterRoot, kLeave, kLeave}),     // closes more than it opened
      Concat({kEnterRoot, kLeave, kLeave, kEnterRoot, kLeave}),
      long_name,
      huge,
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    BinarySerialTreeIn tree;
    EXPECT_THROW(Load(tree, cases[i]), Serial::Exceptions::FormatIO) << "case " << i;
  }
}

TEST(SerialTree, CursorOperationsNeverFail) {
  BinarySerialTreeIn tree;
  Load(tree, WriteStream([](Serial::ISerialStream&) {}));
  tree.LeaveNode();  // leaves "Root"
  tree.LeaveNode();  // leaves the top level
  tree.LeaveNode();  // nothing left to leave
  unsigned size = 0;
  EXPECT_FALSE(tree.EnterNode(NodeName(u"Root")));
  EXPECT_FALSE(tree.EnterNode(NodeName()));
  EXPECT_EQ(tree.ReadField(size), nullptr);
  tree.WriteField(4, "abcd");  // dropped
  tree.Reset();
  EXPECT_TRUE(tree.EnterNode(NodeName(u"Root")));
}

TEST(SerialTree, WritingModeBuildsWhatReadingModeServes) {
  BinarySerialTreeIn tree;  // starts in writing mode
  EXPECT_FALSE(tree.IsReading());
  int v = 42;
  std::vector<std::u16string> list{u"p", u"q"};
  DoNode(tree, NodeName(u"V"), v);
  DoNode(tree, NodeName(u"L"), list);
  tree.WriteField(0, nullptr);
  tree.WriteField(4, &v);
  // Fields can be read back while writing, from the first.
  unsigned size = 9;
  EXPECT_TRUE(tree.ReadField(size) && size == 0u);
  EXPECT_TRUE(tree.ReadField(size) && size == 4u);
  EXPECT_EQ(tree.ReadField(size), nullptr);

  tree.SetReadingMode(true);
  int v2 = 0;
  std::vector<std::u16string> list2;
  EXPECT_TRUE(DoNode(tree, NodeName(u"L"), list2));
  EXPECT_TRUE(DoNode(tree, NodeName(u"V"), v2));
  size = 9;
  EXPECT_TRUE(tree.ReadField(size) && size == 0u);  // an empty field is still a field
  EXPECT_EQ(v2, 42);
  EXPECT_EQ(list2, list);
  // Back to writing mode: the content is gone.
  tree.SetReadingMode(false);
  tree.SetReadingMode(true);
  EXPECT_FALSE(tree.EnterNode(NodeName(u"V")));
}

TEST(SerialTree, NamesMatchExactlyOnBothSidesOfTheSiblingIndex) {
  // Past a handful of named children a node is indexed differently; lookups
  // and merges must behave the same on both sides of that limit.
  BinarySerialTreeIn tree;
  for (int round = 0; round < 2; ++round)
    for (int i = 299; i >= 0; --i) DoNode(tree, NodeName(std::u16string(1, char16_t(u'!' + i))), i);
  int byte_five = 5;
  DoNode(tree, NodeName(static_cast<unsigned char>('5')), byte_five);
  DoNode(tree, NodeName(u"a"), byte_five);  // case matters: 'A' is already there
  tree.SetReadingMode(true);
  for (int i = 0; i < 300; ++i) {
    int first = -1, second = -1, third = -1;
    ASSERT_TRUE(tree.EnterNode(NodeName(std::u16string(1, char16_t(u'!' + i)))));
    EXPECT_TRUE(Serial::Do(tree, first) && Serial::Do(tree, second));
    // Only "a" got a third field: the byte name '5' is not the text "5".
    EXPECT_EQ(Serial::Do(tree, third), i == 'a' - '!');
    tree.LeaveNode();
    EXPECT_EQ(std::pair(first, second), std::pair(i, i));
  }
  int read = 0;
  EXPECT_TRUE(DoNode(tree, NodeName(static_cast<unsigned char>('5')), read) && read == 5);
  EXPECT_FALSE(tree.EnterNode(NodeName(static_cast<unsigned char>('6'))));
  EXPECT_FALSE(tree.EnterNode(NodeName(u"Absent")));
}

TEST(SerialTree, MillionLevelsLoadReadAndDestroyWithoutRecursion) {
  constexpr size_t kDepth = 1000000;
  Bytes bytes = kEnterRoot;
  bytes.reserve(bytes.size() + 3 * kDepth + 16);
  for (size_t i = 0; i < kDepth; ++i) bytes.insert(bytes.end(), {0x18, 0x00});
  const Bytes leaf = Field(Int32(3));
  bytes.insert(bytes.end(), leaf.begin(), leaf.end());
  bytes.insert(bytes.end(), kDepth + 1, 0x19);

  auto tree = std::make_unique<BinarySerialTreeIn>();
  Load(*tree, bytes);
  for (size_t i = 0; i < kDepth; ++i) ASSERT_TRUE(tree->EnterNode(NodeName()));
  int deepest = 0;
  EXPECT_TRUE(Serial::Do(*tree, deepest) && deepest == 3);
  tree.reset();  // must not overflow the stack
}

}  // namespace
