// convert, dump, dump-stream and demo on the shipped samples and on damaged
// files; usage errors of the tool.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/stream_bytes.h"
#include "support/temp_dir.h"
#include "support/text_checks.h"
#include "support/tool_rows.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

const std::string kExamples = LOCMODEL_SOURCE_DIR "/examples/";
const std::string kSample = kExamples + "sample-project.lmp";
const std::string kStream = kExamples + "project-stream.bin";

class ProjectCommands : public TempDirTest {};

TEST_F(ProjectCommands, ConvertReproducesTheBytesOfThisVersion) {
  ExpectRuns({
      {{"convert", kSample, In("a.lmp")}},
      {{"convert", In("a.lmp"), In("b.gz"), "--gzip=9"}},
      {{"convert", In("b.gz"), In("c.lmp"), "--sequential"}},
  });
  EXPECT_EQ(ReadFile(In("a.lmp")), ReadFile(kSample));
  EXPECT_EQ(ReadFile(In("b.gz")).substr(0, 2), "\x1f\x8b");
  EXPECT_EQ(ReadFile(In("c.lmp")), ReadFile(kSample));
  ExpectRuns({
      {{"convert", In("c.lmp"), In("c.lmp"), "--gzip"}},  // in place
      {{"convert", In("c.lmp"), In("d"), "--gzip=12"}, 2},
  });
  EXPECT_FALSE(fs::exists(In("d")));
}

TEST_F(ProjectCommands, FailedConversionsLeaveNoOutput) {
  const std::string sample = ReadFile(kSample);
  const std::string damaged = WriteFile(dir_ / "damaged.lmp", sample.substr(0, sample.size() / 2));
  ExpectRuns({
      {{"convert", damaged, In("out.lmp")}, 1, "", "locmodel: " + damaged + ": malformed project file\n"},
      {{"dump", In("missing.lmp")}, 1},
      {{"dump", LOCMODEL_SOURCE_DIR "/tests/fixtures/sqlite2/empty.db", "--json"}, 0, "{\"root\":null}\n"},
  });
  // Nothing but the input is left in the folder. (Refusals of files too deep
  // or too large are BoundedResources'.)
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  const ToolRun demo = RunTool({"demo", In("demo")});
  EXPECT_EQ(demo.status, 0) << demo.err;
  ExpectContains(demo.out, {"through the sequential reader", "as #1002 sees it: 40 (its own)"});
}

TEST_F(ProjectCommands, DumpStreamShowsPropertyMapsAndAnyWellFormedStream) {
  std::string bytes = ReadFile(kStream);
  // A map holding a class nobody registered is shown as it stands.
  const std::string from("L\0a\0n\0g\0S\0e\0t\0", 14), to("X\0a\0n\0g\0S\0e\0t\0", 14);
  const std::string unknown = WriteFile(dir_ / "unknown.bin", bytes.replace(bytes.find(from), from.size(), to));
  const std::string bare = WriteFile(dir_ / "bare.bin", Hex("1A 01 00 00 00 2A 18 02 05 19"));  // no version, no root
  ExpectRuns({
      {{"dump-stream", kStream, "--props"}, 0,
       Holds("  properties\n"
             "    @Count = CIntProp(42)\n"
             "    @Flag = CEmptyProp(null)\n"
             "    @Langs = CLangSetProp([1031,1033])\n"
             "    @Title = CStrProp(\"Main \u00e9\")\n"
             "    #2 = CStrProp(\"Hello\")\n"
             "  node #5\n")},
      {{"dump-stream", unknown, "--props"}, 0, RunTool({"dump-stream", unknown}).out},
      {{"dump-stream", unknown}, 0, Holds("  node #1\n    field [4] 05 00 00 00  = 5\n    node (anonymous)\n")},
      {{"dump-stream", bare, "--json"}, 0, "{\"items\":[{\"field\":\"2a\"},{\"node\":5,\"items\":[]}]}\n"},
  });
}

// A malformed stream: exit 1, nothing on stdout, exactly one stderr line.
TEST_F(ProjectCommands, DumpStreamReportsWhereAndWhyAStreamIsMalformed) {
  Bytes longName = Hex("18 01 C9");
  longName.resize(longName.size() + 402, 'a');
  // The reason of a damaged gzip stream is the gzip reader's, not a stream cut short.
  std::string damaged = ReadFile(kExamples + "project-stream.gz");
  damaged[damaged.size() - 6] ^= '\xFF';  // the CRC
  const std::pair<Bytes, std::string> cases[] = {
      {{}, "malformed stream at byte 0: empty stream"},
      {Hex("18 00 1B"), "malformed stream at byte 2: unknown tag 0x1b"},
      {Hex("18 00 19 19"), "malformed stream at byte 3: leave tag closes no node"},
      {Hex("18 00 18 00 19"), "malformed stream at byte 5: data ends inside a node"},
      {Hex("18 00 1A 04 00 00 00 01 02"), "malformed stream at byte 2: data ends inside a field"},
      {Hex("1A 04 00"), "malformed stream at byte 0: data ends inside a field length"},
      {Hex("18 01 03 41 00"), "malformed stream at byte 0: data ends inside a node name"},
      {longName, "malformed stream at byte 0: node name longer than 200 code units"},
      {Hex("18 00 1A F0 FF FF FF 01 02 03 04 05 06 07 08 09 0A"), "malformed stream at byte 2: data ends inside a field"},
      {Bytes(damaged.begin(), damaged.end()), "malformed stream at byte 0: corrupt gzip data"}};
  for (const auto& [bytes, why] : cases) {
    const std::string path = WriteFile(dir_ / "bad.bin", bytes);
    ExpectRuns({{{"dump-stream", path, "--json"}, 1, "", "locmodel: " + path + ": " + why + "\n"}});
  }
}

TEST_F(ProjectCommands, DeepStreamsCostNoStack) {
  constexpr size_t kDepth = 1000000;
  Bytes deep;
  for (size_t i = 0; i < kDepth; ++i) deep.push_back(0x18), deep.push_back(0x00);
  deep.insert(deep.end(), kDepth, 0x19);
  const std::string path = WriteFile(dir_ / "deep.bin", deep);
  const ToolRun json = RunTool({"dump-stream", path, "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out.size(), 10 + kDepth * 24 + 3);
  ExpectRuns({{{"dump-stream", path}, 0, Holds("(depth 999999) node (anonymous)\n")}});
}

TEST(Cli, UsageErrorsExitWithTwoAndHelpWithZero) {
  ExpectRuns({
      {{}, 2},
      {{"no-such-command"}, 2},
      {{"dump-stream", "a", "--json", "--props"}, 2},
      {{"dump-stream", "a", "b"}, 2},
      {{"dump-stream", "a", "--jsn"}, 2},
      {{"dump-stream", "a", "--json=1"}, 2},
      {{"dump-stream", "--help"}, 0},
      {{"dump-stream"}, 2, {}, Holds("usage: locmodel dump-stream FILE|- [--json | --props]")},
      {{"dump-stream", "/no/such/file"}, 1, {}, "locmodel: /no/such/file: cannot open file\n"},
  });
}

}  // namespace
