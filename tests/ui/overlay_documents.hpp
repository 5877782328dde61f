#pragma once

#include <nlohmann/json.hpp>

#include "frame_fixture.hpp"

namespace qm::ui_test {

// The frame session with an owned launch, its log summary and a page of its retained log written
// for the viewer's default settings (no search, all severities, no context).
inline nlohmann::json launch_document() {
  nlohmann::json document = frame_document();
  document["runtime"]["launch"] = {
      {"state", "running"},
      {"log", "/tmp/session/launch.log"},
      {"readiness", nullptr},
      {"readiness_checks",
       {{"status", "passed"},
        {"checks", {{{"name", "scan topic publishes"}, {"status", "passed"}}}}}},
      {"log_summary",
       {{"first_error", {{"text", "[controller_server-3] process has died"}}},
        {"child_failures", {{{"name", "controller_server"}}}}}}};
  document["runtime"]["launch_log_page"] = {
      {"path", "/tmp/session/launch.log"},
      {"query", ""},
      {"severity", "all"},
      {"context", 0},
      {"start", 0},
      {"matches", 2},
      {"shown_lines", 4},
      {"retained_lines", 4},
      {"coverage", "complete"},
      {"sha256", "9f2c41d0"},
      {"bytes", 2048},
      {"at_end", true},
      {"lines",
       {{{"number", 7}, {"severity", "info"}, {"text", "[lidar_driver-1] started"}},
        {{"number", 42},
         {"severity", "warning"},
         {"match", true},
         {"text", "[amcl-2] no map received yet"}},
        {{"number", 1234},
         {"severity", "error"},
         {"match", true},
         {"text", "[controller_server-3] process has died"}},
        {{"severity", "info"}, {"text", "\tline without a number"}}}}};
  return document;
}

inline nlohmann::json assistant_document() {
  nlohmann::json document = frame_document();
  document["project"] = {{"root", "/home/robot/dock_ws"}};
  document["task_path"] = "tasks/docking.md";
  document["assistant"] = {
      {"state", "ready"},
      {"permissions", "read-only"},
      {"connection", {{"provider", "local"}, {"model", "small-7b"}}},
      {"usage", {{"requests", 3}, {"tokens", nullptr}}},
      {"pending_approval", {{"destination", "local model"}, {"data", {"topic:/scan"}}}},
      {"context", {"topic:/scan"}},
      {"messages",
       {{{"role", "user"}, {"text", "Why is /scan slow?"}},
        {{"role", "assistant"}, {"text", "Its publisher reports 9.8 Hz; the sample is short."}}}},
      {"notice", "Claims are not verdicts"}};
  return document;
}

}  // namespace qm::ui_test
