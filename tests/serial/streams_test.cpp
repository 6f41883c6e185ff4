#include "locmodel/serial/streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "locmodel/util/unicode.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Serial::GZFileStreamIn;
using Serial::GZFileStreamOut;

class StreamFiles : public testing_support::TempDirTest {
 protected:
  static std::string ReadAll(Serial::IStreamIn& in) {
    std::string all;
    char buffer[7];  // an odd size, so reads straddle every boundary
    while (uint32_t n = in.read(buffer, sizeof buffer)) all.append(buffer, n);
    return all;
  }
};

TEST(MemoryStreams, ReadShortAtTheEndAndAppendInOrder) {
  const char data[10] = {};
  Serial::MemoryStreamIn in(data, 10);
  char buffer[4];
  for (uint32_t expected : {4u, 4u, 2u, 0u}) EXPECT_EQ(in.read(buffer, 4), expected);

  Serial::MemoryStreamIn empty(nullptr, 0);
  EXPECT_EQ(empty.read(buffer, 4), 0u);

  Serial::MemoryStreamOut out;
  EXPECT_TRUE(out.write("ab", 2) == 2u && out.write("cde", 3) == 3u && out.write("x", 0) == 0u);
  EXPECT_EQ(std::string(out.GetData().begin(), out.GetData().end()), "abcde");
}

TEST_F(StreamFiles, PlainAndGzipFilesRoundTrip) {
  std::string payload;
  for (int i = 0; i < 100000; ++i) payload += static_cast<char>(i * 7);
  fs::create_directories(dir_ / "sub");
  {
    Serial::FileStreamOut plain(Path("sub") + u"\\a.bin");  // backslashes are separators
    GZFileStreamOut gz(Path("a.gz"), 2);
    ASSERT_TRUE(plain.IsOpen() && gz.IsOpen());
    EXPECT_EQ(plain.write(payload.data(), static_cast<uint32_t>(payload.size())), payload.size());
    EXPECT_EQ(gz.write(payload.data(), static_cast<uint32_t>(payload.size())), payload.size());
  }
  Serial::FileStreamIn plain(Path("sub/a.bin"));
  GZFileStreamIn gz(Path("a.gz"));
  EXPECT_EQ(ReadAll(plain), payload);
  EXPECT_EQ(ReadAll(gz), payload);
  EXPECT_FALSE(gz.HasError());
  // Reading on past the end is not an error.
  char c;
  EXPECT_EQ(plain.read(&c, 1), 0u);
  EXPECT_EQ(gz.read(&c, 1), 0u);
  // A gzip file really is compressed; a plain file reads through the gzip stream.
  EXPECT_LT(fs::file_size(dir_ / "a.gz"), payload.size());
  GZFileStreamIn plainThroughGz(Path("sub/a.bin"));
  EXPECT_EQ(ReadAll(plainThroughGz), payload);
}

TEST_F(StreamFiles, StreamsWithoutAHandleMoveNothing) {
  GZFileStreamOut tooHigh(Path("level10.gz"), 10);
  EXPECT_FALSE(tooHigh.IsOpen());
  EXPECT_EQ(tooHigh.write("abc", 3), 0u);
  EXPECT_FALSE(fs::exists(dir_ / "level10.gz"));
  for (uint32_t level : {0u, 9u}) {
    GZFileStreamOut ok(Path("level" + std::to_string(level) + ".gz"), level);
    EXPECT_TRUE(ok.IsOpen());
  }

  char buffer[4];
  EXPECT_EQ(Serial::FileStreamIn(Path("missing.bin")).read(buffer, 4), 0u);
  EXPECT_EQ(GZFileStreamIn(Path("missing.gz")).read(buffer, 4), 0u);
  EXPECT_EQ(Serial::FileStreamOut(Path("no/such/folder/x.bin")).write("abc", 3), 0u);
}

}  // namespace
