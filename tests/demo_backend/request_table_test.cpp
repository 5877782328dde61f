#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "backend_fixture.hpp"

namespace qm::demo::test {
namespace {

using nlohmann::json;

struct Case {
  const char* line;
  std::set<std::string> changed;
};

// Each request line, answered on a fresh demo, changes exactly these parts of the document.
TEST(DemoBackendRequests, EachActionChangesItsPartOfTheDocument) {
  const std::set<std::string> answer = {"notice", "runtime.status"};
  auto with = [&](std::initializer_list<std::string> more) {
    std::set<std::string> keys = answer;
    keys.insert(more);
    return keys;
  };
  const Case cases[] = {
      {R"({"action":"refresh","entity_id":"","side":"current"})", with({"current"})},
      {R"({"action":"export","entity_id":"topic:/scan","side":"current"})",
       with({"runtime.export_feedback", "runtime.last_export"})},
      {R"({"action":"export","entity_id":"node:/docking_tag_filter","side":"baseline"})",
       with({"runtime.export_feedback", "runtime.last_export"})},
      {R"({"action":"export","entity_id":"frame:camera_link","side":"current"})",
       with({"runtime.export_feedback", "runtime.last_export"})},
      {R"({"action":"export","entity_id":"topic:/nowhere","side":"current"})",
       with({"runtime.export_feedback"})},
      {R"({"action":"inspect","entity_id":"topic:/scan","side":"current"})", with({"inspection"})},
      {R"({"action":"message_tf","entity_id":"topic:/scan","side":"current"})",
       with({"message_tf"})},
      {R"({"action":"config_diff","entity_id":"node:/battery_monitor","side":"current"})",
       with({"configuration_diff"})},
      {R"({"action":"config_diff","entity_id":"topic:/scan","side":"current"})", answer},
      {R"({"action":"play","entity_id":"","side":"current"})", with({"runtime.playback"})},
      {R"({"action":"resume","entity_id":"","side":"current"})", with({"runtime.playback"})},
      {R"({"action":"pause","entity_id":"","side":"current"})", answer},
      {R"({"action":"stop","entity_id":"","side":"current"})", with({"runtime.playback"})},
      {R"({"action":"seek","entity_id":"","offset_s":120.5,"side":"current"})",
       with({"runtime.playback"})},
      {R"({"action":"seek","entity_id":"","side":"current"})", answer},
      {R"({"action":"run_check","entity_id":"","side":"current"})",
       with({"runs", "runtime.check"})},
      {R"({"action":"cancel_check","entity_id":"","side":"current"})", answer},
      {R"({"action":"launch_log","context":2,"limit":10,"query":"lidar","severity":"error","start":0})",
       {"runtime.launch_log_page"}},
      {R"({"action":"save_view","filter":"scan","selected_id":"topic:/scan","tab":2})",
       {"view_state"}},
      {R"({"action":"save_view","filter":"","selected_id":"","tab":12})", {"notice"}},
      {R"({"action":"select_result","result_id":"run:run-2026-12-08-1710"})", {"result_selection"}},
      {R"({"action":"plan_experiment","criteria_identity":"c","entity_id":"","hypothesis":"h","prediction":"p","side":"current","test":"t","variables":{"seed":2}})",
       with({"task"})},
      {R"({"action":"plan_experiment","entity_id":"","hypothesis":"h","side":"current","variables":[1]})",
       answer},
      {R"({"action":"finish_experiment","conclusion":"c","entity_id":"","experiment_id":"exp-3","outcome":" Supported ","side":"current"})",
       with({"task"})},
      {R"({"action":"finish_experiment","conclusion":"c","entity_id":"","experiment_id":"exp-3","outcome":"maybe","side":"current"})",
       answer},
      {R"({"action":"select_experiment","entity_id":"","experiment_id":"exp-1","side":"current"})",
       with({"active_experiment_id"})},
      {R"({"action":"attach_experiment","entity_id":"","result_index":1,"side":"current"})",
       with({"task"})},
      {R"({"action":"attach_experiment","entity_id":"","result_index":9,"side":"current"})",
       answer},
      {R"({"action":"experiment_results","entity_id":"","experiment_id":"exp-2","side":"current"})",
       with({"result_selection"})},
      {R"({"action":"recover_experiments","entity_id":"","side":"current"})", with({"task"})},
      {R"({"action":"refresh_task","entity_id":"","side":"current"})", with({"task"})},
      {R"({"action":"refresh_project","entity_id":"","side":"current"})", with({"project"})},
      {R"({"action":"ai_approve","approval_id":"approval-7","entity_id":"","side":"current"})",
       {"assistant", "notice"}},
      {R"({"action":"ai_deny","approval_id":"approval-6","entity_id":"","side":"current"})",
       {"assistant", "notice"}},
      {R"({"action":"ai_disable","entity_id":"","side":"current"})",
       {"assistant", "notice", "product_mode"}},
      {R"({"action":"ai_enable","entity_id":"","side":"current"})", {"notice"}},
      {R"({"action":"ai_connection","connection_id":"team-review","entity_id":"","side":"current"})",
       {"assistant", "notice"}},
      {R"({"action":"ai_context","entity_id":"topic:/scan","selection_id":"topic:/scan","side":"current"})",
       {"assistant", "notice"}},
      {R"({"action":"ai_checkpoint","entity_id":"","side":"current"})", {"assistant", "notice"}},
      {R"({"action":"teleport","entity_id":"","side":"current"})", {"notice"}},
      {R"(not json)", {"notice"}},
      {R"({"action":["refresh"]})", {"notice"}},
      {R"({"action":"inspect","entity_id":7,"side":"current"})", with({"inspection"})},
  };
  for (const Case& c : cases) {
    Backend backend = make_backend(false);
    const json before = backend.document();
    backend.handle_line(c.line, at(0.5));
    EXPECT_EQ(changed_keys(before, backend.document()), c.changed) << c.line;
    EXPECT_TRUE(backend.due(at(0.5))) << c.line;
  }
}

TEST(DemoBackendRequests, AnswersCarryWhatTheViewerLooksFor) {
  Backend backend = make_backend(false, "answers");
  const json& doc = backend.document();

  backend.handle_line(R"({"action":"export","entity_id":"topic:/scan","side":"current"})", at(1));
  const json& feedback = doc["runtime"]["export_feedback"];
  EXPECT_EQ(feedback["status"], "success");
  EXPECT_EQ(doc["runtime"]["status"], "Exported topic:/scan");
  EXPECT_EQ(doc["runtime"]["last_export"], feedback["path"]);
  std::ifstream exported(feedback["path"].get<std::string>());
  EXPECT_EQ(json::parse(exported)["entity"]["id"], "topic:/scan");

  backend.handle_line(R"({"action":"inspect","entity_id":"topic:/imu/data","side":"current"})",
                      at(2));
  EXPECT_EQ(doc["inspection"]["entity_id"], "topic:/imu/data");
  EXPECT_EQ(doc["inspection"]["status"], "complete");
  EXPECT_EQ(doc["inspection"]["observations"]["peek"]["messages"].size(), 3U);
  EXPECT_EQ(doc["inspection"]["observations"]["peek"]["messages"][0]["header"]["frame_id"],
            "imu_link");

  backend.handle_line(
      R"({"action":"inspect","entity_id":"topic:/detected_dock_pose","side":"current"})", at(3));
  EXPECT_EQ(doc["inspection"]["status"], "no_messages");

  backend.handle_line(R"({"action":"message_tf","entity_id":"topic:/scan","side":"current"})",
                      at(4));
  EXPECT_EQ(doc["message_tf"]["topic"], "/scan");
  EXPECT_EQ(doc["message_tf"]["lookups"][0]["source_frame"], "base_laser");

  backend.handle_line(R"({"action":"config_diff","entity_id":"node:/amcl","side":"current"})",
                      at(5));
  EXPECT_EQ(doc["configuration_diff"]["node"], "/amcl");
  EXPECT_EQ(doc["configuration_diff"]["declared_source"],
            doc["project"]["source_mappings"]["node:/amcl"]["file"]);

  backend.handle_line(R"({"action":"ai_disable","entity_id":"","side":"current"})", at(6));
  EXPECT_EQ(doc["product_mode"], "standard");
  backend.handle_line(R"({"action":"ai_send","entity_id":"","prompt":"hi","side":"current"})",
                      at(7));
  EXPECT_EQ(doc["assistant"]["messages"].size(), 2U) << "nothing is sent in standard mode";
  backend.handle_line(R"({"action":"ai_enable","entity_id":"","side":"current"})", at(8));
  EXPECT_EQ(doc["product_mode"], "ai-assisted");
}

// An export names its file after the entity id; nothing in the id may lead out of the folder.
TEST(DemoBackendRequests, ExportFilesStayInTheExportFolder) {
  Backend backend = make_backend(false, "export_names");
  json& entities = backend.state().document["entities"];
  entities.push_back({{"id", "topic:/../../escape"}, {"kind", "topic"}, {"name", "/../../escape"}});
  entities.push_back({{"id", ".hidden"}, {"kind", "topic"}, {"name", ".hidden"}});
  for (const char* id : {"topic:/../../escape", ".hidden"}) {
    backend.handle_line(json{{"action", "export"}, {"entity_id", id}, {"side", "current"}}.dump(),
                        at(1));
    const std::filesystem::path written =
        backend.document()["runtime"]["export_feedback"]["path"].get<std::string>();
    EXPECT_EQ(written.parent_path(), backend.state().session_path.parent_path() / "exports") << id;
    EXPECT_NE(written.filename().string().front(), '.') << id;
    EXPECT_TRUE(std::filesystem::exists(written)) << id;
  }
}

// Malformed lines and unknown actions are skipped and counted; the next request is answered.
TEST(DemoBackendRequests, SkippedLinesAreCountedInTheNotice) {
  Backend backend = make_backend(false, "skipped");
  const std::pair<const char*, LineOutcome> lines[] = {
      {"{\"action\":\"refresh\"", LineOutcome::malformed},
      {"[1,2]", LineOutcome::malformed},
      {"{\"action\":5}", LineOutcome::malformed},
      {"   ", LineOutcome::blank},
      {"{\"action\":\"fly\"}", LineOutcome::unknown},
      {"{\"action\":\"seek\",\"offset_s\":\"soon\"}", LineOutcome::answered},
  };
  for (const auto& [line, outcome] : lines) {
    EXPECT_EQ(backend.handle_line(line, at(1)), outcome) << line;
  }
  backend.note_overlong_lines(1);
  EXPECT_EQ(backend.document()["notice"],
            "Skipped a request line longer than 1 MiB (5 request lines skipped so far)");
  backend.handle_line(R"({"action":"refresh_project"})", at(2));
  EXPECT_TRUE(
      backend.document()["notice"].get<std::string>().starts_with("Source inventory rescanned"));
}

}  // namespace
}  // namespace qm::demo::test
