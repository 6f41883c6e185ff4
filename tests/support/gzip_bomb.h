// Gzip files that expand to far more than their size, written in moments: a
// repeated run is compressed once after a full flush (which resets the
// compressor, so the same input gives the same bytes again) and those bytes
// are written as often as the run repeats.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testing_support {

// `bytes` written `times` times over.
struct BombRun {
  std::string bytes;
  uint64_t times = 1;
};

// Runs of the decompressed stream, in order.
inline void WriteGzipBomb(const std::string& path, const std::vector<BombRun>& runs) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  z_stream z{};
  ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
  const auto compress = [&](const std::string& in, int flush) {
    std::string out(deflateBound(&z, in.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_NE(deflate(&z, flush), Z_STREAM_ERROR);
    out.resize(out.size() - z.avail_out);
    return out;
  };
  const unsigned char header[10] = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3};
  std::fwrite(header, 1, sizeof header, file);
  uLong crc = crc32(0, nullptr, 0);
  uint64_t size = 0;
  for (const BombRun& run : runs) {
    const std::string once = compress(run.bytes, Z_FULL_FLUSH);
    std::fwrite(once.data(), 1, once.size(), file);
    const std::string again = run.times > 1 ? compress(run.bytes, Z_FULL_FLUSH) : std::string();
    for (uint64_t i = 1; i < run.times; ++i) std::fwrite(again.data(), 1, again.size(), file);
    const uLong runCrc = crc32(0, reinterpret_cast<const Bytef*>(run.bytes.data()),
                               static_cast<uInt>(run.bytes.size()));
    for (uint64_t i = 0; i < run.times; ++i) crc = crc32_combine(crc, runCrc, static_cast<z_off_t>(run.bytes.size()));
    size += run.bytes.size() * run.times;
  }
  const std::string end = compress("", Z_FINISH);
  std::fwrite(end.data(), 1, end.size(), file);
  deflateEnd(&z);
  std::string trailer;  // the CRC-32 and the size modulo 2^32, little-endian
  for (int i = 0; i < 8; ++i) trailer += static_cast<char>((i < 4 ? uint64_t{crc} : size) >> 8 * (i % 4));
  std::fwrite(trailer.data(), 1, trailer.size(), file);
  std::fclose(file);
}

// `unit` written `count` times, as runs of about a megabyte.
inline std::vector<BombRun> Repeated(const std::string& unit, uint64_t count) {
  const uint64_t perBlock = std::max<uint64_t>(1, (uint64_t{1} << 20) / unit.size());
  const auto times = [&](uint64_t n) {
    std::string bytes;
    for (uint64_t i = 0; i < n; ++i) bytes += unit;
    return bytes;
  };
  std::vector<BombRun> runs;
  if (count >= perBlock) runs.push_back({times(perBlock), count / perBlock});
  if (count % perBlock) runs.push_back({times(count % perBlock), 1});
  return runs;
}

}  // namespace testing_support
