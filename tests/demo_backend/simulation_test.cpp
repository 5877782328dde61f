#include <gtest/gtest.h>

#include <fstream>

#include "app/session_file.hpp"
#include "backend_fixture.hpp"

namespace qm::demo::test {
namespace {

using nlohmann::json;

// Runs the backend's poll loop from `from` to `to` seconds, writing whenever a write is due;
// returns the number of writes.
int run_for(Backend& backend, double from, double to) {
  int writes = 0;
  for (double t = from; t <= to + 1e-9; t += 0.1) {
    backend.step(at(t));
    if (backend.due(at(t))) {
      backend.render(at(t));
      backend.written(at(t));
      ++writes;
    }
  }
  return writes;
}

TEST(DemoBackendSimulation, AQuietSimulationWritesOnlyItsHeartbeat) {
  Backend backend = make_backend(false);
  ASSERT_TRUE(backend.due(at(0))) << "the first document is written at once";
  backend.render(at(0));
  backend.written(at(0));
  const json before = backend.document();
  EXPECT_FALSE(backend.due(at(9.9)));
  // One write every ten seconds with a newer update time and revision, and nothing else new.
  EXPECT_EQ(run_for(backend, 0.1, 65.0), 6);
  EXPECT_NE(backend.document()["runtime"]["updated_at"], before["runtime"]["updated_at"]);
  EXPECT_EQ(backend.document()["revision"], before["revision"].get<int>() + 6);
  EXPECT_TRUE(changed_keys(before, backend.document()).empty());
}

TEST(DemoBackendSimulation, ALiveSimulationWritesAboutOnceASecond) {
  Backend backend = make_backend(true);
  backend.render(at(0));
  backend.written(at(0));
  const json before = backend.document();
  const int writes = run_for(backend, 0.1, 30.0);
  EXPECT_GE(writes, 28);
  EXPECT_LE(writes, 30);
  const auto changed = changed_keys(before, backend.document());
  EXPECT_TRUE(changed.contains("current")) << "rates drift";
  EXPECT_TRUE(changed.contains("runtime.launch")) << "the launch log grows";
  EXPECT_EQ(backend.document()["revision"], before["revision"].get<int>() + writes);
}

TEST(DemoBackendSimulation, RequestsAreAnsweredWithoutWaitingForTheSecond) {
  Backend backend = make_backend(true);
  backend.render(at(0));
  backend.written(at(0));
  backend.handle_line(R"({"action":"refresh"})", at(0.1));
  EXPECT_TRUE(backend.due(at(0.1)));
}

TEST(DemoBackendSimulation, RatesDriftAroundTheirBoundsAndDropOut) {
  Backend backend = make_backend(true);
  int silent = 0;
  int outside = 0;
  for (int second = 1; second <= 300; ++second) {
    backend.step(at(second));
    const json& odom = backend.document()["current"]["rates"]["topics"]["/odom"];
    for (const auto& [topic, measurement] :
         backend.document()["current"]["rates"]["topics"].items()) {
      silent += topic != "/battery_state" && measurement["status"] == "silent" ? 1 : 0;
    }
    if (odom.contains("mean_rate_hz")) {
      const double rate = odom["mean_rate_hz"].get<double>();
      EXPECT_GT(rate, 30.0 * 0.69);
      EXPECT_LT(rate, 30.0 * 1.21);
      outside += rate < 25.0 || rate > 35.0 ? 1 : 0;
    }
  }
  EXPECT_GT(silent, 0) << "a topic drops out now and then";
  EXPECT_LT(silent, 300 * 5) << "but only now and then";
  EXPECT_LT(outside, 60) << "rates mostly keep within their declared bounds";
}

TEST(DemoBackendSimulation, ThePlayerClockAdvancesOnlyWhilePlaying) {
  Backend backend = make_backend(false);
  const json& playback = backend.document()["runtime"]["playback"];
  const double start = playback["position_s"].get<double>();
  run_for(backend, 0.1, 3.0);
  EXPECT_EQ(playback["position_s"].get<double>(), start) << "paused";
  backend.handle_line(R"({"action":"resume"})", at(3.0));
  run_for(backend, 3.1, 8.0);
  EXPECT_NEAR(playback["position_s"].get<double>(), start + 5.0, 0.15);
  backend.handle_line(R"({"action":"pause"})", at(8.0));
  const double paused = playback["position_s"].get<double>();
  run_for(backend, 8.1, 12.0);
  EXPECT_EQ(playback["position_s"].get<double>(), paused);
  backend.handle_line(R"({"action":"seek","offset_s":310})", at(12.0));
  backend.handle_line(R"({"action":"resume"})", at(12.0));
  run_for(backend, 12.1, 16.0);
  EXPECT_EQ(playback["state"], "stopped") << "the player stops at the end of the recording";
  EXPECT_EQ(playback["position_s"].get<double>(),
            playback["recording"]["duration_s"].get<double>());
}

TEST(DemoBackendSimulation, ACheckRunsItsStagesAndCanBeCancelled) {
  Backend backend = make_backend(false);
  const json& doc = backend.document();
  backend.handle_line(R"({"action":"run_check"})", at(0));
  ASSERT_EQ(doc["runs"].size(), 4U);
  EXPECT_EQ(doc["runs"][0]["status"], "running");
  EXPECT_EQ(doc["runtime"]["check"]["status"], "running");
  run_for(backend, 0.1, 5.0);
  EXPECT_EQ(doc["runs"][0]["stages"][0]["status"], "passed");
  EXPECT_EQ(doc["runs"][0]["stages"][1]["status"], "running");
  run_for(backend, 5.1, 15.0);
  std::vector<std::string> statuses;
  for (const json& stage : doc["runs"][0]["stages"]) {
    statuses.push_back(stage["status"].get<std::string>());
  }
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"passed", "passed", "failed", "blocked", "skipped"}));
  EXPECT_EQ(doc["runs"][0]["status"], "failed");
  EXPECT_EQ(doc["runtime"]["check"]["status"], "idle");
  EXPECT_EQ(doc["runtime"]["check"]["last_run"], doc["runs"][0]["retained_id"]);

  backend.handle_line(R"({"action":"run_check"})", at(20));
  EXPECT_NE(doc["runs"][0]["retained_id"], doc["runs"][1]["retained_id"]);
  backend.handle_line(R"({"action":"cancel_check"})", at(21));
  EXPECT_EQ(doc["runs"][0]["status"], "cancelled");
  EXPECT_EQ(doc["runs"][0]["stages"][0]["status"], "cancelled");
  EXPECT_EQ(doc["runs"][0]["stages"][4]["status"], "skipped");
}

TEST(DemoBackendSimulation, AnApprovedDisclosureIsAnsweredAMomentLater) {
  Backend backend = make_backend(false);
  const json& assistant = backend.document()["assistant"];
  backend.handle_line(R"({"action":"ai_approve","approval_id":"approval-7"})", at(0));
  EXPECT_TRUE(assistant["pending_approval"].is_null());
  EXPECT_EQ(assistant["messages"].size(), 2U);
  run_for(backend, 0.1, 3.0);
  EXPECT_EQ(assistant["messages"].size(), 3U);
  EXPECT_EQ(assistant["messages"][2]["role"], "assistant");
  EXPECT_EQ(assistant["state"], "idle");

  backend.handle_line(R"({"action":"ai_send","prompt":"Why is /battery_state silent?"})", at(4));
  const std::string approval = assistant["pending_approval"]["id"].get<std::string>();
  backend.handle_line(json{{"action", "ai_approve"}, {"approval_id", approval}}.dump(), at(4));
  run_for(backend, 4.1, 7.0);
  EXPECT_NE(assistant["messages"].back()["text"].get<std::string>().find("use_sim_time"),
            std::string::npos);
}

TEST(DemoBackendSimulation, TheViewerAcceptsEveryDocumentTheBackendWrites) {
  const std::filesystem::path path = scratch_folder("accepted") / "session.json";
  Backend backend = make_backend(true, "accepted");
  for (const char* line : {R"({"action":"refresh"})", R"({"action":"run_check"})",
                           R"({"action":"ai_approve","approval_id":"approval-7"})"}) {
    backend.handle_line(line, at(1));
  }
  for (double t = 1.0; t < 6.0; t += 1.0) {
    backend.step(at(t));
  }
  std::ofstream(path, std::ios::binary) << backend.render(at(6));
  const auto loaded = qm::load_session(path.string());
  EXPECT_TRUE(loaded.has_value());
}

}  // namespace
}  // namespace qm::demo::test
