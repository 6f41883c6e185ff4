// Budgets against hostile input: decompressed bytes, single fields and the
// tree reader's nodes are each refused before memory is spent on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "locmodel/items/project_file.h"
#include "locmodel/serial/binary_scanner.h"
#include "support/gzip_bomb.h"
#include "support/stream_bytes.h"
#include "support/temp_dir.h"

namespace {

using namespace testing_support;
using Serial::Binary::BinaryScanner;

class ReaderBudget : public TempDirTest {
 protected:
  // Writes `runs` as the gzip file `name`; its bytes.
  std::string Gzip(const std::string& name, const std::vector<BombRun>& runs) {
    WriteGzipBomb(In(name), runs);
    return ReadFile(dir_ / name);
  }
};

// Counts the bytes that pass.
struct Counted final : Serial::IStreamIn {
  explicit Counted(Serial::IStreamIn& in) : in(in) {}
  uint32_t read(void* buffer, uint32_t count) override {
    const uint32_t got = in.read(buffer, count);
    bytes += got;
    return got;
  }
  uint64_t Remaining() const override { return in.Remaining(); }
  Serial::IStreamIn& in;
  uint64_t bytes = 0;
};

// Reads `in` to its end; the byte count.
uint64_t Drain(Serial::IStreamIn& in) {
  unsigned char buffer[300];
  uint64_t total = 0;
  while (const uint32_t got = in.read(buffer, sizeof buffer)) total += got;
  return total;
}

TEST_F(ReaderBudget, GzipReadersDeliverUpToTheirLimitAndRefuseMore) {
  const std::string gz = Gzip("d.gz", {{std::string(1000, 'x'), 1}});
  const struct {
    uint64_t limit;
    bool over;
  } cases[] = {{1000, false}, {999, true}, {600, true}, {0, true}, {uint64_t{1} << 40, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.limit);
    const auto check = [&](auto& in) {
      EXPECT_EQ(Drain(in), std::min<uint64_t>(c.limit, 1000));
      EXPECT_EQ(in.OverLimit(), c.over);
      EXPECT_EQ(in.Error(), c.over ? Serial::InflateLimitError(c.limit) : "");
      EXPECT_EQ(in.Remaining() == 0, c.limit <= 1000);
    };
    Serial::GZFileStreamIn file(Path("d.gz"), c.limit);
    check(file);
    Serial::GZMemoryStreamIn memory(gz.data(), gz.size(), c.limit);
    check(memory);
  }
  // Readers made without a limit take the process-wide one.
  Serial::SetDefaultInflateLimit(10);
  Serial::GZFileStreamIn capped(Path("d.gz"));
  Serial::SetDefaultInflateLimit(Serial::kDefaultInflateLimit);
  EXPECT_EQ(Drain(capped), 10u);
  EXPECT_TRUE(capped.HasError());
}

TEST_F(ReaderBudget, AFieldIsReadWholeOrRefusedAtItsHeaderIfLongerThanTheRestOfAnyStream) {
  Bytes blob(200'000);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i * 31);
  const Bytes whole = WriteStream([&](Serial::ISerialStream& s) {
    s.WriteField(static_cast<unsigned>(blob.size()), blob.data());
  });
  Bytes claims = whole;  // the same field, declaring 4 GiB less one byte
  const size_t header = whole.size() - 1 - blob.size() - 5;
  claims[header + 1] = claims[header + 2] = claims[header + 3] = claims[header + 4] = 0xFF;
  for (const auto& [bytes, reason] : {std::pair{whole, ""}, {claims, "data ends inside a field"}}) {
    const std::string text(bytes.begin(), bytes.end());
    WriteFile(dir_ / "f.bin", text);
    const std::string gz = Gzip("f.gz", {{text, 1}});
    Serial::FileStreamIn file(Path("f.bin"));
    Serial::MemoryStreamIn memory(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Serial::GZFileStreamIn gzFile(Path("f.gz"));
    Serial::GZMemoryStreamIn gzMemory(gz.data(), gz.size());
    for (Serial::IStreamIn* in : std::initializer_list<Serial::IStreamIn*>{&file, &memory, &gzFile, &gzMemory}) {
      Counted counted(*in);
      BinaryScanner scanner(counted);
      using Item = BinaryScanner::Item;
      Item item = scanner.Next();
      // Past the version header, whose fields are small.
      while (item == Item::EnterNode || item == Item::LeaveNode ||
             (item == Item::Field && scanner.field_size() != blob.size()))
        item = scanner.Next();
      EXPECT_EQ(item, *reason ? Item::Malformed : Item::Field);
      EXPECT_STREQ(scanner.error(), reason);
      if (!*reason) {
        EXPECT_TRUE(std::equal(blob.begin(), blob.end(), static_cast<const unsigned char*>(scanner.field_data())));
      }
      // Refused with the first read-ahead, not after gathering the rest.
      EXPECT_EQ(counted.bytes, *reason ? 64u * 1024 : bytes.size());
    }
  }
}

TEST_F(ReaderBudget, ProjectLoadsTakeTheirBudgetsFromTheLoadOptions) {
  // 2 MB of empty nodes: a tree of 16 MiB and more, from a file of a few KB.
  const Bytes root = Concat({Hex("18 01 04"), Utf16("Root")});
  const std::vector<BombRun> runs = [&] {
    std::vector<BombRun> all{{std::string(root.begin(), root.end()), 1}};
    for (const BombRun& run : Repeated(std::string("\x18\0\x19", 3), 700'000)) all.push_back(run);
    all.push_back({"\x19", 1});
    return all;
  }();
  const std::string gz = Gzip("nodes.gz", runs);
  const auto load = [&](const locmodel::LoadOptions& options) {
    std::unique_ptr<CResItem> item;
    const locmodel::Status file = locmodel::LoadProject(Path("nodes.gz"), item, options);
    const locmodel::Status memory = locmodel::LoadProjectFromMemory(
        reinterpret_cast<const unsigned char*>(gz.data()), gz.size(), item, options, Path("nodes.gz"));
    EXPECT_EQ(file.ToString(), memory.ToString());
    return file;
  };
  const locmodel::Status tooLarge = load({});
  EXPECT_EQ(tooLarge.kind(), locmodel::Status::Kind::kTooLarge);
  EXPECT_EQ(tooLarge.reason(), "the tree reader needs more than 64 times the file's size");
  EXPECT_NE(load({.tree_budget_multiple = 100'000}).kind(), locmodel::Status::Kind::kTooLarge);
  const locmodel::Status inflated = load({.inflate_limit = 1000});
  EXPECT_EQ(inflated.kind(), locmodel::Status::Kind::kTooLarge);
  EXPECT_EQ(inflated.reason(), Serial::InflateLimitError(1000));
}

}  // namespace
