// Building the session model and the rows of every view, filtering, and a whole reload.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/core/session_document.hpp"
#include "app/core/view_rows.hpp"
#include "app/initial_state.hpp"
#include "app/reload.hpp"
#include "input/navigation.hpp"
#include "session_generator.hpp"

namespace {

using qm::Json;

// 100,000 entities (half nodes, half topics), 100,000 edges and a TF tree of 2,000 frames.
std::shared_ptr<const Json> large_document() {
  static const std::shared_ptr<const Json> document = [] {
    Json entities = Json::array();
    Json edges = Json::array();
    for (int i = 0; i < 50'000; ++i) {
      const std::string node = "/robot/node_" + std::to_string(i);
      const std::string topic = "/robot/sensor_" + std::to_string(i) + "/data";
      entities.push_back({{"id", "node:" + node},
                          {"kind", "node"},
                          {"name", node},
                          {"details", {{"listed", true}}}});
      entities.push_back({{"id", "topic:" + topic},
                          {"kind", "topic"},
                          {"name", topic},
                          {"details", {{"publisher_count", 1}, {"subscriber_count", 2}}}});
      edges.push_back({{"node", node}, {"topic", topic}, {"direction", "pub"}, {"type", "T"}});
      edges.push_back({{"node", "/robot/node_" + std::to_string((i + 1) % 50'000)},
                       {"topic", topic},
                       {"direction", "sub"},
                       {"type", "T"}});
    }
    Json tf_edges = Json::array();
    for (int i = 1; i < 2'000; ++i) {
      tf_edges.push_back(
          {{"parent", "frame_" + std::to_string(i / 3)}, {"child", "frame_" + std::to_string(i)}});
    }
    return std::make_shared<const Json>(Json{
        {"schema", "quillmesh.terminal-session/1"},
        {"entities", std::move(entities)},
        {"current", {{"graph", {{"edges", std::move(edges)}}}, {"tf", {{"edges", tf_edges}}}}}});
  }();
  return document;
}

void BM_BuildModel(benchmark::State& state) {
  const auto document = large_document();
  for (auto _ : state) {
    qm::SessionModel model = qm::build_model(document);
    benchmark::DoNotOptimize(model.entities.data());
  }
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kMillisecond);

void BM_RowsOfEveryView(benchmark::State& state) {
  const qm::SessionModel model = qm::build_model(large_document());
  for (auto _ : state) {
    std::size_t total = 0;
    for (qm::View view : qm::all_views) {
      total += qm::build_view_rows(model, view, "", qm::ResultsFilter::all).size();
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_RowsOfEveryView)->Unit(benchmark::kMillisecond);

// One keystroke of a search in a list of 100,000 rows (half of them match).
void BM_FilterKeystroke(benchmark::State& state) {
  qm::AppState app;
  app.model = qm::build_model(large_document());
  app.view = qm::View::topics;
  for (auto _ : state) {
    app.filter = "sensor_1";
    qm::rebuild_rows(app);
    benchmark::DoNotOptimize(app.rows.data());
  }
  state.counters["rows"] = static_cast<double>(app.rows.size());
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

// A reload of a 32 MiB document: read, parse, model and rows, keeping the selection.
void BM_ReloadLargeDocument(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("quillmesh-reload-bench-" + std::to_string(::getpid()) + ".json"))
                               .string();
  {
    std::ofstream out(path, std::ios::binary);
    out << qm::bench::generate_session_document(33'000'000);
  }
  qm::AppState app = qm::build_initial_state(*qm::load_session(path), std::nullopt, false);
  qm::reset_to_view(app, qm::View::topics);
  for (auto _ : state) {
    qm::apply_reload(app, qm::load_session(path));
    benchmark::DoNotOptimize(app.rows.data());
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.counters["rows"] = static_cast<double>(app.rows.size());
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReloadLargeDocument)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
