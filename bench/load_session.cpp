#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <string_view>

#include "app/core/memory_tuning.hpp"
#include "app/core/session_document.hpp"
#include "session_generator.hpp"

extern char** environ;

namespace {

std::string document_path;
std::string document_bytes;

// Heap bytes in use and their high-water mark, counted by the allocation functions below while
// `counting` is set (only outside the timed loops).
bool counting = false;
std::size_t heap_in_use = 0;
std::size_t heap_peak = 0;

void note_allocation(void* block) {
  if (counting && block != nullptr) {
    heap_in_use += ::malloc_usable_size(block);
    heap_peak = std::max(heap_peak, heap_in_use);
  }
}

void note_release(void* block) {
  if (counting && block != nullptr) {
    heap_in_use -= std::min(heap_in_use, ::malloc_usable_size(block));
  }
}

// The most heap memory, in MiB, that one run of `work` holds at once.
double peak_heap_mebibytes(void (*work)()) {
  heap_in_use = 0;
  heap_peak = 0;
  counting = true;
  work();
  counting = false;
  return static_cast<double>(heap_peak) / (1024.0 * 1024.0);
}

// A resident-memory figure of this process, in KiB, from /proc/self/status ("VmRSS", "VmHWM").
long status_kibibytes(std::string_view field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field) && line.size() > field.size() && line[field.size()] == ':') {
      return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
  }
  return 0;
}

void load_and_free() {
  auto document = qm::load_session(document_path);
  if (!document) {
    std::fprintf(stderr, "load failed: %s\n", qm::error_report(document.error()).c_str());
    std::abort();
  }
  benchmark::DoNotOptimize(document->size());
}

void parse_and_free() {
  qm::Json document = qm::Json::parse(document_bytes);
  benchmark::DoNotOptimize(document.size());
}

// The resident memory, in MiB, that one run adds in a fresh process of this program: its peak
// minus what it held before the run (the plain parse starts with the bytes already in memory).
double peak_resident_mebibytes(const char* mode) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  int output[2];
  if (::pipe(output) != 0) {
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  std::string flag = std::string("--peak-of=") + mode;
  char* argv[] = {const_cast<char*>(self.c_str()), flag.data(), document_path.data(), nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  std::string text;
  char chunk[256];
  ssize_t count = 0;
  while ((count = ::read(output[0], chunk, sizeof chunk)) > 0) {
    text.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(output[0]);
  if (spawned != 0) {
    return -1;
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return std::strtod(text.c_str(), nullptr) / 1024.0;
}

int report_peak_of(std::string_view mode, const char* path) {
  document_path = path;
  if (mode == "parse") {
    qm::restore_default_allocator();
    std::ifstream in(document_path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    document_bytes = bytes.str();
  }
  const long before = status_kibibytes("VmRSS");
  mode == "parse" ? parse_and_free() : load_and_free();
  std::printf("%ld\n", status_kibibytes("VmHWM") - before);
  return 0;
}

void BM_load_session_and_free(benchmark::State& state) {
  for (auto _ : state) {
    load_and_free();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_bytes.size()));
  state.counters["peak_heap_MiB"] = peak_heap_mebibytes(load_and_free);
  state.counters["peak_rss_MiB"] = peak_resident_mebibytes("load");
}

// The plain parse runs with the allocator's default settings, as in a program that does not tune
// them; the viewer's own path runs with the settings its main() makes.
void BM_plain_nlohmann_parse_and_free(benchmark::State& state) {
  qm::restore_default_allocator();
  for (auto _ : state) {
    parse_and_free();
  }
  qm::tune_allocator_for_documents();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_bytes.size()));
  state.counters["peak_heap_MiB"] = peak_heap_mebibytes(parse_and_free);
  state.counters["peak_rss_MiB"] = peak_resident_mebibytes("parse");
}

// The same two without the cost of freeing the tree, which is alike for both.
void BM_load_session_only(benchmark::State& state) {
  for (auto _ : state) {
    auto document = qm::load_session(document_path);
    benchmark::DoNotOptimize(document.has_value());
    state.PauseTiming();
    document = qm::Json();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_bytes.size()));
}

void BM_plain_nlohmann_parse_only(benchmark::State& state) {
  qm::restore_default_allocator();
  for (auto _ : state) {
    qm::Json document = qm::Json::parse(document_bytes);
    benchmark::DoNotOptimize(document.size());
    state.PauseTiming();
    document = qm::Json();
    state.ResumeTiming();
  }
  qm::tune_allocator_for_documents();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_bytes.size()));
}

BENCHMARK(BM_load_session_and_free)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_plain_nlohmann_parse_and_free)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_load_session_only)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_plain_nlohmann_parse_only)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

// Replacements of the global allocation functions that count what they hand out; the compiler
// cannot see that these pair malloc and free on purpose.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  note_allocation(block);
  return block;
}
void* operator new[](std::size_t size) {
  return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  void* block = std::malloc(size == 0 ? 1 : size);
  note_allocation(block);
  return block;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, tag);
}
void operator delete(void* block) noexcept {
  note_release(block);
  std::free(block);
}
void operator delete[](void* block) noexcept {
  ::operator delete(block);
}
void operator delete(void* block, std::size_t) noexcept {
  ::operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  ::operator delete(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  ::operator delete(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  ::operator delete(block);
}
#pragma GCC diagnostic pop

int main(int argc, char** argv) {
  qm::tune_allocator_for_documents();
  if (argc == 3 && std::string_view(argv[1]).starts_with("--peak-of=")) {
    return report_peak_of(std::string_view(argv[1]).substr(10), argv[2]);
  }
  document_bytes = qm::bench::generate_session_document(31u << 20);
  std::string pattern =
      (std::filesystem::temp_directory_path() / "quillmesh-bench-XXXXXX.json").string();
  const int descriptor = ::mkstemps(pattern.data(), 5);
  if (descriptor < 0) {
    std::perror("mkstemps");
    return 1;
  }
  ::close(descriptor);
  document_path = pattern;
  std::ofstream(document_path, std::ios::binary) << document_bytes;
  std::fprintf(stderr, "session document: %zu bytes\n", document_bytes.size());

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(document_path);
  return 0;
}
