// Loads arbitrary bytes into the tree reader, whole and in a single pass,
// then reads whatever loaded: every field and anonymous node by walking the
// tree, and a few named members through the free Do functions. Load may
// only fail by FormatIO; reading only by FormatIO for a value no writer
// stores (a negative count).
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "locmodel/serial/serial_tree.h"
#include "locmodel/serial/values.h"

namespace {

// Visits every anonymous node below the current one, reading its fields.
// The tree's own cursor stack holds the path, so the walk needs no
// recursion; the depth bound only keeps pathological inputs quick.
void Walk(Serial::ISerialStream& s) {
  constexpr int kMaxDepth = 100000;
  int depth = 0;
  while (depth >= 0) {
    unsigned size = 0;
    while (s.ReadField(size)) {
    }
    if (depth < kMaxDepth && s.EnterNode(Serial::NodeName())) {
      ++depth;
    } else {
      s.LeaveNode();
      --depth;
    }
  }
}

// A few named members through the free Do functions, asked for twice (a
// tree loaded whole serves them again), then every anonymous node.
void Read(Serial::Binary::BinarySerialTreeIn& tree) {
  std::vector<std::u16string> list;
  std::set<std::u16string> set;
  std::u16string text;
  VARIANT variant;
  Serial::NodeName name;
  int number = 0;
  for (int round = 0; round < 2; ++round) {
    if (tree.EnterNode(Serial::NodeName(u"A"))) {
      try {
        Serial::Do(tree, list);
        Serial::Do(tree, set);
        Serial::Do(tree, variant);
        name.Do(tree);
      } catch (const Serial::Exceptions::FormatIO&) {
      }
      tree.LeaveNode();
    }
    if (tree.EnterNode(Serial::NodeName(static_cast<unsigned char>('e')))) {
      Serial::Do(tree, text);
      Serial::Do(tree, number);
      tree.LeaveNode();
    }
  }
  Walk(tree);  // ends above the top level: every later call finds nothing
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    // A single pass reads the stream as the reading goes: it may fail on
    // any call, always by FormatIO.
    Serial::Binary::BinarySerialTreeIn tree;
    Serial::MemoryStreamIn in(data, static_cast<uint32_t>(size));
    try {
      tree.Open(in);
      Read(tree);
      tree.Close();
    } catch (const Serial::Exceptions::FormatIO&) {
    }
  }
  Serial::Binary::BinarySerialTreeIn tree;
  Serial::MemoryStreamIn in(data, static_cast<uint32_t>(size));
  try {
    tree.Load(in);
  } catch (const Serial::Exceptions::FormatIO&) {
    return 0;
  }
  Read(tree);
  tree.Reset();
  tree.GetSchemeVersion();
  Walk(tree);
  return 0;
}
