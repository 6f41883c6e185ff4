// Throughput of the binary serial format: our writer and sequential reader
// over memory streams, against
//  - a raw baseline that writes and parses exactly the same bytes inline
//    (no interfaces, no virtual calls, straight into a byte vector), which is
//    what the format itself costs;
//  - cereal's binary archive moving the same logical values (header-only,
//    used here and nowhere in the library);
// and our writer and reader over a gzip file at level 2, as job files use.
//
// All codecs move the records of serial_bench_data.h (about 50 MB of serial
// stream). Bytes processed are the size of our stream for every benchmark,
// so the MB/s figures compare the same logical data; the "stream_MB" counter
// gives what each codec actually produced (or, for gzip, the file size).
// Each benchmark checks its result after the timed loop: writers of our
// format must reproduce the reference stream byte for byte, readers must
// give back the original records.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <bit>
#include <cereal/archives/binary.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/vector.hpp>
#include <filesystem>
#include <istream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string_view>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/values.h"
#include "locmodel/util/unicode.h"
#include "serial_bench_data.h"
#include "locmodel/util/coding.h"

namespace locmodel::bench {

// cereal finds these by argument-dependent lookup.
template <class Archive>
void serialize(Archive& a, Property& p) {
  a(p.key, p.value);
}
template <class Archive>
void serialize(Archive& a, Translation& t) {
  a(t.lang, t.state, t.text);
}
template <class Archive>
void serialize(Archive& a, Record& r) {
  a(r.id, r.type, r.name, r.props, r.translations, r.blob);
}

namespace {

// About 50 MB of serial stream.
constexpr size_t kRecordCount = 104000;

// Mutable because our writers take it through Do, which serves both
// directions; nothing changes it.
std::vector<Record>& Records() {
  static std::vector<Record> records = RecordGenerator(kSeed).Generate(kRecordCount);
  return records;
}

// ---------------------------------------------------------------------------
// Our format, through ISerialStream and the free Do functions. The stream is
//   Root { count, per record an anonymous node {
//     id, type, "Name" { name }, "Props" { count, anonymous { key, value }... },
//     "Trans" { count, anonymous { lang, state, text }... }, "Data" { blob } } }

const Serial::NodeName kAnonymous;
const Serial::NodeName kNameNode(u"Name");
const Serial::NodeName kPropsNode(u"Props");
const Serial::NodeName kTransNode(u"Trans");
const Serial::NodeName kDataNode(u"Data");

template <typename Fn>
bool DoInNode(Serial::ISerialStream& s, const Serial::NodeName& name, Fn&& member) {
  if (!s.EnterNode(name)) return true;
  const bool ok = member();
  s.LeaveNode();
  return ok;
}

template <typename T, typename Fn>
bool DoList(Serial::ISerialStream& s, std::vector<T>& list, Fn&& element) {
  int count = static_cast<int>(list.size());
  if (!Serial::Do(s, count) || count < 0) return false;
  // The input is the benchmark's own stream, so the count may size the
  // vector up front, as cereal and the raw parser do too.
  if (s.IsReading()) list.resize(static_cast<size_t>(count));
  for (T& e : list)
    if (!DoInNode(s, kAnonymous, [&] { return element(e); })) return false;
  return true;
}

bool DoBlob(Serial::ISerialStream& s, std::vector<unsigned char>& blob) {
  if (!s.IsReading()) {
    s.WriteField(static_cast<unsigned int>(blob.size()), blob.data());
    return true;
  }
  unsigned int size = 0;
  const auto* data = static_cast<const unsigned char*>(s.ReadField(size));
  if (!data) return false;
  blob.assign(data, data + size);
  return true;
}

bool DoRecord(Serial::ISerialStream& s, Record& r) {
  using Serial::Do;
  return Do(s, r.id) && Do(s, r.type) && DoInNode(s, kNameNode, [&] { return Do(s, r.name); }) &&
         DoInNode(s, kPropsNode,
                  [&] {
                    return DoList(s, r.props,
                                  [&](Property& p) { return Do(s, p.key) && Do(s, p.value); });
                  }) &&
         DoInNode(s, kTransNode,
                  [&] {
                    return DoList(s, r.translations, [&](Translation& t) {
                      return Do(s, t.lang) && Do(s, t.state) && Do(s, t.text);
                    });
                  }) &&
         DoInNode(s, kDataNode, [&] { return DoBlob(s, r.blob); });
}

bool DoRecords(Serial::ISerialStream& s, std::vector<Record>& records) {
  return DoList(s, records, [&](Record& r) { return DoRecord(s, r); });
}

bool WriteOurs(Serial::IStreamOut& out) {
  Serial::Binary::BinarySerialOut writer(out);
  return DoRecords(writer, Records());
}

bool ReadOurs(Serial::IStreamIn& in, std::vector<Record>& records) {
  try {
    Serial::Binary::BinarySerialIn reader(in);
    return DoRecords(reader, records);
  } catch (const Serial::Exceptions::FormatIO&) {
    return false;
  }
}

// The reference stream every reader parses and every writer of the format
// must reproduce byte for byte.
const std::vector<unsigned char>& OurStream() {
  static const std::vector<unsigned char> bytes = [] {
    Serial::MemoryStreamOut out;
    WriteOurs(out);
    return out.GetData();
  }();
  return bytes;
}

// ---------------------------------------------------------------------------
// The raw baseline: the same tags, names and fields, written and parsed by
// inline code on a byte vector. Code units travel as they lie in memory, as
// the library does on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

constexpr unsigned char kTagEnter = 0x18;
constexpr unsigned char kTagLeave = 0x19;
constexpr unsigned char kTagField = 0x1A;

class RawWriter {
 public:
  explicit RawWriter(std::vector<unsigned char>& out) : out_(out) {}

  void Enter(std::u16string_view name) {
    const unsigned char head[3] = {kTagEnter, 1, static_cast<unsigned char>(name.size())};
    Append(head, 3);
    Append(name.data(), 2 * name.size());
  }
  void EnterAnonymous() {
    const unsigned char head[2] = {kTagEnter, 0};
    Append(head, 2);
  }
  void Leave() { out_.push_back(kTagLeave); }
  void Field(const void* data, size_t size) {
    unsigned char head[5] = {kTagField};
    coding::EncodeFixed32(head + 1, static_cast<uint32_t>(size));
    Append(head, 5);
    Append(data, size);
  }
  template <typename T>
  void Int(T value) {
    unsigned char bytes[4];
    coding::EncodeFixed<T>(bytes, value);
    Field(bytes, 4);
  }
  void String(const std::u16string& text) { Field(text.data(), 2 * text.size()); }

 private:
  void Append(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    out_.insert(out_.end(), p, p + size);
  }

  std::vector<unsigned char>& out_;
};

class RawReader {
 public:
  RawReader(const unsigned char* data, size_t size) : p_(data), end_(data + size) {}

  void Enter(std::u16string_view name) {
    Expect(Byte() == kTagEnter && Byte() == 1 && Byte() == name.size());
    Expect(Left() >= 2 * name.size());
    for (char16_t c : name) {
      Expect(coding::DecodeFixed<uint16_t>(p_) == c);
      p_ += 2;
    }
  }
  // Any type byte other than 1 and 2 names an anonymous node.
  void EnterAnonymous() {
    Expect(Byte() == kTagEnter);
    const unsigned char type = Byte();
    Expect(type != 1 && type != 2);
  }
  void Leave() { Expect(Byte() == kTagLeave); }
  const unsigned char* Field(uint32_t& size) {
    Expect(Byte() == kTagField && Left() >= 4);
    size = coding::DecodeFixed32(p_);
    p_ += 4;
    Expect(Left() >= size);
    const unsigned char* data = p_;
    p_ += size;
    return data;
  }
  template <typename T>
  void Int(T& value) {
    uint32_t size = 0;
    const unsigned char* data = Field(size);
    Expect(size == 4);
    value = coding::DecodeFixed<T>(data);
  }
  void String(std::u16string& text) {
    uint32_t size = 0;
    const unsigned char* data = Field(size);
    Expect(size % 2 == 0);
    coding::DecodeUtf16(text, data, size / 2);
  }
  void Blob(std::vector<unsigned char>& blob) {
    uint32_t size = 0;
    const unsigned char* data = Field(size);
    blob.assign(data, data + size);
  }

 private:
  static void Expect(bool ok) {
    if (!ok) throw Serial::Exceptions::FormatIO();
  }
  size_t Left() const { return static_cast<size_t>(end_ - p_); }
  unsigned char Byte() {
    Expect(p_ != end_);
    return *p_++;
  }

  const unsigned char* p_;
  const unsigned char* end_;
};

constexpr std::u16string_view kVersionNames[] = {u"Major", u"Minor", u"Build", u"SubBuild"};

void RawWrite(std::vector<unsigned char>& out, const std::vector<Record>& records) {
  RawWriter w(out);
  const Serial::VersionInfo v = Serial::CURRENT_SCHEME_VERSION;
  const uint32_t numbers[] = {v.getMajor(), v.getMinor(), v.getBuild(), v.getSubBuild()};
  for (size_t i = 0; i < 4; ++i) {
    w.Enter(kVersionNames[i]);
    w.Int(numbers[i]);
    w.Leave();
  }
  w.Enter(u"Root");
  w.Int(static_cast<int32_t>(records.size()));
  for (const Record& r : records) {
    w.EnterAnonymous();
    w.Int(r.id);
    w.Int(r.type);
    w.Enter(u"Name");
    w.String(r.name);
    w.Leave();
    w.Enter(u"Props");
    w.Int(static_cast<int32_t>(r.props.size()));
    for (const Property& p : r.props) {
      w.EnterAnonymous();
      w.Int(p.key);
      w.String(p.value);
      w.Leave();
    }
    w.Leave();
    w.Enter(u"Trans");
    w.Int(static_cast<int32_t>(r.translations.size()));
    for (const Translation& t : r.translations) {
      w.EnterAnonymous();
      w.Int(t.lang);
      w.Int(t.state);
      w.String(t.text);
      w.Leave();
    }
    w.Leave();
    w.Enter(u"Data");
    w.Field(r.blob.data(), r.blob.size());
    w.Leave();
    w.Leave();
  }
  w.Leave();
}

template <typename T>
void RawList(RawReader& rd, std::vector<T>& list) {
  int32_t count = 0;
  rd.Int(count);
  if (count < 0) throw Serial::Exceptions::FormatIO();
  list.resize(static_cast<size_t>(count));
}

bool RawRead(const std::vector<unsigned char>& in, std::vector<Record>& records) {
  try {
    RawReader rd(in.data(), in.size());
    uint32_t version[4];
    for (size_t i = 0; i < 4; ++i) {
      rd.Enter(kVersionNames[i]);
      rd.Int(version[i]);
      rd.Leave();
    }
    rd.Enter(u"Root");
    RawList(rd, records);
    for (Record& r : records) {
      rd.EnterAnonymous();
      rd.Int(r.id);
      rd.Int(r.type);
      rd.Enter(u"Name");
      rd.String(r.name);
      rd.Leave();
      rd.Enter(u"Props");
      RawList(rd, r.props);
      for (Property& p : r.props) {
        rd.EnterAnonymous();
        rd.Int(p.key);
        rd.String(p.value);
        rd.Leave();
      }
      rd.Leave();
      rd.Enter(u"Trans");
      RawList(rd, r.translations);
      for (Translation& t : r.translations) {
        rd.EnterAnonymous();
        rd.Int(t.lang);
        rd.Int(t.state);
        rd.String(t.text);
        rd.Leave();
      }
      rd.Leave();
      rd.Enter(u"Data");
      rd.Blob(r.blob);
      rd.Leave();
      rd.Leave();
    }
    return Serial::VersionInfo(version[0], version[1], version[2], version[3]) ==
           Serial::CURRENT_SCHEME_VERSION;
  } catch (const Serial::Exceptions::FormatIO&) {
    return false;
  }
}

// ---------------------------------------------------------------------------
// cereal streams through std::streambuf; these two give it the same byte
// vector sink and in-place memory source the other codecs have.
class VectorSink : public std::streambuf {
 public:
  explicit VectorSink(std::vector<unsigned char>& out) : out_(out) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    out_.insert(out_.end(), s, s + n);
    return n;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
      out_.push_back(static_cast<unsigned char>(c));
    return traits_type::not_eof(c);
  }

 private:
  std::vector<unsigned char>& out_;
};

class MemorySource : public std::streambuf {
 public:
  explicit MemorySource(const std::vector<unsigned char>& in) {
    char* begin = reinterpret_cast<char*>(const_cast<unsigned char*>(in.data()));
    setg(begin, begin, begin + in.size());
  }
};

void CerealWrite(std::vector<unsigned char>& out, const std::vector<Record>& records) {
  VectorSink sink(out);
  std::ostream os(&sink);
  cereal::BinaryOutputArchive archive(os);
  archive(records);
}

bool CerealRead(const std::vector<unsigned char>& in, std::vector<Record>& records) {
  MemorySource source(in);
  std::istream is(&source);
  cereal::BinaryInputArchive archive(is);
  try {
    archive(records);
  } catch (const cereal::Exception&) {
    return false;
  }
  return true;
}

const std::vector<unsigned char>& CerealStream() {
  static const std::vector<unsigned char> bytes = [] {
    std::vector<unsigned char> out;
    CerealWrite(out, Records());
    return out;
  }();
  return bytes;
}

// ---------------------------------------------------------------------------
// Benchmarks.

void Report(benchmark::State& state, size_t produced) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(OurStream().size()));
  state.counters["stream_MB"] = static_cast<double>(produced) / 1e6;
}

// Writers run with two sinks. Fresh: every iteration starts from an empty
// vector, as a new MemoryStreamOut does, so the vector's growth (copies and
// the page faults of new memory) is timed too, alike for every codec.
// Reused: the previous iteration's vector is cleared and refilled, which
// leaves only the cost of encoding.
enum SinkMode : int64_t { kFreshSink, kReusedSink };

// MemoryStreamOut's append, over a vector that outlives the stream.
class VectorStreamOut final : public Serial::IStreamOut {
 public:
  explicit VectorStreamOut(std::vector<unsigned char>& out) : out_(out) {}
  uint32_t write(const void* buffer, uint32_t count) override {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    out_.insert(out_.end(), bytes, bytes + count);
    return count;
  }

 private:
  std::vector<unsigned char>& out_;
};

template <typename Write>
void RunWriter(benchmark::State& state, const std::vector<unsigned char>& expected, Write write) {
  // The first pass, untimed, grows the reused vector and warms the caches.
  std::vector<unsigned char> out;
  write(out);
  for (auto _ : state) {
    if (state.range(0) == kFreshSink) std::vector<unsigned char>().swap(out);
    else out.clear();
    write(out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != expected) state.SkipWithError("output differs from the reference stream");
  Report(state, out.size());
}

void BM_OursWrite(benchmark::State& state) {
  if (state.range(0) == kReusedSink) {
    RunWriter(state, OurStream(), [](std::vector<unsigned char>& out) {
      VectorStreamOut sink(out);
      WriteOurs(sink);
    });
    return;
  }
  OurStream();
  // Each iteration frees the output of the one before, as RunWriter does.
  std::unique_ptr<Serial::MemoryStreamOut> last;
  for (auto _ : state) {
    auto out = std::make_unique<Serial::MemoryStreamOut>();
    WriteOurs(*out);
    benchmark::DoNotOptimize(out->GetData().data());
    last = std::move(out);
  }
  if (!last || last->GetData() != OurStream()) state.SkipWithError("writer output differs");
  Report(state, last ? last->GetData().size() : 0);
}

void BM_RawWrite(benchmark::State& state) {
  RunWriter(state, OurStream(), [](std::vector<unsigned char>& out) { RawWrite(out, Records()); });
}

void BM_CerealWrite(benchmark::State& state) {
  OurStream();
  RunWriter(state, CerealStream(),
            [](std::vector<unsigned char>& out) { CerealWrite(out, Records()); });
}

// Readers decode into one record vector that lives across iterations. The
// first pass, untimed, allocates its strings and vectors; later passes reuse
// their capacity, so the timing is of decoding, not of malloc.
template <typename Read>
void RunReader(benchmark::State& state, size_t stream_size, Read read) {
  std::vector<Record> records;
  bool ok = read(records);
  for (auto _ : state) ok = read(records) && ok;
  if (!ok || records != Records()) state.SkipWithError("decoded records differ from the originals");
  Report(state, stream_size);
}

void BM_OursRead(benchmark::State& state) {
  const std::vector<unsigned char>& bytes = OurStream();
  RunReader(state, bytes.size(), [&](std::vector<Record>& records) {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return ReadOurs(in, records);
  });
}

void BM_RawRead(benchmark::State& state) {
  const std::vector<unsigned char>& bytes = OurStream();
  RunReader(state, bytes.size(),
            [&](std::vector<Record>& records) { return RawRead(bytes, records); });
}

void BM_CerealRead(benchmark::State& state) {
  OurStream();
  const std::vector<unsigned char>& bytes = CerealStream();
  RunReader(state, bytes.size(),
            [&](std::vector<Record>& records) { return CerealRead(bytes, records); });
}

std::u16string TempGzPath() {
  const auto path = std::filesystem::temp_directory_path() /
                    ("locmodel_serial_bench_" + std::to_string(::getpid()) + ".gz");
  return Utf8ToUtf16(path.string());
}

size_t FileSize(const std::u16string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(Utf16ToUtf8(path), ec);
  return ec ? 0 : static_cast<size_t>(size);
}

void BM_OursGzWrite(benchmark::State& state) {
  OurStream();
  const std::u16string path = TempGzPath();
  bool opened = true;
  for (auto _ : state) {
    // The file is complete only once the stream is closed: that is timed too.
    Serial::GZFileStreamOut out(path, 2);
    opened = out.IsOpen() && opened;
    WriteOurs(out);
  }
  const size_t size = FileSize(path);
  std::filesystem::remove(Utf16ToUtf8(path));
  if (!opened || size == 0) state.SkipWithError("cannot write the temporary gzip file");
  Report(state, size);
}

void BM_OursGzRead(benchmark::State& state) {
  const std::vector<unsigned char>& bytes = OurStream();
  const std::u16string path = TempGzPath();
  {
    Serial::GZFileStreamOut out(path, 2);
    out.write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  RunReader(state, FileSize(path), [&](std::vector<Record>& records) {
    Serial::GZFileStreamIn in(path);
    return ReadOurs(in, records);
  });
  std::filesystem::remove(Utf16ToUtf8(path));
}

// Each iteration moves about 50 MB: milliseconds are the natural unit.
#define SERIAL_BENCHMARK(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)
SERIAL_BENCHMARK(BM_OursWrite)->ArgName("reused_sink")->Arg(kFreshSink)->Arg(kReusedSink);
SERIAL_BENCHMARK(BM_RawWrite)->ArgName("reused_sink")->Arg(kFreshSink)->Arg(kReusedSink);
SERIAL_BENCHMARK(BM_CerealWrite)->ArgName("reused_sink")->Arg(kFreshSink)->Arg(kReusedSink);
SERIAL_BENCHMARK(BM_OursRead);
SERIAL_BENCHMARK(BM_RawRead);
SERIAL_BENCHMARK(BM_CerealRead);
SERIAL_BENCHMARK(BM_OursGzWrite);
SERIAL_BENCHMARK(BM_OursGzRead);

}  // namespace
}  // namespace locmodel::bench
