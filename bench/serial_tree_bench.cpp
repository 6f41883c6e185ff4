// The tree reader against the sequential reader on a project-like stream,
// and the memory the loaded tree costs per byte of input.
//
// Targets: Load plus a full read within 2.5x the time of BinarySerialIn
// reading the same stream, a single pass (Open) within 1.3x; the loaded tree
// under 3 MB per MB of input.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <ctime>
#include <string>
#include <vector>

#include "locmodel/serial/binary_scanner.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/serial_tree.h"
#include "locmodel/serial/values.h"
#include "synthetic_stream.h"

namespace {

constexpr size_t kStreamBytes = 50u << 20;

const std::vector<unsigned char>& ProjectStream() {
  static const std::vector<unsigned char> bytes = synthetic::MakeProjectLikeStream(kStreamBytes);
  return bytes;
}

// The same number of bytes as only 4-byte fields, either all in "Root" or
// each in an anonymous node of its own (a container of integers).
std::vector<unsigned char> IntFieldStream(size_t target_bytes, bool each_in_node) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut s(out);
    const size_t per_value = each_in_node ? 3 + 9 : 9;
    for (int i = 0; static_cast<size_t>(i) < target_bytes / per_value; ++i) {
      if (each_in_node) s.EnterNode(Serial::NodeName());
      Serial::Do(s, i);
      if (each_in_node) s.LeaveNode();
    }
  }
  return out.GetData();
}

// Small blocks and the large ones malloc maps on their own.
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// CPU time of this thread: the machine running the benchmarks is shared,
// and wall time would charge either reader for the other processes.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Minor page faults of this thread: fresh memory is a large part of the
// cost of either reader on a virtual machine, and the tree reader needs
// memory for the tree and the model at once.
long PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt;
}

// Each iteration reads the stream twice: sequentially, and through a freshly
// loaded tree (Load, the reading, and teardown), or a single pass (Open, the
// reading, Close). With `keep` the reading builds the whole model, as a host
// loading a project does; without, it walks every node and field but keeps
// one item per level, which leaves the readers' own costs.
void TreeVersusSequential(benchmark::State& state, bool keep, bool single_pass = false) {
  const std::vector<unsigned char>& bytes = ProjectStream();
  const auto size = static_cast<uint32_t>(bytes.size());
  double tree_time = 0, sequential_time = 0;
  long tree_faults = 0, sequential_faults = 0;
  for (auto _ : state) {
    const long start_faults = PageFaults();
    const double start = CpuSeconds();
    {
      Serial::MemoryStreamIn in(bytes.data(), size);
      Serial::Binary::BinarySerialIn reader(in);
      synthetic::Item project;
      project.Do(reader, keep);
      benchmark::DoNotOptimize(project.children.size());
    }
    const double middle = CpuSeconds();
    const long middle_faults = PageFaults();
    {
      Serial::MemoryStreamIn in(bytes.data(), size);
      Serial::Binary::BinarySerialTreeIn tree;
      single_pass ? tree.Open(in) : tree.Load(in);
      synthetic::Item project;
      project.Do(tree, keep);
      if (single_pass) tree.Close();
      benchmark::DoNotOptimize(project.children.size());
    }
    const double end = CpuSeconds();
    tree_faults += PageFaults() - middle_faults;
    sequential_faults += middle_faults - start_faults;
    sequential_time += middle - start;
    tree_time += end - middle;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["input_MB"] = bytes.size() / 1048576.0;
  state.counters["sequential_s"] = sequential_time / n;
  state.counters["tree_s"] = tree_time / n;
  state.counters["tree_over_sequential"] = tree_time / sequential_time;
  state.counters["sequential_page_faults"] = sequential_faults / n;
  state.counters["tree_page_faults"] = tree_faults / n;
}

void BM_Tree_VersusSequential_Model(benchmark::State& state) { TreeVersusSequential(state, true); }
BENCHMARK(BM_Tree_VersusSequential_Model)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Tree_VersusSequential_Walk(benchmark::State& state) { TreeVersusSequential(state, false); }
BENCHMARK(BM_Tree_VersusSequential_Walk)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Tree_VersusSequential_SinglePass(benchmark::State& state) { TreeVersusSequential(state, true, true); }
BENCHMARK(BM_Tree_VersusSequential_SinglePass)->Iterations(3)->Unit(benchmark::kMillisecond);

// Load alone, for the throughput of building the tree.
void BM_Tree_Load(benchmark::State& state) {
  const std::vector<unsigned char>& bytes = ProjectStream();
  for (auto _ : state) {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    tree.Load(in);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Tree_Load)->Iterations(3)->Unit(benchmark::kMillisecond);

// A hostile shape: a million distinct names under one node. Lookups are
// indexed past a few siblings, so this must stay linear.
void BM_Tree_Load_MillionDistinctSiblings(benchmark::State& state) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut s(out);
    for (uint32_t i = 0; i < 1000000; ++i) {
      const char16_t name[] = {char16_t(u'A' + i % 64), char16_t(u'A' + i / 64 % 128), char16_t(u'A' + i / 8192)};
      s.EnterNode(Serial::NodeName(std::u16string(name, 3)));
      s.LeaveNode();
    }
  }
  const std::vector<unsigned char>& bytes = out.GetData();
  for (auto _ : state) {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    tree.Load(in);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1000000);
}
BENCHMARK(BM_Tree_Load_MillionDistinctSiblings)->Iterations(3)->Unit(benchmark::kMillisecond);

// Heap held by the loaded tree per byte of input. The scanner's buffers are
// gone once Load returns, so what remains is the tree, which only grows
// while loading: this is its peak.
//
// The counters say what the stream is made of, per MB of input: nodes (20
// bytes each in the tree), fields (12 bytes each) and bytes of fields longer
// than 4 (held in shared blocks, 8 bytes more each), of which 1 KB blobs.
void TreeMemory(benchmark::State& state, const std::vector<unsigned char>& bytes) {
  double ratio = 0;
  for (auto _ : state) {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    const size_t before = HeapInUse();
    tree.Load(in);
    ratio = static_cast<double>(HeapInUse() - before) / bytes.size();
  }
  const double input_mb = bytes.size() / 1048576.0;
  state.counters["input_MB"] = input_mb;
  state.counters["tree_MB_per_input_MB"] = ratio;

  double nodes = 0, fields = 0, large_bytes = 0, blob_bytes = 0;
  Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
  Serial::Binary::BinaryScanner scanner(in);
  for (auto item = scanner.Next(); item != Serial::Binary::BinaryScanner::Item::End; item = scanner.Next()) {
    if (item == Serial::Binary::BinaryScanner::Item::EnterNode) ++nodes;
    if (item == Serial::Binary::BinaryScanner::Item::Field) {
      ++fields;
      if (scanner.field_size() > 4) large_bytes += scanner.field_size();
      if (scanner.field_size() >= 1024) blob_bytes += scanner.field_size();
    }
  }
  state.counters["nodes_per_MB"] = nodes / input_mb;
  state.counters["fields_per_MB"] = fields / input_mb;
  state.counters["large_field_MB_per_MB"] = large_bytes / bytes.size();
  state.counters["blob_MB_per_MB"] = blob_bytes / bytes.size();
}

void BM_Tree_Memory_ProjectLike(benchmark::State& state) { TreeMemory(state, ProjectStream()); }
BENCHMARK(BM_Tree_Memory_ProjectLike)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Tree_Memory_IntFieldsInRoot(benchmark::State& state) {
  TreeMemory(state, IntFieldStream(kStreamBytes, false));
}
BENCHMARK(BM_Tree_Memory_IntFieldsInRoot)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Tree_Memory_IntFieldsInNodes(benchmark::State& state) {
  TreeMemory(state, IntFieldStream(kStreamBytes, true));
}
BENCHMARK(BM_Tree_Memory_IntFieldsInNodes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
