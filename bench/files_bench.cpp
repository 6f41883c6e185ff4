// Path text functions beside std::filesystem on the same paths; an external
// command beside a bare spawn and wait; output capture beside a bare read
// loop; the PE checksum beside a bare read of the same file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "heap_peak.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/path_util.h"
#include "locmodel/util/process_util.h"
#include "locmodel/util/unicode.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// 100,000 project paths: Windows and native forms, some "." and ".." parts.
struct PathSet {
  std::vector<std::u16string> ours;  // as project data carries them
  std::vector<fs::path> native;     // the same paths for the peer
  std::u16string base = u"C:\\Projects\\Product\\Localization";
  fs::path nativeBase = "/projects/product/localization";
};

const PathSet& Paths() {
  static const PathSet set = [] {
    PathSet s;
    std::mt19937 rng(7);
    const char* parts[] = {"src", "res", "Dialogs", "..", ".", "Strings", "de-DE", "build", "x64"};
    const char* files[] = {"main.rc", "app.resx", "menu.xml", "strings.properties"};
    for (int i = 0; i < 100000; ++i) {
      std::string rel;
      const int depth = 2 + static_cast<int>(rng() % 5);
      for (int d = 0; d < depth; ++d) rel += std::string(parts[rng() % 9]) + "/";
      rel += files[rng() % 4];
      std::string windows = rel;
      for (char& c : windows)
        if (c == '/') c = '\\';
      s.ours.push_back(locmodel::Utf8ToUtf16(i % 2 ? "C:\\Projects\\Product\\" + windows
                                                   : "/projects/product/" + rel));
      s.native.push_back("/projects/product/" + rel);
    }
    return s;
  }();
  return set;
}

template <typename F>
void OverPaths(benchmark::State& state, F f) {
  const PathSet& s = Paths();
  for (auto _ : state)
    for (size_t i = 0; i < s.ours.size(); ++i) benchmark::DoNotOptimize(f(s, i));
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(s.ours.size()));
}

void BM_NormalizePath(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return NormalizePath(s.ours[i]); }); }
void BM_CanonicalizePath(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return CanonicalizePath(s.ours[i]); }); }
void BM_GetAbsolutePath(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return GetAbsolutePath(s.base, s.ours[i]); }); }
void BM_GetRelativePath(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return GetRelativePath(s.base, s.ours[i]); }); }
void BM_FsLexicallyNormal(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return s.native[i].lexically_normal(); }); }
void BM_FsJoinNormal(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return (s.nativeBase / s.native[i].relative_path()).lexically_normal(); }); }
void BM_FsLexicallyRelative(benchmark::State& st) { OverPaths(st, [](const PathSet& s, size_t i) { return s.native[i].lexically_relative(s.nativeBase); }); }
BENCHMARK(BM_NormalizePath);
BENCHMARK(BM_FsLexicallyNormal);
BENCHMARK(BM_CanonicalizePath);
BENCHMARK(BM_GetAbsolutePath);
BENCHMARK(BM_FsJoinNormal);
BENCHMARK(BM_GetRelativePath);
BENCHMARK(BM_FsLexicallyRelative);

// --- Processes ---------------------------------------------------------------

void BM_ExecuteTrivial(benchmark::State& state) {
  for (auto _ : state) {
    unsigned long code = 0;
    std::u16string output;
    ExecuteExternalFileEx(code, output, false, u"/bin/true", u"", nullptr);
  }
}

// The floor: a bare spawn and wait of the same program.
void BM_SpawnFloor(benchmark::State& state) {
  char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
  for (auto _ : state) {
    pid_t pid;
    posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ);
    int status;
    waitpid(pid, &status, 0);
  }
}
BENCHMARK(BM_ExecuteTrivial)->UseRealTime();
BENCHMARK(BM_SpawnFloor)->UseRealTime();

constexpr int kCaptureMegabytes = 64;

struct CountingSink : IMessager {
  int64_t messages = 0;
  void OnNotifyMsg(CMgsId, const void*) override { ++messages; }
};

void Capture(benchmark::State& state, bool echo) {
  CountingSink sink;
  CMessageProxy::Instance().Register(sink);
  const std::u16string exe = locmodel::Utf8ToUtf16(LOCMODEL_EMIT_LINES);
  const std::u16string args = locmodel::Utf8ToUtf16(std::to_string(kCaptureMegabytes));
  long long peak = 0;
  for (auto _ : state) {
    unsigned long code = 0;
    std::u16string output;
    HeapPeak heap;
    ExecuteExternalFileEx(code, output, echo, exe.c_str(), args.c_str(), nullptr);
    benchmark::DoNotOptimize(output.data());
    peak = heap.Peak();
  }
  CMessageProxy::Instance().Unregister(sink);
  state.SetBytesProcessed(int64_t(state.iterations()) * (int64_t{kCaptureMegabytes} << 20));
  // Heap bytes at the peak per byte of output (the text alone is 2 per byte).
  state.counters["peak_per_byte"] = double(peak) / double(int64_t{kCaptureMegabytes} << 20);
  if (echo) state.counters["messages"] = benchmark::Counter(double(sink.messages), benchmark::Counter::kIsRate);
}

void BM_CaptureEchoOff(benchmark::State& state) { Capture(state, false); }
void BM_CaptureEchoOn(benchmark::State& state) { Capture(state, true); }

// The floor: the same child read into a byte string by a bare loop.
void BM_CaptureBareRead(benchmark::State& state) {
  const std::string mb = std::to_string(kCaptureMegabytes);
  char* argv[] = {const_cast<char*>(LOCMODEL_EMIT_LINES), const_cast<char*>(mb.c_str()), nullptr};
  for (auto _ : state) {
    int fds[2];
    pipe2(fds, O_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    pid_t pid;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string all;
    char block[10000];
    ssize_t got;
    while ((got = read(fds[0], block, sizeof block)) > 0) all.append(block, size_t(got));
    close(fds[0]);
    int status;
    waitpid(pid, &status, 0);
    benchmark::DoNotOptimize(all.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * (int64_t{kCaptureMegabytes} << 20));
}
BENCHMARK(BM_CaptureEchoOff)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureEchoOn)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureBareRead)->UseRealTime()->Unit(benchmark::kMillisecond);

// --- PE checksum ---------------------------------------------------------------

// A 256 MB file, written once, read from the page cache afterwards, and
// removed when the program ends.
struct BigFile {
  std::string path = (fs::temp_directory_path() / "locmodel-bench-checksum.bin").string();
  BigFile() {
    std::string block(1 << 20, '\0');
    std::mt19937 rng(3);
    for (char& c : block) c = static_cast<char>(rng());
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (int i = 0; i < 256; ++i) benchmark::DoNotOptimize(write(fd, block.data(), block.size()));
    close(fd);
  }
  ~BigFile() { unlink(path.c_str()); }
  static const std::string& Path() {
    static const BigFile file;
    return file.path;
  }
};

void BM_GetChecksum(benchmark::State& state) {
  const std::u16string path = locmodel::Utf8ToUtf16(BigFile::Path());
  for (auto _ : state) benchmark::DoNotOptimize(GetChecksum(path));
  state.SetBytesProcessed(int64_t(state.iterations()) * (int64_t{256} << 20));
}

void BM_ChecksumBareRead(benchmark::State& state) {
  std::vector<char> block(1 << 18);
  for (auto _ : state) {
    const int fd = open(BigFile::Path().c_str(), O_RDONLY);
    while (read(fd, block.data(), block.size()) > 0) benchmark::ClobberMemory();
    close(fd);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * (int64_t{256} << 20));
}
BENCHMARK(BM_GetChecksum)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChecksumBareRead)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
