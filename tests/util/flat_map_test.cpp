#include "locmodel/util/flat_map.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "locmodel/props/prop_classes.h"
#include "locmodel/props/prop_container.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;
using Entries = std::vector<std::pair<int, std::u16string>>;

// Kept on the heap, and with the first entry inside the map (which the
// entries leave and re-enter as the map grows, is copied and moved).
template <typename Map>
class FlatMapKinds : public ::testing::Test {};
using Kinds = ::testing::Types<locmodel::FlatMap<int, std::u16string>, locmodel::FlatMap<int, std::u16string, 1>>;
TYPED_TEST_SUITE(FlatMapKinds, Kinds);

TYPED_TEST(FlatMapKinds, AnswersAsAnOrderedMapDoes) {
  TypeParam map;
  std::map<int, std::u16string> model;
  for (int key : {5, 1, 3, 1, 9}) {
    const auto [at, inserted] = map.emplace(key, u"v" + std::u16string(1, char16_t(u'0' + key)));
    EXPECT_EQ(inserted, model.emplace(key, at->second).second) << key;
    EXPECT_EQ(at->first, key);
  }
  map[7] = u"seven";
  model[7] = u"seven";
  EXPECT_EQ(Entries(map.begin(), map.end()), Entries(model.begin(), model.end()));
  for (int key : {0, 1, 2, 9, 10}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(map.count(key), model.count(key));
    EXPECT_EQ(map.contains(key), model.contains(key));
    EXPECT_EQ(map.find(key) == map.end(), model.find(key) == model.end());
    EXPECT_EQ(map.lower_bound(key) - map.begin(), std::distance(model.begin(), model.lower_bound(key)));
    EXPECT_EQ(map.upper_bound(key) - map.begin(), std::distance(model.begin(), model.upper_bound(key)));
  }
  EXPECT_EQ(map.erase(3), 1u);
  EXPECT_EQ(map.erase(3), 0u);
  EXPECT_EQ(map.erase(map.find(1))->first, 5);
  EXPECT_EQ(erase_if(map, [](const auto& e) { return e.first > 6; }), 2u);
  auto copy = map;
  EXPECT_TRUE(copy == map);
  copy[5] += u"!";
  EXPECT_FALSE(copy == map);
  TypeParam moved = std::move(copy);
  EXPECT_EQ(moved[5], u"v5!");
  copy = moved;
  EXPECT_TRUE(copy == moved);
  map.clear();
  EXPECT_TRUE(map.empty());
  map = std::move(moved);
  EXPECT_EQ(map.size(), 1u);
}

// A map's entries in the order a damaged file may hold them.
template <typename Value>
Bytes StoredEntries(const std::vector<std::pair<int, int>>& entries) {
  std::vector<std::pair<int, Value*>> stored;
  for (auto [key, value] : entries) stored.emplace_back(key, new Value(value));
  const Bytes body = WriteBody([&](Serial::ISerialStream& s) { Serial::DoValue(s, stored); });
  for (auto& [key, value] : stored) delete value;
  return StreamAround(body);
}

// Both readers, over entries unsorted and repeated: the flat map holds what
// std::map held (the first of repeated keys), and the values it drops are
// deleted, which the sanitizer build checks.
TEST(FlatMap, ReadsDamagedOrderAsAnOrderedMapDid) {
  const std::vector<std::vector<std::pair<int, int>>> cases = {
      {{1, 10}, {2, 20}, {3, 30}},
      {{3, 30}, {1, 10}, {2, 20}},
      {{2, 20}, {1, 10}, {2, 21}, {1, 11}, {2, 22}},
      {{4, 40}, {4, 41}},
      {},
  };
  for (const auto& entries : cases) {
    const Bytes bytes = StoredEntries<CIntProp>(entries);
    std::vector<std::pair<int, int>> expected, read;
    ReadEachWay(bytes, [&](Serial::ISerialStream& s, bool) {
      std::map<int, CIntProp*> model;
      ASSERT_TRUE(Serial::DoValue(s, model));
      expected.clear();
      for (auto& [key, value] : model) expected.emplace_back(key, value->GetInt()), delete value;
    });
    ReadEachWay(bytes, [&](Serial::ISerialStream& s, bool) {
      locmodel::FlatMap<int, CIntProp*> map;
      map.emplace(8, new CIntProp(80));  // replaced by the read
      ASSERT_TRUE(Serial::DoValue(s, map));
      read.clear();
      for (auto& [key, value] : map) read.emplace_back(key, value->GetInt()), delete value;
      EXPECT_EQ(read, expected);
    });
  }

  // A property container, whose names are texts, the same way.
  const auto props = [](std::vector<std::u16string> names) {
    std::vector<std::pair<CPropName, CProp*>> stored;
    for (size_t i = 0; i < names.size(); ++i) stored.emplace_back(names[i], new CIntProp(static_cast<int>(i)));
    static const Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
    static const Serial::SerialClassStrategy<CProp> value(factory);
    static const Serial::DefaultSerialStrategy<CPropName> key;
    static const Serial::PairSerialStrategy<CPropName, CProp*> entry(key, value);
    const Bytes body = WriteBody([&](Serial::ISerialStream& s) {
      Serial::InNode(s, Serial::NodeName(static_cast<unsigned char>(0x01)),
                     [&] { return Serial::DoContainer(s, stored, entry); });
    });
    for (auto& [name, prop] : stored) delete prop;
    return StreamAround(body);
  };
  ReadEachWay(props({u"b", u"a", u"b", u"c", u"a"}), [](Serial::ISerialStream& s, bool) {
    CPropContainer read;
    EXPECT_TRUE(read.Do(s));
    std::vector<std::pair<std::u16string, int>> seen;
    for (const auto& [name, value] : read.GetPropCont()) seen.emplace_back(name.GetStr(), value->GetInt());
    EXPECT_EQ(seen, (std::vector<std::pair<std::u16string, int>>{{u"a", 1}, {u"b", 0}, {u"c", 3}}));
  });
}

}  // namespace
