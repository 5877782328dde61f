#include <gtest/gtest.h>

#include "backend_fixture.hpp"

namespace qm::demo::test {
namespace {

using nlohmann::json;

struct Answer {
  const char* line;
  const char* pointer;  // JSON pointer into the document
  json expected;
};

// What a request leaves where the viewer reads it, on a fresh demo.
TEST(DemoBackendRequests, AnswersLandWhereTheViewerReads) {
  const Answer answers[] = {
      {R"({"action":"inspect","entity_id":"topic:/scan","side":"baseline"})", "/inspection/status",
       "unavailable"},
      {R"({"action":"inspect","entity_id":"topic:/scan","side":"baseline"})", "/inspection/side",
       "baseline"},
      {R"({"action":"inspect","entity_id":"topic:/camera/extrinsics/depth_to_color","side":"current"})",
       "/inspection/collection_error",
       "type support not found: realsense2_camera_msgs/msg/Extrinsics"},
      {R"({"action":"inspect","entity_id":"topic:/battery_state","side":"current"})",
       "/inspection/status", "timed_out"},
      {R"({"action":"message_tf","entity_id":"topic:/cmd_vel","side":"current"})",
       "/message_tf/status", "no_stamp"},
      {R"({"action":"message_tf","entity_id":"topic:/scan","side":"baseline"})",
       "/message_tf/status", "unavailable"},
      {R"({"action":"config_diff","entity_id":"node:/camera/realsense","side":"current"})",
       "/configuration_diff/status",
       "unavailable: /camera/realsense did not answer the parameter read"},
      {R"({"action":"config_diff","entity_id":"node:/controller_server","side":"current"})",
       "/configuration_diff/status", "1 difference"},
      {R"({"action":"refresh","entity_id":"topic:/detections","side":"current"})",
       "/current/rates/topics/~1detections/status", "measured"},
      {R"({"action":"seek","offset_s":1e9})", "/runtime/playback/position_s", 312.6},
      {R"({"action":"seek","offset_s":-5})", "/runtime/playback/position_s", 0.0},
      {R"({"action":"stop"})", "/runtime/playback/state", "stopped"},
      {R"({"action":"play"})", "/runtime/playback/state", "playing"},
      {R"({"action":"launch_log","context":2,"limit":5,"query":"Lidar","severity":"warning","start":0})",
       "/runtime/launch_log_page/query", "Lidar"},
      {R"({"action":"launch_log","limit":5,"start":5})", "/runtime/launch_log_page/lines/0/number",
       6},
      {R"({"action":"launch_log","limit":5,"start":5})", "/runtime/launch_log_page/path",
       "/home/robot/.quillmesh/sessions/2026-12-09T13-41-02Z/launch.log"},
      {R"({"action":"plan_experiment","hypothesis":"h","variables":{}})", "/task/experiments/3/id",
       "exp-4"},
      {R"({"action":"finish_experiment","conclusion":"c","experiment_id":"exp-3","outcome":" Supported "})",
       "/task/experiments/2/result/outcome", "supported"},
      {R"({"action":"attach_experiment","result_index":1})", "/task/experiments/2/linked_results/0",
       "run-2026-12-08-1710"},
      {R"({"action":"experiment_results","experiment_id":"exp-2"})", "/result_selection",
       "run:run-2026-12-09-1342"},
      {R"({"action":"select_experiment","experiment_id":"exp-9"})", "/active_experiment_id",
       "exp-3"},
      {R"({"action":"ai_connection","connection_id":"team-review"})", "/assistant/connection/id",
       "team-review"},
      {R"({"action":"ai_context","result_id":"run-2026-12-08-1710","result_index":1,"selection_id":"run:run-2026-12-08-1710"})",
       "/assistant/context/evidence/0/kind", "result"},
      {R"({"action":"ai_disable"})", "/assistant/state", "disabled"},
      {R"({"action":"ai_models"})", "/assistant/pending_approval/id", "approval-7"},
      {R"({"action":"ai_deny","approval_id":"approval-7"})", "/assistant/pending_approval",
       nullptr},
      {R"({"action":"save_view","filter":"scan","selected_id":"topic:/scan","tab":2})",
       "/view_state/tab", 2},
      {R"({"action":"select_result","result_id":"check:run-2026-12-08-1710:2"})",
       "/result_selection", "check:run-2026-12-08-1710:2"},
  };
  for (const Answer& answer : answers) {
    Backend backend = make_backend(false, "answers_table");
    backend.handle_line(answer.line, at(1));
    const json::json_pointer pointer(answer.pointer);
    ASSERT_TRUE(backend.document().contains(pointer)) << answer.line << " " << answer.pointer;
    EXPECT_EQ(backend.document()[pointer], answer.expected) << answer.line << " " << answer.pointer;
  }
}

TEST(DemoBackendRequests, LogPagesFollowTheGrowingLog) {
  Backend backend = make_backend(true, "log_growth");
  const json& runtime = backend.document()["runtime"];
  backend.handle_line(
      R"({"action":"launch_log","limit":5,"query":"","severity":"error","start":0})", at(0));
  const auto errors_before = runtime["launch"]["log_summary"]["error_lines"].get<std::size_t>();
  for (double t = 0.1; t < 120.0; t += 0.5) {
    backend.step(at(t));
  }
  const json& page = runtime["launch_log_page"];
  EXPECT_GT(page["retained_lines"].get<std::size_t>(), 1842U);
  EXPECT_EQ(page["retained_lines"], backend.state().log.retained());
  EXPECT_EQ(page["severity"], "error") << "the page keeps the viewer's settings";
  EXPECT_EQ(page["shown_lines"], runtime["launch"]["log_summary"]["error_lines"]);
  EXPECT_GE(runtime["launch"]["log_summary"]["error_lines"].get<std::size_t>(), errors_before);
}

}  // namespace
}  // namespace qm::demo::test
