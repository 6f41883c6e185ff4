#include "locmodel/serial/strategies.h"

#include <gtest/gtest.h>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/serial_tree.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;
using namespace Serial;
using Serial::Binary::BinarySerialIn;

// A small polymorphic family registered in a registry of its own.
SerialClassRegistry& TestRegistry() {
  static SerialClassRegistry registry;
  return registry;
}

struct Shape : SerialObject {
  using SerialObject::SerialObject;
  int size = 0;
  bool Do(ISerialStream& s) override { return Serial::Do(s, size); }
  static int alive;
  ~Shape() override { --alive; }
};
int Shape::alive = 0;

template <char16_t Letter>
struct ShapeClass : SerialClass {
  ShapeClass() : SerialClass(NodeName(std::u16string(1, Letter)), TestRegistry()) {}
  SerialObject* Create() override {
    ++Shape::alive;
    return new Shape(*this);
  }
};
ShapeClass<u'P'> classP;
const SerialClassPolyFactoryImpl<Shape> shapeFactory(TestRegistry());
const SerialClassStrategy<Shape> shapeStrategy(shapeFactory);

TEST(Strategies, PolymorphicPointerWritesFlagClassNameAndObject) {
  Shape* shape = static_cast<Shape*>(classP.Create());
  shape->size = 7;
  const Bytes body = WriteBody([&](ISerialStream& s) { EXPECT_TRUE(shapeStrategy.Do(s, shape)); });
  EXPECT_EQ(body, Hex("1A 01 00 00 00 00  1A 01 00 00 00 01  1A 02 00 00 00 50 00"
                      "1A 04 00 00 00 07 00 00 00"));
  delete shape;

  Shape* null = nullptr;
  const Bytes nullBody = WriteBody([&](ISerialStream& s) { EXPECT_TRUE(shapeStrategy.Do(s, null)); });
  EXPECT_EQ(nullBody, Hex("1A 01 00 00 00 01"));
  // Read back: the object, null, and a class name nobody registered.
  const struct { Bytes body; bool ok; int size; } reads[] = {
      {body, true, 7},
      {nullBody, true, -1},
      {Hex("1A 01 00 00 00 00  1A 01 00 00 00 01  1A 02 00 00 00 51 00"), false, -1},
  };
  for (const auto& r : reads) {
    ReadInside(r.body, [&](BinarySerialIn& s) {
      Shape* read = nullptr;
      EXPECT_EQ(shapeStrategy.Do(s, read), r.ok);
      EXPECT_EQ(read ? read->size : -1, r.size);
      delete read;
    });
  }
  EXPECT_EQ(Shape::alive, 0);
}

TEST(Strategies, RegistryKeepsTheFirstTextNameAndTheLastByteName) {
  struct Named : SerialClass {
    Named(const NodeName& name, SerialClassRegistry& r) : SerialClass(name, r) {}
    SerialObject* Create() override { return nullptr; }
  };
  SerialClassRegistry registry;
  Named first(NodeName(u"X"), registry), second(NodeName(u"X"), registry);
  EXPECT_EQ(registry.Find(NodeName(u"X")), &first);
  Named byteA(NodeName(static_cast<unsigned char>(3)), registry);
  Named byteB(NodeName(static_cast<unsigned char>(3)), registry);
  EXPECT_EQ(registry.Find(NodeName(static_cast<unsigned char>(3))), &byteB);
  EXPECT_EQ(registry.Find(NodeName(u"Y")), nullptr);
}

TEST(Strategies, EnumerationTravelsAtItsChosenWidth) {
  enum class Kind : int { A = 1, B = 0x1234 };
  const EnumSerialStrategy<Kind, uint16_t> strategy;
  Kind kind = Kind::B;
  EXPECT_EQ(WriteBody([&](ISerialStream& s) { strategy.Do(s, kind); }), Hex("1A 02 00 00 00 34 12"));
  ReadInside(Hex("1A 04 00 00 00 01 00 00 00"), [&](BinarySerialIn& s) {
    Kind read = Kind::A;
    EXPECT_FALSE(strategy.Do(s, read));
    EXPECT_EQ(read, Kind::A);
  });
}

TEST(Strategies, ContainersReplaceTheirContentAndKeepTheFirstOfRepeatedKeys) {
  // (A list read over a fuller one is SerialTree.EitherReader's.)
  std::vector<std::u16string> none;
  EXPECT_EQ(WriteBody([&](ISerialStream& s) { Serial::Do(s, none); }), Hex("1A 04 00 00 00 00 00 00 00"));

  // A map whose data repeats a key keeps the first value.
  std::vector<std::pair<int, std::u16string>> entries{{1, u"one"}, {1, u"uno"}, {2, u"two"}};
  const DefaultSerialStrategy<int> key;
  const DefaultSerialStrategy<std::u16string> value;
  const PairSerialStrategy<int, std::u16string> pair(key, value);
  const STLContainerSerialStrategy<decltype(entries)> asList(pair);
  const Bytes mapBody = WriteBody([&](ISerialStream& s) { asList.Do(s, entries); });
  ReadInside(mapBody, [&](BinarySerialIn& s) {
    std::map<int, std::u16string> map;
    ASSERT_TRUE(Serial::Do(s, map));
    EXPECT_EQ(map, (std::map<int, std::u16string>{{1, u"one"}, {2, u"two"}}));
  });
}

TEST(Strategies, ObjectsAContainerDoesNotKeepAreDeleted) {
  // A map of owned polymorphic objects: a repeated key and a failing element.
  const DefaultSerialStrategy<int> key;
  const PairSerialStrategy<int, Shape*> pair(key, shapeStrategy);
  const MapSerialStrategy<std::map<int, Shape*>> mapStrategy(pair);
  const STLContainerSerialStrategy<std::vector<std::pair<int, Shape*>>> asList(pair);

  std::vector<std::pair<int, Shape*>> entries;
  for (int k : {1, 1, 2}) entries.emplace_back(k, static_cast<Shape*>(classP.Create()));
  Bytes body = WriteBody([&](ISerialStream& s) { asList.Do(s, entries); });
  for (auto& e : entries) delete e.second;

  ReadInside(body, [&](BinarySerialIn& s) {
    std::map<int, Shape*> map;
    ASSERT_TRUE(mapStrategy.Do(s, map));
    EXPECT_EQ(map.size(), 2u);
    for (auto& [k, v] : map) delete v;
  });
  EXPECT_EQ(Shape::alive, 0);

  // The stream ends inside the third element: FormatIO, and nothing leaks.
  body.resize(body.size() - 3);
  EXPECT_THROW(ReadInside(body, [&](BinarySerialIn& s) {
    std::map<int, Shape*> map;
    struct Owner { std::map<int, Shape*>& m; ~Owner() { for (auto& [k, v] : m) delete v; } } owner{map};
    mapStrategy.Do(s, map);
  }), Exceptions::FormatIO);
  EXPECT_EQ(Shape::alive, 0);
}

TEST(Strategies, OwningPointerTakesTheObjectOnlyWhenTheReadSucceeds) {
  struct Box {
    std::u16string text;
    bool Do(ISerialStream& s) { return Serial::Do(s, text); }
  };
  const DefaultSerialStrategy<Box> element;
  const DefaultMonoFactory<Box> factory;
  const MonoPtrSerialStrategy<Box> pointer(element, factory);
  const AutoPtrSerialStrategy<Box> owner(pointer);

  auto box = std::make_unique<Box>(Box{u"in"});
  const Bytes body = WriteBody([&](ISerialStream& s) { EXPECT_TRUE(owner.Do(s, box)); });
  EXPECT_EQ(body, Hex("1A 01 00 00 00 00  1A 04 00 00 00 69 00 6E 00"));
  // An odd-sized text fails the read: the old object stays.
  for (const auto& [bytes, ok, text] : {std::tuple{body, true, u"in"},
                                         {Hex("1A 01 00 00 00 00  1A 03 00 00 00 69 00 6E"), false, u"before"}}) {
    ReadInside(bytes, [&](BinarySerialIn& s) {
      auto read = std::make_unique<Box>(Box{u"before"});
      EXPECT_EQ(owner.Do(s, read), ok);
      EXPECT_EQ(read->text, text);
    });
  }
}

// A value type of four named sets: one line per member is all it takes.
struct NameFilter {
  std::set<std::u16string> includeNames, excludeNames, includePatterns, excludePatterns;
  bool operator==(const NameFilter&) const = default;
  bool Do(ISerialStream& s) {
    return DoNode(s, u"IncludeNames", includeNames) && DoNode(s, u"ExcludeNames", excludeNames) &&
           DoNode(s, u"IncludePatterns", includePatterns) &&
           DoNode(s, u"ExcludePatterns", excludePatterns);
  }
};

TEST(Strategies, HelpersRoundTripEachMemberAndTheTreeReaderSkipsAbsentOnes) {
  NameFilter filter{{u"a.rc"}, {}, {u"*.rc", u"*.dlg"}, {u"x*"}};
  const Bytes body = WriteBody([&](ISerialStream& s) { EXPECT_TRUE(filter.Do(s)); });
  ReadInside(body, [&](BinarySerialIn& s) {
    NameFilter read;
    read.includeNames = {u"old"};
    ASSERT_TRUE(read.Do(s));
    EXPECT_EQ(read, filter);
  });

  // Data of another version without "ExcludeNames": that member keeps its value.
  const Bytes older = WriteBody([&](ISerialStream& s) {
    DoNode(s, u"IncludeNames", filter.includeNames);
    DoNode(s, u"IncludePatterns", filter.includePatterns);
  });
  const Bytes all = StreamAround(older);
  MemoryStreamIn in(all.data(), static_cast<uint32_t>(all.size()));
  Binary::BinarySerialTreeIn tree;
  tree.Load(in);
  NameFilter read{{}, {u"kept"}, {}, {}};
  EXPECT_TRUE(read.Do(tree));
  EXPECT_EQ(read, (NameFilter{filter.includeNames, {u"kept"}, filter.includePatterns, {}}));
}

TEST(Strategies, DoValueComposesTheStrategiesTheTypeCallsFor) {
  struct Box {
    int size = 0;
    bool Do(ISerialStream& s) { return Serial::Do(s, size); }
  };
  // Owned pointers in a map of pairs: the same bytes as the strategies
  // composed by hand, and read back whole.
  using Value = std::map<int, std::pair<std::u16string, Box*>>;
  Box box{5};
  Value value{{1, {u"one", &box}}, {2, {u"two", nullptr}}};
  const DefaultSerialStrategy<Box> element;
  const DefaultMonoFactory<Box> factory;
  const MonoPtrSerialStrategy<Box> pointer(element, factory);
  const DefaultSerialStrategy<std::u16string> text;
  const PairSerialStrategy<std::u16string, Box*> inner(text, pointer);
  const DefaultSerialStrategy<int> key;
  const PairSerialStrategy<int, Value::mapped_type> entry(key, inner);
  const MapSerialStrategy<Value> byHand(entry);
  const Bytes body = WriteBody([&](ISerialStream& s) { EXPECT_TRUE(DoValue(s, value)); });
  EXPECT_EQ(body, WriteBody([&](ISerialStream& s) { byHand.Do(s, value); }));
  ReadInside(body, [&](BinarySerialIn& s) {
    Value read;
    ASSERT_TRUE(DoValue(s, read));
    ASSERT_EQ(read.size(), 2u);
    ASSERT_NE(read[1].second, nullptr);
    EXPECT_EQ(read[1].second->size, 5);
    EXPECT_EQ(read[2], (std::pair<std::u16string, Box*>{u"two", nullptr}));
    delete read[1].second;
  });
  // An owning pointer is the pointer form too, through AutoPtrSerialStrategy.
  auto owned = std::make_unique<Box>(Box{5});
  EXPECT_EQ(WriteBody([&](ISerialStream& s) { DoValue(s, owned); }),
            WriteBody([&](ISerialStream& s) { pointer.Do(s, value[1].second); }));
}

// Handed the writer by its own type, the helpers bind its calls: every form
// must come out as the stream interface writes it.
TEST(Strategies, TheWritersBoundPathWritesEveryFormAlike) {
  struct Box {
    int size = 5;
    bool Do(ISerialStream& s) { return Serial::Do(s, size); }
  };
  Box box;
  std::map<int, std::pair<std::u16string, Box*>> map{{1, {u"one", &box}}, {2, {u"two", nullptr}}};
  std::vector<std::u16string> texts{u"a", u"bc"};
  std::set<int> numbers{3, 1};
  auto owned = std::make_unique<Box>();
  bool flag = true;
  unsigned long wide = 0x12345678;
  unsigned short narrow = 7;
  std::vector<unsigned char> raw{1, 2, 3};
  std::vector<Box*> pointers{&box, nullptr};
  Shape* shape = static_cast<Shape*>(classP.Create());
  shape->size = 9;
  const auto all = [&](auto& s) {
    DoNode(s, u"m", map);
    DoNode(s, u"t", texts);
    DoNode(s, u"n", numbers);
    DoNode(s, u"o", owned);
    DoNode(s, u"f", flag);
    DoNode(s, u"w", wide);
    DoNode(s, u"r", raw);
    DoNode(s, u"p", pointers);
    DoEnum<unsigned char>(s, narrow);
    WriteClassObject(s, shape);
    WriteName(s, NodeName(u"x"));
    WriteName(s, NodeName(static_cast<unsigned char>(4)));
  };
  Serial::MemoryStreamOut bound;
  {
    Binary::BinarySerialOut writer(bound);
    all(writer);
  }
  EXPECT_EQ(bound.GetData(), WriteStream([&](ISerialStream& s) { all(s); }));
  delete shape;
}

}  // namespace
