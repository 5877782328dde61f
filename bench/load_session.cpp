// Loading a 31 MiB session document: the load of `--check-session`, a reload with the viewer's
// kept loader, and a plain nlohmann::json parse of the same bytes in the same run; then the
// resident memory of each, of the viewer holding the document, and of documents made of tiny
// values.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>

#include "app/session_file.hpp"
#include "counting_backend.hpp"
#include "input/navigation.hpp"
#include "model/initial_state.hpp"
#include "model/reload.hpp"
#include "session_generator.hpp"
#include "tui/terminal.hpp"
#include "ui/frame.hpp"

extern char** environ;

namespace {

std::string document_path;
std::size_t document_size = 0;

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

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

qm::DocumentPtr load_or_abort(qm::SessionLoader& loader, const std::string& path) {
  auto document = loader.load(path);
  if (!document) {
    std::fprintf(stderr, "load failed: %s\n", qm::error_report(document.error()).c_str());
    std::abort();
  }
  return std::move(*document);
}

// --- Measurements made in a child process of their own ------------------------------------------

// Prints the figures of one measurement, in KiB, each after a name.
int measure_in_child(std::string_view what, const std::string& path) {
  if (what == "load") {
    qm::SessionLoader loader;
    load_or_abort(loader, path);
    std::printf("peak %ld\n", status_kibibytes("VmHWM"));
  } else if (what == "parse") {
    // Reads the file as `--check-session` would, then parses it into a tree and frees it.
    {
      const nlohmann::json document = nlohmann::json::parse(read_file(path));
      benchmark::DoNotOptimize(document.size());
    }
    std::printf("peak %ld\n", status_kibibytes("VmHWM"));
  } else if (what == "viewer") {
    // The viewer after start (state built, one frame drawn), then after ten reloads.
    qm::SessionLoader loader;
    qm::AppState state = qm::build_initial_state(load_or_abort(loader, path), false, true);
    qm::reset_to_view(state, qm::View::topics);
    std::size_t bytes = 0;
    auto terminal = tui::Terminal::create(
        std::make_unique<qm::bench::CountingBackend>(&bytes, tui::Size{200, 60}));
    const auto draw = [&] {
      (void)terminal->draw([&](tui::Frame& frame) { qm::draw_frame(frame, state); });
    };
    draw();
    std::printf("start %ld\n", status_kibibytes("VmHWM"));
    for (int i = 0; i < 10; ++i) {
      qm::apply_reload(state, loader.load(path));
      draw();
    }
    std::printf("reloads %ld\n", status_kibibytes("VmHWM"));
    std::printf("resident %ld\n", status_kibibytes("VmRSS"));
  }
  return 0;
}

// Runs this program as `--measure=WHAT PATH` and returns the named figure, in MiB.
double child_figure(std::string_view what, const std::string& path, std::string_view name) {
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  int output[2];
  if (::pipe(output) != 0) {
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  std::string flag = "--measure=" + std::string(what);
  std::string file = path;
  char* argv[] = {self.data(), flag.data(), file.data(), nullptr};
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
  std::istringstream lines(text);
  std::string key;
  long kibibytes = 0;
  while (lines >> key >> kibibytes) {
    if (key == name) {
      return static_cast<double>(kibibytes) / 1024.0;
    }
  }
  return -1;
}

double times_document(double mebibytes, std::size_t size) {
  return mebibytes * 1024.0 * 1024.0 / static_cast<double>(size);
}

// --- Timed loads --------------------------------------------------------------------------------

// What `--check-session` does: a loader of its own, one load, and freeing everything again.
void BM_CheckSessionLoad(benchmark::State& state) {
  for (auto _ : state) {
    qm::SessionLoader loader;
    benchmark::DoNotOptimize(load_or_abort(loader, document_path).get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_size));
  state.counters["peak_rss_x"] =
      times_document(child_figure("load", document_path, "peak"), document_size);
}

// A reload in the viewer: the loader and its buffers are kept from one load to the next, and
// the previous document is freed when the new one replaces it.
void BM_ReloadWithKeptLoader(benchmark::State& state) {
  qm::SessionLoader loader;
  qm::DocumentPtr document = load_or_abort(loader, document_path);
  for (auto _ : state) {
    document = load_or_abort(loader, document_path);
    benchmark::DoNotOptimize(document.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_size));
}

// The baseline: the same file read and parsed into a plain nlohmann::json tree, then freed.
void BM_PlainNlohmannParse(benchmark::State& state) {
  for (auto _ : state) {
    const nlohmann::json document = nlohmann::json::parse(read_file(document_path));
    benchmark::DoNotOptimize(document.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document_size));
  state.counters["peak_rss_x"] =
      times_document(child_figure("parse", document_path, "peak"), document_size);
}

// Resident memory of the viewer holding the document, as multiples of its size.
void BM_ViewerMemory(benchmark::State& state) {
  for (auto _ : state) {
    state.counters["after_start_x"] =
        times_document(child_figure("viewer", document_path, "start"), document_size);
    state.counters["after_10_reloads_x"] =
        times_document(child_figure("viewer", document_path, "reloads"), document_size);
  }
}

// A document just under 32 MiB made only of one tiny value repeated: its peak resident memory
// while loading, as a multiple of its size.
void tiny_values_memory(benchmark::State& state, std::string_view value) {
  const std::string path = document_path + ".tiny.json";
  std::string text = "{\"schema\":\"quillmesh.terminal-session/1\",\"x\":[";
  const std::size_t limit = qm::session_size_limit - 4;
  text.reserve(limit);
  text += value;
  while (text.size() + value.size() + 3 < limit) {
    text += ',';
    text += value;
  }
  text += "]}";
  std::ofstream(path, std::ios::binary) << text;
  for (auto _ : state) {
    state.counters["peak_rss_x"] = times_document(child_figure("load", path, "peak"), text.size());
  }
  std::filesystem::remove(path);
}

void BM_MemoryOneByteStrings(benchmark::State& state) {
  tiny_values_memory(state, "\"a\"");
}
void BM_MemoryEmptyObjects(benchmark::State& state) {
  tiny_values_memory(state, "{}");
}
void BM_MemoryZeros(benchmark::State& state) {
  tiny_values_memory(state, "0");
}

BENCHMARK(BM_CheckSessionLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReloadWithKeptLoader)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainNlohmannParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ViewerMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemoryOneByteStrings)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemoryEmptyObjects)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemoryZeros)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]).starts_with("--measure=")) {
    return measure_in_child(std::string_view(argv[1]).substr(10), argv[2]);
  }
  const std::string document = qm::bench::generate_session_document(31u << 20);
  // `--write PATH` only writes the document, for measuring whole processes with hyperfine.
  if (argc == 3 && std::string_view(argv[1]) == "--write") {
    std::ofstream(argv[2], std::ios::binary) << document;
    return 0;
  }
  std::string pattern =
      (std::filesystem::temp_directory_path() / "quillmesh-bench-XXXXXX.json").string();
  const int descriptor = ::mkstemps(pattern.data(), 5);
  if (descriptor < 0) {
    std::perror("mkstemps");
    return 1;
  }
  ::close(descriptor);
  document_path = pattern;
  document_size = document.size();
  std::ofstream(document_path, std::ios::binary) << document;
  std::fprintf(stderr, "session document: %zu bytes\n", document_size);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(document_path);
  return 0;
}
