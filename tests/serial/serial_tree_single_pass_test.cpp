// The tree reader in a single pass against the tree loaded whole: the same
// reading sees the same nodes and fields whatever order it asks for them in,
// and what the reading never reaches is still judged.
#include <string>
#include <vector>

#include "locmodel/items/project_file.h"
#include "locmodel/serial/serial_tree.h"
#include "support/item_trees.h"
#include "support/stream_bytes.h"

namespace {

using Serial::NodeName;
using Serial::Binary::BinarySerialTreeIn;
using namespace testing_support;

// Runs a reading given as words: "A" enters the named node A, "*" the next
// anonymous one, "-" leaves, "." reads a field. Returns what each step saw.
std::string Transcript(Serial::ISerialStream& s, const std::vector<std::string>& steps) {
  std::string seen;
  for (const std::string& step : steps) {
    if (step == "-") {
      s.LeaveNode();
    } else if (step == ".") {
      unsigned size = 0;
      const void* data = s.ReadField(size);
      seen += data ? std::string(static_cast<const char*>(data), size) : "~";
    } else {
      seen += s.EnterNode(step == "*" ? NodeName() : NodeName(std::u16string(step.begin(), step.end()))) ? "+" : "0";
    }
    seen += ' ';
  }
  return seen;
}

Bytes Text(const std::string& text) { return Field(Bytes(text.begin(), text.end())); }

TEST(SerialTreeSinglePass, ReadsAsTheWholeTreeInAnyOrder) {
  // Root: field a, A{b, B{c}}, *{d}, C{e}, *{f, g}, field h
  const Bytes body = Concat({Text("a"), Node("A", Concat({Text("b"), Node("B", Text("c"))})), Element(Text("d")),
                             Node("C", Text("e")), Element(Concat({Text("f"), Text("g")})), Text("h")});
  const std::vector<std::vector<std::string>> readings = {
      {".", "A", ".", "B", ".", "-", "-", "*", ".", "-", "C", ".", "-", "*", ".", ".", "-", ".", "."},  // in order
      {"C", ".", "-", "A", "B", ".", "-", ".", "-", ".", ".", "*", ".", ".", "-", "*", "-"},  // out of order
      {"Z", "*", "*", ".", "-", "-", "*", "C", ".", "A", "-", "-", "A", ".", "."},          // absent, exhausted
      {"A", "-", "*", "-", ".", ".", ".", "C", ".", "-"},  // nodes left early, fields after children
      {"-", "-", ".", "Root", "A", "."},                        // above the top
  };
  const Bytes stream = StreamAround(body);
  for (const auto& steps : readings) {
    Serial::MemoryStreamIn whole_in(stream.data(), static_cast<uint32_t>(stream.size()));
    BinarySerialTreeIn whole;
    whole.Load(whole_in);
    Serial::MemoryStreamIn pass_in(stream.data(), static_cast<uint32_t>(stream.size()));
    BinarySerialTreeIn pass;
    pass.Open(pass_in);
    EXPECT_EQ(Transcript(pass, steps), Transcript(whole, steps)) << steps.size();
    pass.Close();
  }
}

// A stream damaged, too large or too deep past what the reading asked for
// fails at Close.
TEST(SerialTreeSinglePass, CloseJudgesTheRestOfTheStream) {
  const Bytes good = StreamAround(Concat({Node("A", Text("x")), Node("B", Element(Element(Text("y"))))}));
  const Bytes damaged = Concat({StreamAround(Node("A", Text("x"))), Hex("1A 05 00")});
  struct Case {
    const Bytes* stream;
    Serial::Binary::TreeLimits limits;
    BinarySerialTreeIn::Refusal refusal;  // None: Close throws only when `fails`
    bool fails;
  };
  const std::vector<Case> cases = {
      {&good, {}, BinarySerialTreeIn::Refusal::None, false},
      {&damaged, {}, BinarySerialTreeIn::Refusal::None, true},
      {&good, {.depth = 3}, BinarySerialTreeIn::Refusal::TooDeep, true},
      {&good, {.bytes = 10 * Serial::Binary::TreeLimits::kNodeCost}, BinarySerialTreeIn::Refusal::TooLarge, true},
  };
  for (const Case& c : cases) {
    Serial::MemoryStreamIn in(c.stream->data(), static_cast<uint32_t>(c.stream->size()));
    BinarySerialTreeIn pass;
    bool failed = false;
    try {
      pass.Open(in, c.limits);
      EXPECT_EQ(Transcript(pass, {"A", "."}), "+ x ");
      pass.Close();
    } catch (const Serial::Exceptions::FormatIO&) {
      failed = true;
    }
    EXPECT_EQ(failed, c.fails);
    EXPECT_EQ(pass.refusal(), c.refusal);
  }
}

// The project loader reads in a single pass, yet judges the stream before
// the items, as when it built the tree first: a damaged end the items never
// reach fails the load, and outranks an item nested too deep.
TEST(SerialTreeSinglePass, TheProjectLoaderJudgesTheStreamBeforeTheItems) {
  const Bytes damagedEnd = Hex("1A 05 00");
  const struct {
    Bytes bytes;
    std::string reason;
  } cases[] = {
      {ChainProjectBytes(5), ""},
      {Concat({ChainProjectBytes(5), damagedEnd}), "malformed project file"},
      {ChainProjectBytes(CResItem::kMaxReadDepth + 1), "items nest deeper than 1000 levels"},
      {Concat({ChainProjectBytes(CResItem::kMaxReadDepth + 1), damagedEnd}), "malformed project file"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<CResItem> root;
    const locmodel::Status status =
        locmodel::LoadProjectFromMemory(c.bytes.data(), c.bytes.size(), root, locmodel::ProjectReader::Tree);
    EXPECT_EQ(status.reason(), c.reason);
    EXPECT_EQ(root != nullptr, status.ok());
  }
}

}  // namespace
