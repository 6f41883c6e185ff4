#include "locmodel/props/prop_container.h"

#include <gtest/gtest.h>

#include "locmodel/config/lang_set.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/serial/serial_tree.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;

// Records every callback, with the values as they were during the call.
struct Recorder : IPropContHandler {
  std::vector<std::string> calls;
  void OnBeforePropChange(const CPropContainer&, const CPropName& name, const CProp* o, const CProp* n) override {
    Record("before", name, o, n);
  }
  void OnAfterPropChange(const CPropContainer&, const CPropName& name, const CProp* o, const CProp* n) override {
    Record("after", name, o, n);
  }
  void Record(const std::string& when, const CPropName& name, const CProp* o, const CProp* n) {
    auto text = [](const CProp* p) { return p ? std::to_string(p->GetInt()) : std::string("null"); };
    calls.push_back(when + " " + std::to_string(name.GetInt()) + " " + text(o) + "->" + text(n));
  }
};

// Counts live values of one class, to check who deletes what.
int g_alive = 0;
struct Counted {
  int v = 0;
  Counted() { ++g_alive; }
  Counted(int x) : v(x) { ++g_alive; }
  Counted(const Counted& o) : v(o.v) { ++g_alive; }
  ~Counted() { --g_alive; }
  bool operator==(const Counted& o) const { return v == o.v; }
  bool operator<(const Counted& o) const { return v < o.v; }
  bool Do(Serial::ISerialStream& s) { return Serial::Do(s, v); }
};

}  // namespace

template <>
struct PropValueTraits<Counted> : DefaultPropValueTraits<Counted> {
  static int GetInt(const Counted& c) { return c.v; }
};
LOCMODEL_DECLARE_PROP(CCountedProp, Counted);
LOCMODEL_DEFINE_PROP(CCountedProp, u"CountedPropForTests");

namespace {

const CPropName kA(CPropName::PROP_TRANS_DATA), kB(CPropName::PROP_TRANS_STR);

TEST(PropContainer, TellsTheHandlerAroundEveryChangeAndOwnsItsValues) {
  Recorder recorder;
  {
    CPropContainer cont(&recorder);
    cont.SetPropW(kA, new CCountedProp(1));
    cont.SetPropW(kA, new CCountedProp(2));  // replaces and deletes 1
    EXPECT_EQ(g_alive, 1);
    cont.SetPropW(kB, nullptr);  // ignored
    EXPECT_EQ(cont.RemovePropW(kB), nullptr);
    CProp* removed = cont.RemovePropW(kA);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->GetInt(), 2);
    delete removed;
    cont.SetPropW(kB, new CCountedProp(3));
    cont.SetPropW(kB, const_cast<CProp*>(cont.GetPropW(kB)));  // the same value again: kept
    EXPECT_EQ(cont.GetPropW(kB)->GetInt(), 3);
  }
  EXPECT_EQ(g_alive, 0);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{
                                "before 1 null->1", "after 1 null->1", "before 1 1->2",
                                "after 1 1->2", "before 1 2->null", "after 1 2->null",
                                "before 2 null->3", "after 2 null->3", "before 2 3->3",
                                "after 2 3->3"}));
}

TEST(PropContainer, CopyClonesWithoutCallbacksAndEqualityComparesValues) {
  Recorder recorder;
  CPropContainer source, target(&recorder);
  for (int i = 1; i <= 3; ++i) source.SetPropW(CPropName(static_cast<CPropName::CPropId>(i)), new CCountedProp(i));
  for (int i = 10; i < 15; ++i) target.GetPropCont()[CPropName(static_cast<CPropName::CPropId>(i))] = new CCountedProp(i);
  target.Copy(source);
  EXPECT_TRUE(recorder.calls.empty());
  ASSERT_EQ(target.GetPropCont().size(), 3u);
  EXPECT_TRUE(target == source);
  EXPECT_NE(target.GetPropW(kA), source.GetPropW(kA));
  target.Copy(target);
  EXPECT_EQ(target.GetPropCont().size(), 3u);
  EXPECT_EQ(target.GetHandler(), &recorder);

  // Equality compares the values pairwise, not the names.
  CPropContainer a, b, c;
  a.SetPropW(u"x", new CIntProp(1));
  b.SetPropW(u"y", new CIntProp(1));
  c.SetPropW(u"x", new CBoolProp(true));
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == c);
  b.SetPropW(u"z");
  EXPECT_FALSE(a == b);
}

TEST(PropContainer, RoundTripsThroughTheStreamAndReplacesContent) {
  CPropContainer written;
  written.SetPropW(CPropName::PROP_TRANS_STR, new CStrProp(u"Hello"));
  written.SetPropW(u"Flag");
  written.SetPropW(u"Langs", new CLangSetProp({0x409, 0x407}));
  written.SetPropW(u"Map", new CIntStrMapProp({{2, u"b"}, {1, u"a"}}));
  written.SetPropW(u"Var", new CVariantProp(VARIANT::FromText(u"v")));
  const Bytes all = WriteStream([&](Serial::ISerialStream& s) { written.Do(s); });

  Recorder recorder;
  CPropContainer read(&recorder);
  read.SetPropW(u"Old", new CIntProp(9));
  recorder.calls.clear();
  ReadThrough(all, [&](Serial::Binary::BinarySerialIn& reader) {
    EXPECT_TRUE(read.Do(reader));
    reader.LeaveNode();  // "Root" closes right after: the container read all of itself
  });
  EXPECT_TRUE(recorder.calls.empty());
  EXPECT_TRUE(read == written);
  EXPECT_EQ(read.GetPropW(u"Old"), nullptr);
  EXPECT_EQ(read.GetPropW(CPropName::PROP_TRANS_STR)->GetStr(), u"Hello");
}

TEST(PropContainer, AnEntryThatCannotBeReadFailsEitherReader) {
  const Bytes body = WriteBody([](Serial::ISerialStream& s) {
    CPropContainer c;
    c.SetPropW(u"a", new CIntProp(1));
    c.SetPropW(u"b", new CCountedProp(2));
    c.SetPropW(u"c", new CIntProp(3));
    c.Do(s);
  });
  const Bytes name = Utf16("CountedPropForTests");
  const size_t at = std::search(body.begin(), body.end(), name.begin(), name.end()) - body.begin();
  ASSERT_LT(at, body.size());
  // The middle value's class renamed to one nobody registered, or its null
  // flag set (the flag field's byte stands before the type and name fields).
  Bytes unknown = body, null = body;
  const Bytes other = Utf16("UnknownPropForTests");
  std::copy(other.begin(), other.end(), unknown.begin() + at);
  ASSERT_EQ(null[at - 12], 0);
  null[at - 12] = 1;

  for (const Bytes* damaged : {&unknown, &null}) {
    ReadEachWay(StreamAround(*damaged), [](Serial::ISerialStream& reader, bool) {
      {
        CPropContainer read;
        EXPECT_THROW(read.Do(reader), Serial::Exceptions::FormatIO);
        // What came before stays, to be destroyed with the container; no
        // entry holds null.
        EXPECT_EQ(read.GetPropCont().size(), 1u);
        EXPECT_NE(read.GetPropW(u"a"), nullptr);
      }
      EXPECT_EQ(g_alive, 0);
    });
  }
}

}  // namespace
