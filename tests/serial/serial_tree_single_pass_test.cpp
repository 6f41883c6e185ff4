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

// Runs a reading given as words: "A" enters the named node A, "#7" the node
// named by byte 7, "*" the next anonymous one, "-" leaves, "." reads a
// field. Returns what each step saw.
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
      const NodeName name = step == "*"    ? NodeName()
                            : step[0] == '#' ? NodeName(static_cast<unsigned char>(std::stoi(step.substr(1))))
                                             : NodeName(std::u16string(step.begin(), step.end()));
      seen += s.EnterNode(name) ? "+" : "0";
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

// Two siblings of one name are merged by the whole tree. Once the first has
// been served, the single pass can no longer merge the second into it and
// must refuse the stream rather than lose it, wherever the stream brings it:
// among siblings passed over, in a node left early, or after the last read.
TEST(SerialTreeSinglePass, RefusesASiblingNamedAsOneAlreadyServed) {
  const Bytes ax = Node("A", Text("x")), ay = Node("A", Text("y")), b = Node("B", {});
  const Bytes byte7x = Concat({Hex("18 02 07"), Text("x"), Hex("19")});
  const Bytes byte7y = Concat({Hex("18 02 07"), Text("y"), Hex("19")});
  const struct {
    Bytes body;
    std::vector<std::string> steps;
    bool refused;
  } cases[] = {
      {Concat({ax, ay}), {"A", ".", ".", "-"}, true},                    // found at Close
      {Concat({ax, b, ay}), {"A", ".", "-", "B", "-"}, true},            // after a later sibling
      {Concat({b, ax, ay}), {"A", ".", "-", "*"}, true},                 // while looking for more
      {Concat({ax, b, ay}), {"B", "-", "A", ".", ".", "-"}, true},       // served from what was passed over
      {Node("P", Concat({ax, ay})), {"P", "A", ".", "-", "-"}, true},    // in a node left early
      {Concat({byte7x, byte7y}), {"#7", ".", "-"}, true},                // byte names alike
      {Concat({ax, ay, b}), {"B", "-", "A", ".", ".", "-"}, false},      // both passed over: merged
      {Concat({ax, Node("C", ay)}), {"A", ".", "-", "C", "A", ".", "-", "-"}, false},  // cousins
      {Concat({byte7x, Node("A", {})}), {"#7", "-", "A", "-"}, false},  // same place, other kinds
  };
  for (const auto& c : cases) {
    const Bytes stream = StreamAround(c.body);
    Serial::MemoryStreamIn whole_in(stream.data(), static_cast<uint32_t>(stream.size()));
    BinarySerialTreeIn whole;
    whole.Load(whole_in);
    const std::string expected = Transcript(whole, c.steps);
    Serial::MemoryStreamIn pass_in(stream.data(), static_cast<uint32_t>(stream.size()));
    BinarySerialTreeIn pass;
    if (c.refused) {
      EXPECT_THROW(
          {
            pass.Open(pass_in);
            Transcript(pass, c.steps);
            pass.Close();
          },
          Serial::Exceptions::FormatIO)
          << c.steps.size();
    } else {
      pass.Open(pass_in);
      EXPECT_EQ(Transcript(pass, c.steps), expected);
      EXPECT_NO_THROW(pass.Close());
    }
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
