#include <benchmark/benchmark.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/session_file.hpp"
#include "counting_backend.hpp"
#include "model/app_state.hpp"
#include "model/view_rows.hpp"
#include "tui/terminal.hpp"
#include "ui/detail_memo.hpp"
#include "ui/frame.hpp"
#include "views/health_summary.hpp"

namespace {

constexpr tui::Size screen{200, 60};
constexpr std::size_t rate_count = 20'000;
constexpr std::size_t lane_topics = 500;
constexpr std::size_t bins_per_topic = 1'000;

std::string topic_name(std::size_t i) {
  std::string name = "/fleet/robot_" + std::to_string(i / 100) + "/sensors/lidar_" +
                     std::to_string(i % 100) + "/scan_filtered";
  // A few names that must be made display-safe.
  if (i % 500 == 0) {
    name += "_vorwärts";
  } else if (i % 997 == 0) {
    name += "\u202e";
  }
  return name;
}

// One topic's rate entry, cycling through the forms the backend writes.
nlohmann::json rate_entry(std::size_t i) {
  switch (i % 6) {
    case 0:
      return {{"mean_rate_hz", 9.5 + static_cast<double>(i % 40) / 10.0},
              {"count", 50},
              {"status", "measured"},
              {"expected", {{"min_hz", 8}, {"max_hz", 12.5}}}};
    case 1:
      return {{"mean_rate_hz", 30.02}, {"status", "measured"}, {"expected", {{"min_hz", 25}}}};
    case 2:
      return {{"count", i % 4}, {"status", "silent"}};
    case 3:
      return {{"status", "observer_limited"}, {"expected", {{"max_hz", 100}}}};
    case 4:
      return {{"status", "not_sampled_yet"}};
    default:
      return {{"count", 120}, {"status", "measured"}};
  }
}

// A live session of a fleet: entities, findings, an owned launch, a TF tree, runs, recorder state
// and capture warnings, with `rates` topic entries.
nlohmann::json make_document(std::size_t rates) {
  nlohmann::json entities = nlohmann::json::array();
  nlohmann::json topics = nlohmann::json::object();
  for (std::size_t i = 0; i < rate_count; ++i) {
    const std::string name = topic_name(i);
    entities.push_back({{"id", "topic:" + name}, {"kind", "topic"}, {"name", name}});
    if (i < rates) {
      topics[name] = rate_entry(i);
    }
  }
  for (std::size_t i = 0; i < 400; ++i) {
    const std::string name = "/fleet/robot_" + std::to_string(i) + "/lidar_driver";
    entities.push_back({{"id", "node:" + name}, {"kind", "node"}, {"name", name}});
  }
  entities.push_back({{"id", "node:/vistrel_4021"}, {"kind", "node"}, {"name", "/vistrel_4021"}});
  nlohmann::json findings = nlohmann::json::array();
  for (std::size_t i = 0; i < 40; ++i) {
    findings.push_back({{"id", "problem:qos:" + std::to_string(i)},
                        {"severity", i % 3 == 0 ? "error" : "warning"},
                        {"title", "QoS incompatible"}});
  }
  nlohmann::json processes = nlohmann::json::array();
  for (std::size_t i = 0; i < 40; ++i) {
    processes.push_back({{"name", "driver_" + std::to_string(i)},
                         {"state", i == 3 ? "failed" : "running"},
                         {"attempt", 1 + i % 2},
                         {"exit_code", i == 3 ? -9 : 0},
                         {"failure_count", i == 3 ? 2 : 0}});
  }
  nlohmann::json edges = nlohmann::json::array();
  for (std::size_t i = 1; i < 60; ++i) {
    edges.push_back({{"parent", "frame_" + std::to_string(i / 2)},
                     {"child", "frame_" + std::to_string(i)},
                     {"rate_hz", 30.0}});
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"mode", "live"},
          {"revision", 4182},
          {"notice", "Watching the fleet"},
          {"runtime",
           {{"status", "observing"},
            {"distribution", "jazzy"},
            {"domain_id", 42},
            {"updated_at", "2026-12-09T14:03:27Z"},
            {"error", nullptr},
            {"recording", {{"state", "writing"}, {"topics", {"/scan", "/tf"}}, {"bytes", 123456}}},
            {"session", {{"directory", "/var/sessions/fleet-b"}, {"note", "Warehouse B shift"}}},
            {"launch",
             {{"state", "running"},
              {"readiness", "unknown"},
              {"readiness_checks",
               {{"status", "passed"},
                {"observations",
                 {{{"status", "passed"}, {"topic", "/scan"}},
                  {{"status", "passed"}, {"node", "/amcl"}}}}}},
              {"processes",
               {{"observed", "pid polling"}, {"dropped_lines", 12}, {"processes", processes}}},
              {"log_summary",
               {{"first_error", {{"text", "[ERROR] [driver_3]: device not found"}}},
                {"child_failures", {{{"text", "driver_3 exited -9"}}}}}}}}}},
          {"current",
           {{"label", "fleet live · warehouse b"},
            {"graph", {{"generated_at", 1765289007.25}}},
            {"rates", {{"window_s", 5}, {"topics", std::move(topics)}}},
            {"warnings", {{"clock_skew_s", 0.4}, {"dropped", {"/tf_static"}}}},
            {"tf",
             {{"frames", {"map", "odom", "base_link"}},
              {"roots", {"map"}},
              {"multi_parent_frames", nlohmann::json::array()},
              {"edges", std::move(edges)}}}}},
          {"entities", std::move(entities)},
          {"problems",
           {{"status", "partial"},
            {"detectors_run", {"qos", "publishers", "clock", "tf", "names", "types"}},
            {"not_checked", {"services"}},
            {"observer", {{"node", "/vistrel_4021"}, {"source", "self"}}},
            {"parameters", {{"queried", 400}, {"answered", 398}, {"status", "complete"}}},
            {"findings", std::move(findings)}}},
          {"comparison", {{"changes", nlohmann::json::array({{{"id", "node:/x"}}})}}},
          {"runs", {{{"status", "passed"}, {"title", "fleet check"}}}}};
}

// A busy topic: `connections` endpoints, half publishers and half subscribers, each with its
// message type and captured QoS, plus a rate measurement and an inspection of it.
nlohmann::json busy_topic_document(std::size_t connections) {
  const std::string topic = "/fleet/tf_static_relay";
  nlohmann::json edges = nlohmann::json::array();
  for (std::size_t i = 0; i < connections; ++i) {
    edges.push_back({{"node", "/fleet/robot_" + std::to_string(i) + "/transform_listener"},
                     {"topic", topic},
                     {"direction", i % 2 == 0 ? "pub" : "sub"},
                     {"type", "tf2_msgs/msg/TFMessage"},
                     {"qos",
                      {{"reliability", "reliable"},
                       {"durability", "transient_local"},
                       {"history", "keep_last"},
                       {"depth", 100}}}});
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"entities",
           {{{"id", "topic:" + topic},
             {"kind", "topic"},
             {"name", topic},
             {"details",
              {{"publisher_count", connections / 2},
               {"subscriber_count", connections - connections / 2},
               {"type", "tf2_msgs/msg/TFMessage"}}}}}},
          {"inspection",
           {{"entity_id", "topic:" + topic},
            {"side", "current"},
            {"status", "complete"},
            {"observations", {{"peek", {{"messages", {{{"header", {{"frame_id", "map"}}}}}}}}}}}},
          {"current",
           {{"graph", {{"generated_at", 1796825002.4}, {"edges", edges}}},
            {"rates",
             {{"window_s", 5},
              {"topics",
               {{topic,
                 {{"status", "measured"},
                  {"mean_rate_hz", 1.0},
                  {"count", 5},
                  {"min_gap_s", 0.9},
                  {"max_gap_s", 1.1}}}}}}}}}};
}

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

nlohmann::json playback_document(bool with_lanes) {
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

  Fixture(const nlohmann::json& document, qm::View view) {
    state.model = qm::build_model(qm::parse_document(document.dump()).value());
    state.view = view;
    state.truecolour = true;
    state.rows =
        qm::build_view_rows(state.model, state.view, state.filter, state.results_status_filter);
    // The first row: the Health summary, or the busy topic.
    state.selected = 0;
    state.selected_id = state.rows.empty() ? "" : std::string(state.rows.front().id);
    auto created =
        tui::Terminal::create(std::make_unique<qm::bench::CountingBackend>(&bytes, screen));
    if (created) {
      terminal = std::make_unique<tui::Terminal>(std::move(*created));
    }
  }
};

Fixture& fixture(std::size_t rates) {
  static Fixture with_rates(make_document(rate_count), qm::View::health);
  static Fixture without_rates(make_document(0), qm::View::health);
  return rates > 0 ? with_rates : without_rates;
}

// Whole frames, each drawn and sent in full, through the viewer's memo of detail pages (`kept`)
// or building the page for each frame.
void whole_frames(benchmark::State& state, Fixture& f, bool kept = true) {
  f.bytes = 0;
  qm::DetailMemo memo;
  for (auto _ : state) {
    f.terminal->invalidate();
    const auto drawn = f.terminal->draw([&](tui::Frame& frame) {
      if (kept) {
        qm::draw_frame(frame, f.state, memo);
      } else {
        qm::draw_frame(frame, f.state);
      }
    });
    benchmark::DoNotOptimize(drawn);
  }
  state.counters["bytes_per_frame"] =
      benchmark::Counter(static_cast<double>(f.bytes) / static_cast<double>(state.iterations()));
}

void BM_HealthFrame(benchmark::State& state) {
  whole_frames(state, fixture(rate_count));
}

// The same, building the page for every frame.
void BM_HealthFramePageBuiltEachFrame(benchmark::State& state) {
  whole_frames(state, fixture(rate_count), false);
}

// The same document without rates, for the share of the frame the rate list takes.
void BM_HealthFrameEmptyRates(benchmark::State& state) {
  whole_frames(state, fixture(0));
}

// The Topics view of a topic with 1,000 connections, and of the same topic without any.
void BM_TopicFrameThousandConnections(benchmark::State& state) {
  static Fixture busy(busy_topic_document(1000), qm::View::topics);
  whole_frames(state, busy);
}

void BM_TopicFrameNoConnections(benchmark::State& state) {
  static Fixture quiet(busy_topic_document(0), qm::View::topics);
  whole_frames(state, quiet);
}

// The Playback view of a recording of 500 topics with 1,000 bins each, and of one without lanes.
void BM_PlaybackFrameLanes(benchmark::State& state) {
  static Fixture lanes(playback_document(true), qm::View::playback);
  whole_frames(state, lanes);
}

void BM_PlaybackFrameWithoutLanes(benchmark::State& state) {
  static Fixture plain(playback_document(false), qm::View::playback);
  whole_frames(state, plain);
}

// The summary text alone, without drawing it.
void BM_HealthSummaryText(benchmark::State& state) {
  const Fixture& f = fixture(rate_count);
  for (auto _ : state) {
    benchmark::DoNotOptimize(qm::health_summary_text(f.state));
  }
}

}  // namespace

BENCHMARK(BM_HealthSummaryText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HealthFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HealthFramePageBuiltEachFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HealthFrameEmptyRates)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TopicFrameThousandConnections)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TopicFrameNoConnections)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaybackFrameLanes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaybackFrameWithoutLanes)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
