// Building the session model and the rows of every view, a filter keystroke, one-row moves and a
// whole reload, each up to the frame drawn after it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/session_file.hpp"
#include "counting_backend.hpp"
#include "input/key_dispatch.hpp"
#include "input/navigation.hpp"
#include "model/initial_state.hpp"
#include "model/reload.hpp"
#include "model/row_selection.hpp"
#include "model/view_rows.hpp"
#include "session_generator.hpp"
#include "tui/terminal.hpp"
#include "ui/detail_memo.hpp"
#include "ui/frame.hpp"

namespace {

// 100,000 entities (half nodes, half topics), 100,000 edges and a TF tree of 2,000 frames.
qm::DocumentPtr large_document() {
  static const qm::DocumentPtr document = [] {
    nlohmann::json entities = nlohmann::json::array();
    nlohmann::json edges = nlohmann::json::array();
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
    nlohmann::json tf_edges = nlohmann::json::array();
    for (int i = 1; i < 2'000; ++i) {
      tf_edges.push_back(
          {{"parent", "frame_" + std::to_string(i / 3)}, {"child", "frame_" + std::to_string(i)}});
    }
    return qm::parse_document(nlohmann::json{{"schema", "quillmesh.terminal-session/1"},
                                             {"entities", std::move(entities)},
                                             {"current",
                                              {{"graph", {{"edges", std::move(edges)}}},
                                               {"tf", {{"edges", tf_edges}}}}}}
                                  .dump())
        .value();
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

tui::KeyEvent character_key(char32_t character) {
  tui::KeyEvent key;
  key.character = character;
  return key;
}

// A terminal of 200×60 that only counts the bytes it is sent.
struct CountingTerminal {
  std::size_t bytes = 0;
  std::unique_ptr<tui::Terminal> terminal;

  CountingTerminal() {
    auto created = tui::Terminal::create(
        std::make_unique<qm::bench::CountingBackend>(&bytes, tui::Size{200, 60}));
    terminal = std::make_unique<tui::Terminal>(std::move(*created));
  }

  void draw(qm::AppState& app) {
    const auto drawn = terminal->draw([&](tui::Frame& frame) { qm::draw_frame(frame, app); });
    benchmark::DoNotOptimize(drawn);
  }
};

// One keystroke typed into the filter of Topics over 100,000 entities, from the key to the
// bytes of the redrawn frame: a character is typed, then taken back, in turn (half of the rows
// match "sensor_1", a tenth of those "sensor_12").
void BM_FilterKeystrokeToFrame(benchmark::State& state) {
  qm::AppState app = qm::build_initial_state(large_document(), false, true);
  qm::reset_to_view(app, qm::View::topics);
  app.filter_entry = true;
  for (char c : std::string_view("sensor_1")) {
    qm::handle_key(app, character_key(static_cast<char32_t>(c)));
  }
  CountingTerminal screen;
  screen.draw(app);
  tui::KeyEvent backspace;
  backspace.code = tui::KeyCode::backspace;
  bool typed = false;
  for (auto _ : state) {
    qm::handle_key(app, typed ? backspace : character_key(U'2'));
    typed = !typed;
    screen.draw(app);
  }
  state.counters["rows"] = static_cast<double>(app.rows.size());
}
BENCHMARK(BM_FilterKeystrokeToFrame)->Unit(benchmark::kMillisecond);

// The generated 32 MiB session file, written on first use.
std::string generated_session_path;

const std::string& large_session_file() {
  if (generated_session_path.empty()) {
    generated_session_path = (std::filesystem::temp_directory_path() /
                              ("quillmesh-reload-bench-" + std::to_string(::getpid()) + ".json"))
                                 .string();
    std::ofstream(generated_session_path, std::ios::binary)
        << qm::bench::generate_session_document(33'000'000);
  }
  return generated_session_path;
}

// The generated document with a few findings besides, so that Health lists problems under its
// summary row, and its rates under `topics`, where the summary lists them.
qm::DocumentPtr fleet_document() {
  static const qm::DocumentPtr document = [] {
    std::string text = qm::bench::generate_session_document(33'000'000);
    std::string problems = R"("problems":{"status":"partial","findings":[)";
    for (int i = 0; i < 12; ++i) {
      problems += (i > 0 ? "," : "");
      problems += R"({"id":"problem:qos:)" + std::to_string(i) + R"(","severity":")" +
                  (i % 3 == 0 ? "error" : "warning") + R"(","title":"QoS incompatible"})";
    }
    problems += "]},";
    text.insert(1, problems);
    // The rates as the backend writes them for the summary to list: under `topics`.
    const std::size_t rates = text.find(R"("rates":{)");
    const std::size_t tf = text.find(R"(},"tf":{)", rates);
    text.insert(tf, "}");
    text.insert(rates + 9, R"("window_s":5,"topics":{)");
    return qm::parse_document(text).value();
  }();
  return document;
}

tui::KeyEvent arrow_key(tui::KeyCode code) {
  tui::KeyEvent key;
  key.code = code;
  return key;
}

// One row down and back up in turn, from the key to the bytes of the redrawn frame, on the
// fleet document at 200×60: in Health between the summary row and the first problem, in Topics
// between two topics in the middle of the list. `kept` draws through the viewer's memo of
// detail pages; without it every frame builds its page, as before the memo.
void row_moves(benchmark::State& state, qm::View view, bool kept) {
  qm::AppState app = qm::build_initial_state(fleet_document(), false, true);
  qm::reset_to_view(app, view);
  if (view != qm::View::health) {
    app.selected = app.rows.size() / 2;
    qm::sync_selection(app);
  }
  CountingTerminal screen;
  qm::DetailMemo memo;
  const auto draw = [&] {
    const auto drawn = screen.terminal->draw([&](tui::Frame& frame) {
      if (kept) {
        qm::draw_frame(frame, app, memo);
      } else {
        qm::draw_frame(frame, app);
      }
    });
    benchmark::DoNotOptimize(drawn);
  };
  draw();
  bool down = true;
  for (auto _ : state) {
    qm::handle_key(app, arrow_key(down ? tui::KeyCode::down : tui::KeyCode::up));
    down = !down;
    draw();
  }
  state.counters["rows"] = static_cast<double>(app.rows.size());
  state.counters["pages_built"] = static_cast<double>(memo.builds());
  state.counters["bytes_per_frame"] = benchmark::Counter(
      static_cast<double>(screen.bytes) / static_cast<double>(state.iterations() + 1));
}

void BM_HealthRowMoveToFrame(benchmark::State& state) {
  row_moves(state, qm::View::health, true);
}
BENCHMARK(BM_HealthRowMoveToFrame)->Unit(benchmark::kMicrosecond);

void BM_HealthRowMoveToFramePageBuiltEachFrame(benchmark::State& state) {
  row_moves(state, qm::View::health, false);
}
BENCHMARK(BM_HealthRowMoveToFramePageBuiltEachFrame)->Unit(benchmark::kMicrosecond);

void BM_TopicsRowMoveToFrame(benchmark::State& state) {
  row_moves(state, qm::View::topics, true);
}
BENCHMARK(BM_TopicsRowMoveToFrame)->Unit(benchmark::kMicrosecond);

void BM_TopicsRowMoveToFramePageBuiltEachFrame(benchmark::State& state) {
  row_moves(state, qm::View::topics, false);
}
BENCHMARK(BM_TopicsRowMoveToFramePageBuiltEachFrame)->Unit(benchmark::kMicrosecond);

// The work of a reload in the viewer after the poll noticed the change: load a 32 MiB document
// with the viewer's kept loader, replace the model and rows keeping the selection, and draw the
// frame.
void BM_ReloadToFrame(benchmark::State& state) {
  const std::string path = large_session_file();
  qm::SessionLoader loader;
  qm::AppState app = qm::build_initial_state(loader.load(path).value(), false, true);
  qm::reset_to_view(app, qm::View::topics);
  app.selected = app.rows.size() / 2;
  qm::sync_selection(app);
  CountingTerminal screen;
  screen.draw(app);
  for (auto _ : state) {
    qm::apply_reload(app, loader.load(path));
    screen.draw(app);
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.counters["rows"] = static_cast<double>(app.rows.size());
}
BENCHMARK(BM_ReloadToFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The baseline in the same run: the same file read and parsed into a plain nlohmann::json tree.
void BM_PlainNlohmannParseOfTheReloadedFile(benchmark::State& state) {
  const std::string path = large_session_file();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const nlohmann::json document = nlohmann::json::parse(bytes.str());
    benchmark::DoNotOptimize(document.size());
  }
}
BENCHMARK(BM_PlainNlohmannParseOfTheReloadedFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
