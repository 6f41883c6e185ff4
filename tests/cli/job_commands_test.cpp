#include <gtest/gtest.h>

#include <algorithm>

#include "locmodel/serial/streams.h"
#include "support/gzip_bomb.h"
#include "support/item_trees.h"
#include "support/job_bytes.h"
#include "support/temp_dir.h"
#include "support/tool_rows.h"

using namespace testing_support;

namespace {

const std::string kSample = LOCMODEL_SOURCE_DIR "/examples/sample-project.lmp";

class JobCommandsTest : public TempDirTest {
 protected:
  ToolRun Make(const std::vector<std::string>& options) {
    std::vector<std::string> args{"job", "make", kSample, In("job"), "--item", "/0/0", "--file-name", "main.rc",
                                  "--project-dir", "C:\\prj"};
    args.insert(args.end(), options.begin(), options.end());
    return RunTool(args);
  }
  // A gzip file of the parts, one after the other.
  std::string WriteGzip(const std::string& name, std::initializer_list<std::pair<const unsigned char*, size_t>> parts) {
    Serial::GZFileStreamOut out(Path(name), 1);
    for (const auto& [data, size] : parts) out.write(data, static_cast<uint32_t>(size));
    out.Close();
    return In(name);
  }
  std::string WriteGzip(const std::string& name, const Bytes& bytes) { return WriteGzip(name, {{bytes.data(), bytes.size()}}); }
};

}  // namespace

TEST_F(JobCommandsTest, OtherCommandsReadAJobButNeverChangeIt) {
  // A target without a culture keeps the placeholder.
  ASSERT_EQ(Make({"--target", "7777"}).status, 0);
  const std::string job = In("job");
  const std::string notProject = "locmodel: " + job + ": a job file, not a project; 'locmodel job show' reads it\n";
  ExpectRuns({
      {{"job", "show", job, "--json"}, 0,
       Holds("\"targetLang\":7777,\"targetLangs\":[1031,1036,66567,66569,66572],\"projectDir\":\"C:\\\\prj\","
             "\"targetCultureName\":\"##\"")},
      // The configuration commands read a job at its file item.
      {{"config", "get", job, "FuzzyUpdate"}, 0, "80\n"},
      {{"config", "set", job, "FuzzyUpdate", "70"}, 1, {}, "locmodel: " + job + ": a job file is read-only here\n"},
      // dump and convert would see an empty project in a job: they refuse it.
      {{"dump", job}, 1, {}, notProject},
      {{"convert", job, In("out.lmp")}, 1, {}, notProject},
      {{"job", "make", kSample, In("j2"), "--file-name", "x"}, 2},  // --item is required
  });
}

TEST_F(JobCommandsTest, HostileJobFilesFailInOneLine) {
  ASSERT_EQ(Make({}).status, 0);
  const std::string good = ReadFile(In("job"));
  std::vector<std::pair<std::string, bool>> files;  // path, whether the document still prints
  const auto add = [&](const std::string& name, const std::string& bytes) {
    files.emplace_back(WriteFile(dir_ / name, bytes), false);
  };
  for (size_t cut : {size_t{0}, size_t{12}, good.size() / 3, good.size() - 9, good.size() - 1})
    add("cut" + std::to_string(cut), good.substr(0, cut));
  for (size_t at = 10; at < good.size(); at += good.size() / 7) {
    std::string flipped = good;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
    add("flip" + std::to_string(at), flipped);
  }
  // A chain of a million items, written without building them.
  // The item's data go between its null flag and the closes of "Item" and
  // "Root"; the chain's own stream loses its header and its close of "Root".
  const Bytes chain = ChainProjectBytes(1000000);
  const Bytes around = StreamAround(LocalizeJobBody(0, Field(Hex("00"))));
  files.emplace_back(WriteGzip("deep", {{around.data(), around.size() - 2},
                                        {chain.data() + 109, chain.size() - 110},
                                        {around.data() + around.size() - 2, 2}}),
                     false);
  const Bytes three = Concat({Element(Field(Int32(1031))), Element(Field(Int32(1036))), Element(Field(Int32(1041)))});
  files.emplace_back(WriteGzip("huge", StreamAround(LocalizeJobBody(0, Field(Hex("01")), Concat({Field(Int32(0x7FFFFFFF)), three})))), false);
  files.emplace_back(WriteGzip("negative", StreamAround(LocalizeJobBody(0, Field(Hex("01")), Field(Int32(-1))))), false);
  // Levels that lead nowhere: the document prints with "fileItem":null.
  const Bytes oneItem = ChainProjectBytes(2);
  const Bytes present = Concat({Field(Hex("00")), Bytes(oneItem.begin() + 109, oneItem.end() - 1)});
  files.emplace_back(WriteGzip("level-1", StreamAround(LocalizeJobBody(-1, present))), true);
  files.emplace_back(WriteGzip("level1e9", StreamAround(LocalizeJobBody(1000000000, present))), true);
  // A gzip bomb: "FileName" claims 0xFFFFFFF0 bytes, and 4 MB of gzip do
  // expand to them, beyond the decompression cap.
  const Bytes head = StreamAround(Node("FileName", Hex("1A F0 FF FF FF")));
  std::vector<BombRun> bomb{{std::string(head.begin(), head.end() - 2), 1}};  // no closes
  for (BombRun& run : Repeated(std::string(1, '\0'), 0xFFFFFFF0u)) bomb.push_back(std::move(run));
  WriteGzipBomb((dir_ / "bomb").string(), bomb);
  files.emplace_back((dir_ / "bomb").string(), false);

  for (const auto& [path, prints] : files) {
    SCOPED_TRACE(path);
    const ToolRun run = RunTool({"job", "show", path, "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("locmodel: " + path + ": ", 0), 0u) << run.err;
    if (prints) EXPECT_NE(run.out.find("\"fileItem\":null,\"item\":{"), std::string::npos) << run.out;
    else EXPECT_EQ(run.out, "");
  }
}
