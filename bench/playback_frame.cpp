// The Playback view drawn whole at 200×60 over a recording of 500 topics with 1,000 time bins
// each, next to the same document without lanes; the page text is rebuilt on every draw.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/core/app_state.hpp"
#include "app/core/session_document.hpp"
#include "app/core/view_rows.hpp"
#include "counting_backend.hpp"
#include "tui/terminal.hpp"
#include "ui/frame.hpp"
#include "views/playback_detail.hpp"

namespace {

constexpr tui::Size screen{200, 60};
constexpr std::size_t lane_topics = 500;
constexpr std::size_t bins_per_topic = 1'000;

// Busy topics with a short silence now and then; every tenth topic is silent but for its last
// bin, so its strip looks at every bin.
nlohmann::json make_lanes() {
  nlohmann::json topics = nlohmann::json::array();
  for (std::size_t t = 0; t < lane_topics; ++t) {
    nlohmann::json bins = nlohmann::json::array();
    for (std::size_t b = 0; b < bins_per_topic; ++b) {
      const bool silent = t % 10 == 0 ? b + 1 < bins_per_topic : (b + t) % 97 < 3;
      bins.push_back(silent ? 0 : 40 + (b % 7));
    }
    nlohmann::json gaps = nlohmann::json::array();
    for (std::size_t g = 0; g < 4; ++g) {
      gaps.push_back(
          {{"start_s", 10.0 * g + 0.25}, {"end_s", 10.0 * g + 1.5}, {"kind", "silence"}});
    }
    topics.push_back({{"topic", "/fleet/robot_" + std::to_string(t) + "/sensors/lidar/scan"},
                      {"count", 40'000 + t},
                      {"bins", std::move(bins)},
                      {"gaps", std::move(gaps)}});
  }
  return {{"method", "message-index"},
          {"files", 3},
          {"gap_rule", "an empty bin on a topic that averages more than one message per bin"},
          {"topics", std::move(topics)}};
}

nlohmann::json make_document(bool with_lanes) {
  nlohmann::json playback = {
      {"state", "playing"},
      {"bag", "/home/robot/bags/warehouse_b_docking_2026-12-08"},
      {"owned", true},
      {"recording", {{"duration_s", 3600.0}}},
      {"position_s", 1234.5},
      {"position", {{"basis", "player clock"}, {"note", "estimated from the last status"}}},
      {"seek", true},
      {"log_tail", {"[INFO] Opened recording", "[INFO] Playing"}}};
  if (with_lanes) {
    playback["lanes"] = make_lanes();
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"mode", "replay"},
          {"notice", "Replaying warehouse b"},
          {"capabilities", {{"playback", true}}},
          {"runtime", {{"status", "ready"}, {"playback", std::move(playback)}}},
          {"current", {{"label", "replay · warehouse b"}}}};
}

struct Fixture {
  qm::AppState state;
  std::size_t bytes = 0;
  std::unique_ptr<tui::Terminal> terminal;

  explicit Fixture(bool with_lanes) {
    state.model = qm::build_model(qm::parse_document(make_document(with_lanes).dump()).value());
    state.view = qm::View::playback;
    state.truecolour = true;
    state.rows =
        qm::build_view_rows(state.model, state.view, state.filter, state.results_status_filter);
    auto created =
        tui::Terminal::create(std::make_unique<qm::bench::CountingBackend>(&bytes, screen));
    if (created) {
      terminal = std::make_unique<tui::Terminal>(std::move(*created));
    }
  }
};

Fixture& fixture(bool with_lanes) {
  static Fixture lanes(true);
  static Fixture plain(false);
  return with_lanes ? lanes : plain;
}

// Every frame drawn and sent whole, as after start-up or a resize.
void whole_frames(benchmark::State& state, bool with_lanes) {
  Fixture& f = fixture(with_lanes);
  if (!f.terminal) {
    state.SkipWithError("no terminal");
    return;
  }
  f.bytes = 0;
  for (auto _ : state) {
    f.terminal->invalidate();
    const auto drawn = f.terminal->draw([&](tui::Frame& frame) { qm::draw_frame(frame, f.state); });
    benchmark::DoNotOptimize(drawn);
  }
  state.counters["bytes_per_frame"] =
      benchmark::Counter(static_cast<double>(f.bytes) / static_cast<double>(state.iterations()));
  state.counters["text_bytes"] = static_cast<double>(qm::playback_page(f.state).text.size());
}

void BM_PlaybackFrameLanes(benchmark::State& state) {
  whole_frames(state, true);
}

void BM_PlaybackFrameWithoutLanes(benchmark::State& state) {
  whole_frames(state, false);
}

// The page text alone, the part of the frame that grows with the lanes.
void BM_PlaybackTextLanes(benchmark::State& state) {
  Fixture& f = fixture(true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(qm::playback_page(f.state).text.data());
  }
}

}  // namespace

BENCHMARK(BM_PlaybackFrameLanes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaybackFrameWithoutLanes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaybackTextLanes)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
