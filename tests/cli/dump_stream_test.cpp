#include "cli/dump_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include "support/cli_run.h"
#include "support/stream_bytes.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

class DumpStream : public TempDirTest {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) { return WriteFile(dir_ / name, bytes); }
};

TEST_F(DumpStream, JsonOfTheShippedSamplesIsExact) {
  const fs::path examples = fs::path(LOCMODEL_SOURCE_DIR) / "examples";
  for (const char* sample : {"project-stream.bin", "project-stream.gz"}) {
    const ToolRun run = RunTool({"dump-stream", (examples / sample).string(), "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadFile(examples / (std::string(sample) + ".json"))) << sample;
  }
  const ToolRun text = RunTool({"dump-stream", (examples / "project-stream.bin").string()});
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("node \"Root\"\n  field [4] 01 00 00 00  = 1\n"), std::string::npos);
}

TEST_F(DumpStream, PropsShowsPropertyMapsAsEntries) {
  const fs::path sample = fs::path(LOCMODEL_SOURCE_DIR) / "examples" / "project-stream.bin";
  const ToolRun run = RunTool({"dump-stream", sample.string(), "--props"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("  properties\n"
                         "    @Count = CIntProp(42)\n"
                         "    @Flag = CEmptyProp(null)\n"
                         "    @Langs = CLangSetProp([1031,1033])\n"
                         "    @Title = CStrProp(\"Main \u00e9\")\n"
                         "    #2 = CStrProp(\"Hello\")\n"
                         "  node #5\n"),
            std::string::npos)
      << run.out;

  // A map holding a class nobody registered is shown as it stands.
  std::string bytes = ReadFile(sample);
  const std::string from("L\0a\0n\0g\0S\0e\0t\0", 14), to("X\0a\0n\0g\0S\0e\0t\0", 14);
  bytes.replace(bytes.find(from), from.size(), to);
  const std::string path = Write("unknown.bin", Bytes(bytes.begin(), bytes.end()));
  const ToolRun raw = RunTool({"dump-stream", path, "--props"});
  EXPECT_EQ(raw.status, 0);
  EXPECT_EQ(raw.out.find("properties"), std::string::npos);
  EXPECT_NE(raw.out.find("  node #1\n    field [4] 05 00 00 00  = 5\n    node (anonymous)\n"),
            std::string::npos) << raw.out;
  EXPECT_EQ(raw.out, RunTool({"dump-stream", path}).out);
}

TEST_F(DumpStream, ShowsAnyWellFormedStreamWithoutVersionOrRoot) {
  const std::string path = Write("bare.bin", Hex("1A 01 00 00 00 2A 18 02 05 19"));
  const ToolRun run = RunTool({"dump-stream", path, "--json"});
  EXPECT_EQ(std::tuple(run.status, run.out),
            std::tuple(0, "{\"items\":[{\"field\":\"2a\"},{\"node\":5,\"items\":[]}]}\n"));
}

// A malformed stream: exit 1, nothing on stdout, exactly one stderr line.
TEST_F(DumpStream, ReportsWhereAndWhyAStreamIsMalformed) {
  Bytes longName = Hex("18 01 C9");
  longName.resize(longName.size() + 402, 'a');
  const std::pair<Bytes, std::string> cases[] = {
      {{}, "byte 0: empty stream"}, {Hex("18 00 1B"), "byte 2: unknown tag 0x1b"},
      {Hex("18 00 19 19"), "byte 3: leave tag closes no node"}, {Hex("18 00 18 00 19"), "byte 5: data ends inside a node"},
      {Hex("18 00 1A 04 00 00 00 01 02"), "byte 2: data ends inside a field"},
      {Hex("1A 04 00"), "byte 0: data ends inside a field length"},
      {Hex("18 01 03 41 00"), "byte 0: data ends inside a node name"},
      {longName, "byte 0: node name longer than 200 code units"},
      {Hex("18 00 1A F0 FF FF FF 01 02 03 04 05 06 07 08 09 0A"), "byte 2: data ends inside a field"}};
  for (const auto& [bytes, where] : cases) {
    const std::string path = Write("bad.bin", bytes);
    const ToolRun run = RunTool({"dump-stream", path, "--json"});
    EXPECT_EQ(run.status, 1) << where;
    EXPECT_EQ(run.out, "") << where;
    EXPECT_EQ(run.err, "locmodel: " + path + ": malformed stream at " + where + "\n");
  }
}

TEST_F(DumpStream, CorruptGzipIsMalformed) {
  // The reason is the gzip reader's, not a stream cut short.
  std::string damaged = ReadFile(fs::path(LOCMODEL_SOURCE_DIR) / "examples" / "project-stream.gz");
  damaged[damaged.size() - 6] ^= '\xFF';  // the CRC
  const ToolRun crc = RunTool({"dump-stream", Write("crc.gz", Bytes(damaged.begin(), damaged.end())), "--json"});
  EXPECT_EQ(std::tuple(crc.status, crc.out), std::tuple(1, ""));
  EXPECT_NE(crc.err.find("corrupt gzip data"), std::string::npos) << crc.err;
}

TEST_F(DumpStream, DeepNestingCostsNoStack) {
  constexpr size_t kDepth = 1000000;
  Bytes deep;
  deep.reserve(3 * kDepth);
  for (size_t i = 0; i < kDepth; ++i) deep.push_back(0x18), deep.push_back(0x00);
  deep.insert(deep.end(), kDepth, 0x19);
  const std::string path = Write("deep.bin", deep);
  const ToolRun json = RunTool({"dump-stream", path, "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out.size(), 10 + kDepth * 24 + 3);
  const ToolRun text = RunTool({"dump-stream", path});
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("(depth 999999) node (anonymous)\n"), std::string::npos);
}

TEST(Cli, UsageErrorsExitWithTwoAndHelpWithZero) {
  using Args = std::vector<std::string>;
  for (const auto& [args, status] : std::initializer_list<std::pair<Args, int>>{
           {{}, 2}, {{"no-such-command"}, 2}, {{"dump-stream", "a", "--json", "--props"}, 2},
           {{"dump-stream", "a", "b"}, 2}, {{"dump-stream", "a", "--jsn"}, 2}, {{"dump-stream", "a", "--json=1"}, 2},
           {{"dump-stream", "--help"}, 0}})
    EXPECT_EQ(RunTool(args).status, status) << testing::PrintToString(args);
  const ToolRun missing = RunTool({"dump-stream"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("usage: locmodel dump-stream FILE|- [--json | --props]"), std::string::npos);
  const ToolRun absent = RunTool({"dump-stream", "/no/such/file"});
  EXPECT_EQ(std::tuple(absent.status, absent.err), std::tuple(1, "locmodel: /no/such/file: cannot open file\n"));
}

}  // namespace
