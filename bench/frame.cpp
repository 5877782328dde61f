#include "ui/frame.hpp"

#include <benchmark/benchmark.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/session_file.hpp"
#include "counting_backend.hpp"
#include "model/app_state.hpp"
#include "model/view_rows.hpp"
#include "tui/terminal.hpp"

namespace {

constexpr tui::Size screen{200, 60};
constexpr std::size_t topic_count = 100'000;
constexpr std::size_t detail_line_count = 20'000;

// A large live graph: 100,000 topics with counts, a few findings, nodes and a TF tree.
nlohmann::json make_document() {
  nlohmann::json entities = nlohmann::json::array();
  for (std::size_t i = 0; i < topic_count; ++i) {
    const std::string name = "/fleet/robot_" + std::to_string(i / 100) + "/sensors/lidar_" +
                             std::to_string(i % 100) + "/scan_filtered";
    entities.push_back(
        {{"id", "topic:" + name},
         {"kind", "topic"},
         {"name", name},
         {"details", {{"publisher_count", i % 7 == 0 ? 0 : 1}, {"subscriber_count", i % 3}}}});
  }
  for (std::size_t i = 0; i < 200; ++i) {
    const std::string name = "/fleet/robot_" + std::to_string(i) + "/lidar_driver";
    entities.push_back({{"id", "node:" + name},
                        {"kind", "node"},
                        {"name", name},
                        {"details", {{"listed", true}}}});
  }
  nlohmann::json findings = nlohmann::json::array();
  for (std::size_t i = 0; i < 50; ++i) {
    findings.push_back({{"id", "problem:qos:" + std::to_string(i)},
                        {"severity", i % 2 == 0 ? "error" : "warning"},
                        {"target", entities[i * 3]["id"]},
                        {"title", "QoS incompatible"}});
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"mode", "live"},
          {"product_mode", "ai-assisted"},
          {"notice", "Watching the fleet"},
          {"runtime",
           {{"status", "Live capture ready"},
            {"updated_at", "2026-12-09T14:03:27Z"},
            {"distribution", "jazzy"},
            {"domain_id", 42},
            {"launch", {{"state", "running"}}},
            {"playback", {{"state", "playing"}}}}},
          {"current",
           {{"label", "fleet live · warehouse b"},
            {"tf",
             {{"frames", {"map", "odom", "base_link"}},
              {"multi_parent_frames", nlohmann::json::array()},
              {"edges",
               {{{"parent", "map"}, {"child", "odom"}, {"rate_hz", 10.0}},
                {{"parent", "odom"}, {"child", "base_link"}, {"rate_hz", 30.0}}}}}}}},
          {"entities", std::move(entities)},
          {"problems", {{"status", "complete"}, {"findings", std::move(findings)}}},
          {"comparison",
           {{"changes", nlohmann::json::array({{{"id", "node:/x"}, {"status", "added"}}})}}},
          {"runs", {{{"status", "passed"}, {"title", "fleet check"}}}}};
}

// A detail text shaped like the views' own: headings, label columns, key-value segments,
// bullets, and every tenth line long enough to wrap.
std::string make_detail_text() {
  std::string text;
  for (std::size_t i = 0; i < detail_line_count; ++i) {
    switch (i % 10) {
      case 0:
        text += "LIVE RATE  received at this observer · 5 s sample";
        break;
      case 1:
        text += "Mode             live";
        break;
      case 2:
        text += "rate: 9.98 Hz · status: [measured] · gaps: none";
        break;
      case 3:
        text += "• /fleet/robot_" + std::to_string(i) + "/lidar_driver ──▶ scan";
        break;
      case 4:
        text +=
            "  The sample is short, so a slow start or a burst at the end of the window moves "
            "the mean noticeably; compare it with the declared bounds and the receipt age "
            "before drawing a conclusion about the publisher.";
        break;
      default:
        text += "  publisher " + std::to_string(i) + ": reliable, volatile, depth 10";
    }
    text += '\n';
  }
  return text;
}

struct Fixture {
  qm::AppState state;
  std::string detail;
  std::size_t bytes = 0;
  std::unique_ptr<tui::Terminal> terminal;

  Fixture() {
    state.model = qm::build_model(qm::parse_document(make_document().dump()).value());
    state.view = qm::View::topics;
    state.truecolour = true;
    state.rows =
        qm::build_view_rows(state.model, state.view, state.filter, state.results_status_filter);
    state.selected = 20;
    detail = make_detail_text();
    auto created =
        tui::Terminal::create(std::make_unique<qm::bench::CountingBackend>(&bytes, screen));
    if (created) {
      terminal = std::make_unique<tui::Terminal>(std::move(*created));
    }
  }

  void draw() {
    const auto drawn =
        terminal->draw([&](tui::Frame& frame) { qm::draw_frame(frame, state, detail); });
    benchmark::DoNotOptimize(drawn);
  }
};

Fixture& fixture() {
  static Fixture shared;
  return shared;
}

void report_bytes(benchmark::State& state, std::size_t bytes) {
  state.counters["bytes_per_frame"] =
      benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
  state.counters["rows"] = static_cast<double>(fixture().state.rows.size());
}

// Every frame drawn whole, as after start-up or a resize.
void first_frames(benchmark::State& state, uint16_t detail_scroll) {
  Fixture& f = fixture();
  f.state.selected = 20;
  f.state.detail_scroll = detail_scroll;
  f.draw();
  f.bytes = 0;
  for (auto _ : state) {
    f.terminal->invalidate();
    f.draw();
  }
  report_bytes(state, f.bytes);
}

void BM_FirstFrame(benchmark::State& state) {
  first_frames(state, 0);
}

// The selection moves by one row between frames, inside the visible window.
void selection_moves(benchmark::State& state, uint16_t detail_scroll, bool truecolour) {
  Fixture& f = fixture();
  f.state.selected = 20;
  f.state.detail_scroll = detail_scroll;
  f.state.truecolour = truecolour;
  f.draw();
  f.bytes = 0;
  for (auto _ : state) {
    f.state.selected = f.state.selected == 20 ? 21 : 20;
    f.draw();
  }
  report_bytes(state, f.bytes);
  f.state.truecolour = true;
}

void BM_SelectionMove(benchmark::State& state) {
  selection_moves(state, 0, true);
}
void BM_SelectionMoveDetailAt10000(benchmark::State& state) {
  selection_moves(state, 10'000, true);
}
void BM_SelectionMove256Colours(benchmark::State& state) {
  selection_moves(state, 0, false);
}

// The first frame with the detail scrolled to row 10,000.
void BM_FirstFrameDetailAt10000(benchmark::State& state) {
  first_frames(state, 10'000);
}

// Only the drawing into the buffer, without the terminal's diff and output.
void BM_ComposeOnly(benchmark::State& state) {
  Fixture& f = fixture();
  f.state.selected = 20;
  f.state.detail_scroll = 0;
  tui::Buffer buffer(tui::Rect{0, 0, screen.width, screen.height});
  for (auto _ : state) {
    buffer.reset();
    tui::Frame frame(buffer);
    qm::draw_frame(frame, f.state, f.detail);
    benchmark::DoNotOptimize(buffer.cells().data());
  }
}

}  // namespace

BENCHMARK(BM_ComposeOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionMoveDetailAt10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstFrameDetailAt10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionMove256Colours)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
