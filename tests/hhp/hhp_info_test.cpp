// CHhpInfo: the .hhp text, its serialized form through both readers, and
// the options filled in from a window.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "hhp/hhp_sample.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/serial/serial_stream.h"
#include "locmodel/util/unicode.h"
#include "support/stream_bytes.h"

namespace {

using testing_support::Bytes;
using testing_support::FullHhp;
using testing_support::MinimalHhp;

std::string Text(const CHhpInfo& info) { return locmodel::Utf16ToUtf8(info.ToString()); }

TEST(HhpInfo, ToStringWritesTheProjectLineByLine) {
  const std::string minimal = testing_support::HhpFixture("minimal.hhp");
  EXPECT_EQ(Text(MinimalHhp()), minimal);
  std::string v2 = minimal;
  v2.replace(v2.find("1.1 or later"), 12, "1.0");
  EXPECT_EQ(Text(MinimalHhp(2)), v2);
  EXPECT_EQ(Text(FullHhp()), testing_support::HhpFixture("full.hhp"));
}

TEST(HhpInfo, WindowTextOperations) {
  CWindowEntry window;
  window.WindowType = u"main";
  window.TitleBarText = u"Help";
  window.TOCFile = u"toc.hhc";
  EXPECT_EQ(locmodel::Utf16ToUtf8(window.ToString()), "main=\"Help\",\"toc.hhc\",,,,,,,,,,,,,,,,,,0x0");
  window.ValidMask = CWindowEntry::kPosition;
  window.Position = {0, 0, 640, 480};
  EXPECT_EQ(locmodel::Utf16ToUtf8(window.ToString()),
            "main=\"Help\",\"toc.hhc\",,,,,,,,,,,[0,0,640,480],,,,,,,0x0");

  struct Case {
    void (*add)(std::u16string&);
    const char16_t* expected;
  } cases[] = {
      {[](std::u16string& t) { CWindowEntry::AddStr(t, u""); }, u"x,"},
      {[](std::u16string& t) { CWindowEntry::AddStr(t, u"a b"); }, u"x,\"a b\""},
      {[](std::u16string& t) { CWindowEntry::AddInt(t, 0xABCDEF, true); }, u"x,0xABCDEF"},
      {[](std::u16string& t) { CWindowEntry::AddInt(t, static_cast<uint32_t>(INT_MIN), true); }, u"x,0x80000000"},
      {[](std::u16string& t) { CWindowEntry::AddInt(t, 5, false); }, u"x,"},
      {[](std::u16string& t) { CWindowEntry::AddRect(t, {INT_MIN, INT_MIN, INT_MAX, -1}, true); },
       u"x,[-2147483648,-2147483648,2147483647,-1]"},
      {[](std::u16string& t) { CWindowEntry::AddRect(t, {1, 2, 3, 4}, false); }, u"x,"},
  };
  for (const Case& c : cases) {
    std::u16string text = u"x";
    c.add(text);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(HhpInfo, EqualityAndNoOrder) {
  const CHhpInfo full = FullHhp();
  EXPECT_EQ(full, FullHhp());
  EXPECT_TRUE(full < full);  // never a key: every comparison says "less"
  CHhpInfo other = full;
  other.Windows[1].Position.bottom = 1;  // not written, still compared
  EXPECT_NE(full, other);
  other = full;
  other.AliasList[0].val = u"A.htm";
  EXPECT_NE(full, other);
  other = full;
  other.Lcid = 0;
  EXPECT_NE(full, other);
}

// A whole project, alone and as a property value, read back by each reader.
TEST(HhpInfo, RoundTripsThroughBothReaders) {
  const CHhpInfo full = FullHhp();
  const Bytes alone = testing_support::WriteStream([&](Serial::ISerialStream& s) { CHhpInfo(full).Do(s); });
  testing_support::ReadEachWay(alone, [&](Serial::ISerialStream& s, bool) {
    CHhpInfo read;
    EXPECT_TRUE(read.Do(s));
    EXPECT_EQ(read, full);
  });

  CPropContainer props;
  props.SetPropW(CPropName(u"Hhp"), new CHhpInfoProp(full));
  const Bytes inContainer = testing_support::WriteStream([&](Serial::ISerialStream& s) { props.Do(s); });
  testing_support::ReadEachWay(inContainer, [&](Serial::ISerialStream& s, bool) {
    CPropContainer read;
    read.Do(s);
    EXPECT_EQ(read, props);
    const auto* value = dynamic_cast<const CHhpInfoProp*>(read.GetPropW(CPropName(u"Hhp")));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(static_cast<const CHhpInfo&>(*value), full);
  });
}

// Cuts the node `name` (holding a field of `fieldSize` bytes) out of a stream.
Bytes WithoutNode(Bytes bytes, const std::string& name, size_t fieldSize) {
  const Bytes head = testing_support::Concat(
      {{0x18, 0x01, static_cast<unsigned char>(name.size())}, testing_support::Utf16(name)});
  const auto at = std::search(bytes.begin(), bytes.end(), head.begin(), head.end());
  EXPECT_NE(at, bytes.end());
  bytes.erase(at, at + static_cast<long>(head.size() + 5 + fieldSize + 1));
  return bytes;
}

TEST(HhpInfo, TreeReaderKeepsWhatIsAbsentOrMalformed) {
  CHhpInfo written = FullHhp();
  written.DefaultFont.clear();
  const Bytes full = testing_support::WriteStream([&](Serial::ISerialStream& s) { written.Do(s); });

  // No "DefaultFont": kept by the tree reader, fatal to the sequential one.
  const Bytes noFont = WithoutNode(full, "DefaultFont", 0);
  testing_support::ReadEachWay(noFont, [&](Serial::ISerialStream& s, bool tree) {
    CHhpInfo read;
    read.DefaultFont = u"kept";
    if (!tree) {
      EXPECT_THROW(read.Do(s), Serial::Exceptions::FormatIO);
      return;
    }
    EXPECT_TRUE(read.Do(s));
    CHhpInfo expected = written;
    expected.DefaultFont = u"kept";
    EXPECT_EQ(read, expected);
  });

  // "Version" two bytes wide: the value stays.
  Bytes odd = full;
  const Bytes version = testing_support::Concat({testing_support::Hex("18 01 07"), testing_support::Utf16("Version"),
                                                 testing_support::Hex("1A 04 00 00 00 03 00 00 00")});
  const auto at = std::search(odd.begin(), odd.end(), version.begin(), version.end());
  ASSERT_NE(at, odd.end());
  const Bytes narrow = testing_support::Hex("1A 02 00 00 00 03 00");
  odd.erase(at + 17, at + static_cast<long>(version.size()));
  odd.insert(at + 17, narrow.begin(), narrow.end());
  Serial::MemoryStreamIn in(odd.data(), static_cast<uint32_t>(odd.size()));
  Serial::Binary::BinarySerialTreeIn reader;
  reader.Load(in);
  CHhpInfo read;
  read.Version = 9;
  EXPECT_TRUE(read.Do(reader));
  CHhpInfo expected = written;
  expected.Version = 9;
  EXPECT_EQ(read, expected);
}

TEST(HhpInfo, InitSkippedFieldsTakesTheDefaultWindowsValues) {
  const auto window = [](const char16_t* name, const char16_t* tag) {
    CWindowEntry w;
    w.WindowType = name;
    w.TitleBarText = std::u16string(u"title ") + tag;
    w.IndexFile = std::u16string(u"index ") + tag;
    w.TOCFile = std::u16string(u"toc ") + tag;
    w.HomeFile = std::u16string(u"home ") + tag;
    return w;
  };
  struct Case {
    const char16_t* defaultWindow;
    std::vector<CWindowEntry> windows;
    const char16_t* expectedTag;  // null: nothing changes
  } cases[] = {
      {u"main", {}, nullptr},
      {u"b", {window(u"a", u"1"), window(u"b", u"2"), window(u"b", u"3")}, u"3"},  // the last match
      {u"B", {window(u"a", u"1"), window(u"b", u"2")}, u"1"},                      // case-sensitive: first
  };
  for (const Case& c : cases) {
    CHhpInfo info = MinimalHhp();
    info.DefaultWindow = c.defaultWindow;
    info.Windows = c.windows;
    CHhpInfo expected = info;
    if (c.expectedTag) {
      const std::u16string tag = c.expectedTag;
      expected.Title = u"title " + tag;
      expected.IndexFile = u"index " + tag;
      expected.ContentsFile = u"toc " + tag;
      expected.DefaultTopic = u"home " + tag;
    }
    info.InitSkippedFields();
    EXPECT_EQ(info, expected);
  }
  // Options already given stay.
  CHhpInfo given = FullHhp();
  given.InitSkippedFields();
  EXPECT_EQ(given, FullHhp());
}

}  // namespace
