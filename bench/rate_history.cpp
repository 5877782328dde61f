// Recording every topic's rate on a reload of the generated 32 MiB document beside the reload
// itself, the memory the history takes once full, and drawing the rate history panel.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/session_file.hpp"
#include "input/navigation.hpp"
#include "model/initial_state.hpp"
#include "model/reload.hpp"
#include "session_generator.hpp"
#include "ui/rate_history_overlay.hpp"

namespace {

using std::chrono::seconds;
using std::chrono::steady_clock;

std::string generated_session_path;

// The generated document with its rate entries where a live backend writes them: each topic's
// entry under `current.rates.topics`, measured, with its mean rate.
std::string with_measured_rates(std::string document) {
  const std::string rates = "\"rates\":{";
  const std::size_t start = document.find(rates);
  document.insert(start + rates.size(), "\"topics\":{");
  const std::string after = "},\"tf\":{\"frames\":[";
  document.insert(document.find(after, start), "}");
  const std::string old_key = "{\"hz\":";
  const std::string new_key = "{\"status\":\"measured\",\"mean_rate_hz\":";
  std::string out;
  out.reserve(document.size() + document.size() / 8);
  std::size_t from = 0;
  for (std::size_t at; (at = document.find(old_key, from)) != std::string::npos;) {
    out.append(document, from, at - from);
    out += new_key;
    from = at + old_key.size();
  }
  out.append(document, from);
  return out;
}

const std::string& large_session_file() {
  if (generated_session_path.empty()) {
    generated_session_path = (std::filesystem::temp_directory_path() /
                              ("quillmesh-rate-bench-" + std::to_string(::getpid()) + ".json"))
                                 .string();
    std::ofstream(generated_session_path, std::ios::binary)
        << with_measured_rates(qm::bench::generate_session_document(33'000'000));
  }
  return generated_session_path;
}

// The viewer's reload of the 32 MiB document, the recording of its rates included: load with the
// kept loader, new model and rows, selection kept.
void BM_Reload(benchmark::State& state) {
  const std::string path = large_session_file();
  qm::SessionLoader loader;
  qm::AppState app = qm::build_initial_state(loader.load(path).value(), false, true);
  qm::reset_to_view(app, qm::View::topics);
  for (auto _ : state) {
    app.now += seconds(1);
    qm::apply_reload(app, loader.load(path));
  }
  state.counters["topics"] = static_cast<double>(app.rate_history.topic_count());
}
BENCHMARK(BM_Reload)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Recording alone, on a history already full, as after five minutes of a live backend.
void BM_RecordRates(benchmark::State& state) {
  const std::string path = large_session_file();
  qm::SessionLoader loader;
  const qm::DocumentPtr document = loader.load(path).value();
  qm::RateHistory history;
  steady_clock::time_point now{};
  for (std::size_t i = 0; i < qm::limits::rate_history_samples; ++i) {
    history.record(document->root, now += seconds(1));
  }
  for (auto _ : state) {
    history.record(document->root, now += seconds(1));
  }
  const auto bytes = static_cast<double>(std::filesystem::file_size(path));
  state.counters["topics"] = static_cast<double>(history.topic_count());
  state.counters["history_MiB"] = static_cast<double>(history.memory_bytes()) / (1 << 20);
  state.counters["history_share_of_document"] = static_cast<double>(history.memory_bytes()) / bytes;
}
BENCHMARK(BM_RecordRates)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The panel over a full ring with a drop, a gap and a burst beyond the declared bounds, drawn
// into a terminal of `width` x `height` that already holds the frame.
void BM_DrawRateHistoryPanel(benchmark::State& state) {
  const auto width = static_cast<uint16_t>(state.range(0));
  const auto height = static_cast<uint16_t>(state.range(1));
  qm::AppState app = qm::build_initial_state(
      qm::parse_document(R"({"current":{"rates":{"expected":{"/scan":{"min_hz":8,"max_hz":12}}}}})")
          .value(),
      false, true);
  steady_clock::time_point now{};
  for (std::size_t i = 0; i < qm::limits::rate_history_samples; ++i) {
    const double rate = i % 37 == 0 ? 3.0 : 10.0 + std::sin(static_cast<double>(i) / 7);
    const std::string text = R"({"current":{"rates":{"topics":{"/scan":{"mean_rate_hz":)" +
                             (i % 53 == 0 ? std::string("null") : std::to_string(rate)) + "}}}}}";
    app.rate_history.record(qm::parse_document(text).value()->root, now += seconds(1));
  }
  app.now = now;
  app.rate_panel = qm::RatePanelState{"/scan", 40};
  tui::Buffer buffer(tui::Rect{0, 0, width, height});
  for (auto _ : state) {
    qm::draw_rate_history(buffer, buffer.area(), app);
    benchmark::DoNotOptimize(buffer.cells().data());
  }
}
BENCHMARK(BM_DrawRateHistoryPanel)->Args({80, 24})->Args({200, 60})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!generated_session_path.empty()) {
    std::filesystem::remove(generated_session_path);
  }
  return 0;
}
