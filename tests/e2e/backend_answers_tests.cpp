#include <gtest/gtest.h>

#include <atomic>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "support/temp_dir.hpp"
#include "support/tmux_session.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using testing::TempDir;
using testing::TmuxSession;

json answered_document() {
  return {{"schema", "quillmesh.terminal-session/1"},
          {"capabilities", {{"export", true}}},
          {"entities",
           {{{"id", "topic:/scan"}, {"kind", "topic"}, {"name", "/scan"}},
            {{"id", "topic:/odom"}, {"kind", "topic"}, {"name", "/odom"}}}},
          {"runtime",
           {{"status", "Live capture ready"},
            {"launch",
             {{"state", "running"},
              {"log", "/tmp/amr_launch.log"},
              {"readiness_checks", {{"status", "passed"}}}}}}},
          {"current", {{"label", "bench capture"}}}};
}

// A backend in miniature: it reads each new request line and answers `export` and `launch_log`
// by writing the next document beside the old one and renaming it over, as the real one does.
class FakeBackend {
 public:
  FakeBackend(std::string session, std::string requests)
      : session_(std::move(session)), requests_(std::move(requests)), thread_([this] { run(); }) {}
  ~FakeBackend() {
    stop_ = true;
    thread_.join();
  }

 private:
  void run() {
    std::size_t handled = 0;
    json document = answered_document();
    testing::replace_file(session_, document.dump());
    while (!stop_) {
      std::this_thread::sleep_for(20ms);
      std::istringstream lines(testing::read_file(requests_));
      std::string line;
      std::size_t index = 0;
      bool changed = false;
      while (std::getline(lines, line)) {
        if (index++ < handled) {
          continue;
        }
        ++handled;
        changed = answer(document, json::parse(line)) || changed;
      }
      if (changed) {
        // As long as a real backend takes, so the request's own message is seen before the
        // answer: the viewer reloads as soon as the file is renamed.
        std::this_thread::sleep_for(300ms);
        testing::replace_file(session_, document.dump());
      }
    }
  }

  static bool answer(json& document, const json& request) {
    if (request["action"] == "export") {
      document["runtime"]["status"] = "Exported " + request["entity_id"].get<std::string>();
      document["runtime"]["export_feedback"] = {{"status", "success"},
                                                {"entity_id", request["entity_id"]}};
      return true;
    }
    if (request["action"] == "launch_log") {
      json lines = json::array();
      const auto start = request["start"].get<std::size_t>();
      for (std::size_t n = start + 1; n <= start + 3; ++n) {
        lines.push_back({{"number", n},
                         {"text", "[lidar_driver] line " + std::to_string(n)},
                         {"severity", n == start + 2 ? "error" : "info"}});
      }
      document["runtime"]["launch_log_page"] = {{"path", "/tmp/amr_launch.log"},
                                                {"query", request["query"]},
                                                {"severity", request["severity"]},
                                                {"context", request["context"]},
                                                {"start", start},
                                                {"lines", lines},
                                                {"matches", 3},
                                                {"next_start", start + 3}};
      return true;
    }
    return false;
  }

  std::string session_;
  std::string requests_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

TEST(ViewerWithBackend, StatusAndLogPaneShowTheBackendsAnswers) {
  TempDir dir;
  const std::string session = dir.file("session.json");
  const std::string requests = dir.file("requests.jsonl");
  testing::write_file(requests, "");
  FakeBackend backend(session, requests);
  std::this_thread::sleep_for(100ms);
  TmuxSession tmux(
      std::string(QM_BINARY) + " --session " + session + " --requests " + requests + "; sleep 60",
      120, 36);
  ASSERT_TRUE(tmux.wait_for_text("bench capture"));

  tmux.send_keys("3 e");
  ASSERT_TRUE(tmux.wait_for_text("Requested export; awaiting backend status"));
  // The next key clears the request's own message; the row then tells what the backend says.
  tmux.send_keys("k");
  EXPECT_TRUE(tmux.wait_for_text("Exported topic:/scan · press 9 Capture for full destination"))
      << tmux.screen();

  tmux.send_keys("L");
  ASSERT_TRUE(tmux.wait_for_text("Owned ROS launch log")) << tmux.screen();
  EXPECT_TRUE(tmux.wait_for_text("     2  [lidar_driver] line 2")) << tmux.screen();
  EXPECT_TRUE(tmux.wait_for_text("matches: 3")) << tmux.screen();
  tmux.send_keys("PageDown");
  EXPECT_TRUE(tmux.wait_for_text("     5  [lidar_driver] line 5")) << tmux.screen();
  tmux.send_keys("Escape q");
}

}  // namespace
}  // namespace qm
