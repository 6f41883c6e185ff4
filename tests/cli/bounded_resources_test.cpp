// Hostile files of a few MB are refused quickly, with one line, within a
// gigabyte of address space; a write that hits the file-size limit says so
// and leaves neither a partial file nor a temporary one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "locmodel/items/project_file.h"
#include "locmodel/storage/storage.h"
#include "support/gzip_bomb.h"
#include "support/temp_dir.h"
#include "support/tool_rows.h"
#include "test_paths.h"

namespace {

using namespace testing_support;

template <size_t N>
std::string Raw(const char (&bytes)[N]) {
  return std::string(bytes, N - 1);
}

const std::string kRoot = Raw("\x18\x01\x04R\0o\0o\0t\0");

std::vector<BombRun> Join(std::initializer_list<std::vector<BombRun>> parts) {
  std::vector<BombRun> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// `levels` items, each the only child of the one before, as CResItem::Do
// writes them: a saved leaf item is cut where its empty children node
// stands, and a level is the item up to there, a children node holding one
// present child, and, after the child, the rest of the item.
std::vector<BombRun> NestedItems(uint64_t levels) {
  CResItem leaf;
  const std::vector<unsigned char> saved = locmodel::SaveProjectToMemory(leaf);
  const std::string file(saved.begin(), saved.end());
  const size_t start = file.find(kRoot) + kRoot.size();
  const std::string item = file.substr(start, file.size() - 1 - start);
  const std::string noChildren = Raw("\x18\x02g\x1a\x04\0\0\0\0\0\0\0\x19");
  const size_t at = item.find(noChildren);
  const std::string open = item.substr(0, at) + Raw("\x18\x02g\x1a\x04\0\0\0\x01\0\0\0\x18\0\x1a\x01\0\0\0\0");
  const std::string close = Raw("\x19\x19") + item.substr(at + noChildren.size());
  return Join({{{file.substr(0, start), 1}}, Repeated(open, levels), {{item, 1}}, Repeated(close, levels),
               {{"\x19", 1}}});
}

class BoundedResources : public TempDirTest {};

TEST_F(BoundedResources, GzipBombsAreRefusedInBoundedMemory) {
  const std::string tooDeep = "items nest deeper than 1000 levels";
  const std::string malformed = "malformed project file";
  const struct {
    const char* name;
    std::vector<BombRun> runs;
    std::string tree, sequential, stream;  // expected reasons; no stream case when empty
  } bombs[] = {
      {"field.gz",  // 4.2 MB: one field of 0xFFFFFFF0 bytes
       Join({{{kRoot + Raw("\x1a\xf0\xff\xff\xff"), 1}}, Repeated(std::string(1, '\0'), 0xFFFFFFF0u),
             {{"\x19", 1}}}),
       malformed, malformed, "data ends inside a field"},
      {"empty.gz",  // 1 MB: 1 GB of empty nodes
       Join({{{kRoot, 1}}, Repeated(Raw("\x18\0\x19"), 333'333'333), {{"\x19", 1}}}),
       "the tree reader needs more than 64 times the file's size", malformed, ""},
      {"nested.gz",  // 1.5 MB: 500 million nested anonymous nodes
       Join({{{kRoot, 1}}, Repeated(Raw("\x18\0"), 500'000'000), Repeated("\x19", 500'000'001)}),
       tooDeep, malformed, ""},
      {"items.gz", NestedItems(10'000'000), tooDeep, tooDeep, ""},  // 4.3 MB
  };
#ifdef __SANITIZE_ADDRESS__
  // The address sanitizer reserves terabytes of shadow address space, which
  // no address-space limit admits: there only the refusals are checked.
  const std::string limited = LOCMODEL_CLI_PATH;
#else
  const std::string limited = std::string("ulimit -v 1048576; exec ") + LOCMODEL_CLI_PATH;
#endif
  for (const auto& bomb : bombs) {
    WriteGzipBomb(In(bomb.name), bomb.runs);
    const std::pair<std::string, std::string> runs[] = {
        {"dump", bomb.tree},
        {"convert", bomb.tree},
        {"dump --sequential", bomb.sequential},
        {"dump-stream", bomb.stream}};
    for (const auto& [command, reason] : runs) {
      if (reason.empty()) continue;
      SCOPED_TRACE(std::string(bomb.name) + " " + command);
      const std::string out = command == "convert" ? " " + In("out.lmp") : "";
      const CliRun run(command + " " + In(bomb.name) + out, "", limited);
      EXPECT_EQ(std::tuple(run.status, run.out), std::tuple(1, ""));
      EXPECT_TRUE(run.err.starts_with("locmodel: " + In(bomb.name) + ": ")) << run.err;
      EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
      EXPECT_FALSE(std::filesystem::exists(dir_ / "out.lmp"));
    }
    std::filesystem::remove(dir_ / bomb.name);
  }
}

TEST_F(BoundedResources, FileSizeLimitFailsWithAMessageAndLeavesNothing) {
  const std::string sample = LOCMODEL_SOURCE_DIR "/examples/sample-project.lmp", out = In("out.lmp");
  // The outputs are several KB; the limit 1 or 2 KB, as the shell counts blocks.
  const std::string limited = std::string("ulimit -f 2; exec ") + LOCMODEL_CLI_PATH;
  const Text tooLarge = Holds("File too large");
  const struct {
    std::string args;
    bool existing;
    Text err;
  } cases[] = {
      {"convert " + sample + " " + out, false, tooLarge},
      {"convert " + sample + " " + out, true, tooLarge},
      {"convert " + sample + " " + out + " --gzip=0", false, tooLarge},
      {"db-upgrade " + In("old.db") + " " + In("new.db"), false,
       "locmodel: " + In("new.db") + ": disk I/O error: File too large\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    CStorage(Path("old.db")).CreateDb();
    if (c.existing) WriteFile(out, std::string("old"));
    const CliRun run(c.args, "", limited);
    SCOPED_TRACE(c.args + (c.existing ? " over an existing file" : ""));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("locmodel: ")) << run.err;
    ExpectText(run.err, c.err, c.args);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), c.existing ? 2 : 1);
    EXPECT_EQ(ReadFile(out), c.existing ? "old" : "");
  }
}

}  // namespace
