// CHhpInfo: the .hhp text, its serialized form through both readers, and
// the options filled in from a window.
#include <gtest/gtest.h>

#include <algorithm>

#include "hhp/hhp_sample.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/serial/serial_stream.h"
#include "locmodel/util/unicode.h"
#include "support/stream_bytes.h"

namespace {

using testing_support::Bytes;
using testing_support::Concat;
using testing_support::FullHhp;
using testing_support::Hex;
using testing_support::MinimalHhp;
using testing_support::Utf16;
using testing_support::WriteStream;

std::string Text(const CHhpInfo& info) { return locmodel::Utf16ToUtf8(info.ToString()); }

TEST(HhpInfo, ToStringWritesTheProjectLineByLine) {
  const std::string minimal = testing_support::HhpFixture("minimal.hhp");
  EXPECT_EQ(Text(MinimalHhp()), minimal);
  std::string v2 = minimal;
  v2.replace(v2.find("1.1 or later"), 12, "1.0");
  EXPECT_EQ(Text(MinimalHhp(2)), v2);
  EXPECT_EQ(Text(FullHhp()), testing_support::HhpFixture("full.hhp"));
}

TEST(HhpInfo, EqualityComparesEveryFieldAndNoOrder) {
  const CHhpInfo full = FullHhp();
  EXPECT_EQ(full, FullHhp());
  EXPECT_TRUE(full < full);  // never a key: every comparison says "less"
  for (void (*change)(CHhpInfo&) : {+[](CHhpInfo& i) { i.Windows[1].Position.bottom = 1; },  // not written
                                    +[](CHhpInfo& i) { i.AliasList[0].val = u"A.htm"; },
                                    +[](CHhpInfo& i) { i.Lcid = 0; }}) {
    CHhpInfo other = full;
    change(other);
    EXPECT_NE(full, other);
  }
}

// A whole project, alone and as a property value, read back by each reader.
TEST(HhpInfo, RoundTripsThroughBothReaders) {
  const CHhpInfo full = FullHhp();
  const Bytes alone = WriteStream([&](Serial::ISerialStream& s) { CHhpInfo(full).Do(s); });
  testing_support::ReadEachWay(alone, [&](Serial::ISerialStream& s, bool) {
    CHhpInfo read;
    EXPECT_TRUE(read.Do(s));
    EXPECT_EQ(read, full);
  });

  CPropContainer props;
  props.SetPropW(CPropName(u"Hhp"), new CHhpInfoProp(full));
  const Bytes inContainer = WriteStream([&](Serial::ISerialStream& s) { props.Do(s); });
  testing_support::ReadEachWay(inContainer, [&](Serial::ISerialStream& s, bool) {
    CPropContainer read;
    read.Do(s);
    EXPECT_EQ(read, props);
    const auto* value = dynamic_cast<const CHhpInfoProp*>(read.GetPropW(CPropName(u"Hhp")));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(static_cast<const CHhpInfo&>(*value), full);
  });
}

// The bytes of a node: its enter tag and name, then `rest`.
Bytes Node(const std::string& name, const std::string& rest) {
  return Concat({{0x18, 0x01, static_cast<unsigned char>(name.size())}, Utf16(name), Hex(rest)});
}

Bytes Replaced(Bytes bytes, const Bytes& from, const Bytes& to) {
  const auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
  EXPECT_NE(at, bytes.end());
  if (at != bytes.end()) bytes.insert(bytes.erase(at, at + static_cast<long>(from.size())), to.begin(), to.end());
  return bytes;
}

// An absent or malformed node leaves its field alone in the tree reader; an
// absent one is fatal to the sequential reader.
TEST(HhpInfo, TreeReaderKeepsWhatIsAbsentOrMalformed) {
  CHhpInfo written = FullHhp();
  written.DefaultFont.clear();
  const Bytes full = WriteStream([&](Serial::ISerialStream& s) { written.Do(s); });
  const struct {
    Bytes bytes;
    void (*preset)(CHhpInfo&);
  } cases[] = {
      {Replaced(full, Node("DefaultFont", "1A 00 00 00 00 19"), {}), [](CHhpInfo& i) { i.DefaultFont = u"kept"; }},
      {Replaced(full, Node("Version", "1A 04 00 00 00 03 00 00 00"), Node("Version", "1A 02 00 00 00 03 00")),
       [](CHhpInfo& i) { i.Version = 9; }},  // two bytes wide
  };
  for (const auto& c : cases) {
    Serial::MemoryStreamIn in(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    Serial::Binary::BinarySerialTreeIn reader;
    reader.Load(in);
    CHhpInfo read, expected = written;
    c.preset(read);
    c.preset(expected);
    EXPECT_TRUE(read.Do(reader));
    EXPECT_EQ(read, expected);
  }
  testing_support::ReadThrough(cases[0].bytes, [](Serial::ISerialStream& s) {
    CHhpInfo read;
    EXPECT_THROW(read.Do(s), Serial::Exceptions::FormatIO);
  });
}

// The last window of the default window's name (case counts), else the first,
// fills the four options left empty.
TEST(HhpInfo, InitSkippedFieldsTakesTheDefaultWindowsValues) {
  const auto init = [](const char16_t* defaultWindow, std::vector<std::u16string> names) {
    CHhpInfo info = MinimalHhp();
    info.DefaultWindow = defaultWindow;
    for (const std::u16string& name : names) {
      CWindowEntry& w = info.Windows.emplace_back();
      const std::u16string tag(1, static_cast<char16_t>(u'0' + info.Windows.size()));
      w.WindowType = name;
      w.TitleBarText = u"title" + tag;
      w.IndexFile = u"index" + tag;
      w.TOCFile = u"toc" + tag;
      w.HomeFile = u"home" + tag;
    }
    info.InitSkippedFields();
    return locmodel::Utf16ToUtf8(info.Title + u"|" + info.IndexFile + u"|" + info.ContentsFile + u"|" + info.DefaultTopic);
  };
  EXPECT_EQ(init(u"main", {}), "|||");
  EXPECT_EQ(init(u"b", {u"a", u"b", u"b"}), "title3|index3|toc3|home3");
  EXPECT_EQ(init(u"B", {u"a", u"b"}), "title1|index1|toc1|home1");
  // Options already given stay.
  CHhpInfo given = FullHhp();
  given.InitSkippedFields();
  EXPECT_EQ(given, FullHhp());
}

}  // namespace
