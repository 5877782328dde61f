#include "views/project_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model/row_selection.hpp"
#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;

constexpr std::string_view header =
    "PROJECT / EXPERIMENTS\n"
    "Active experiment: e-2\n"
    "Configured check: running\n"
    "Enter selects · n plans · g runs configured check · c cancels\n"
    "f records conclusion using latest linked evidence · o opens evidence\n"
    "u refreshes task · R recovers final evidence · r refreshes sources\n\n";

std::string page_of(const json& document, std::string_view id) {
  AppState state;
  state.model = build_model(testing::document_of(document));
  state.view = View::project;
  rebuild_rows(state);
  EXPECT_TRUE(select_row_by_id(state, id)) << id;
  const std::string text = project_page(state, state.selected_row()).text;
  EXPECT_TRUE(text.starts_with(header)) << text;
  return text.substr(std::min(text.size(), header.size()));
}

json project_document(std::size_t events) {
  json history = json::array();
  for (std::size_t i = 1; i <= events; ++i) {
    history.push_back({{"at", i}, {"kind", "note"}, {"text", "step " + std::to_string(i)}});
  }
  history.back()["artifact"] = {{"path", "runs/last.json"}};
  history[history.size() - 2]["artifact"] = {{"sha", "x"}};
  return {{"active_experiment_id", "e-2"},
          {"runtime", {{"check", {{"status", "running"}}}}},
          {"profile", {{"robot", "amr-07"}}},
          {"project", {{"root", "/ws"}}},
          {"task",
           {{"title", "Dock reliably"},
            {"status", "active"},
            {"events", history},
            {"artifact_checks", {{"fresh", true}}},
            {"experiments", {{{"id", "e-2"}, {"hypothesis", "QoS"}}}}}}};
}

TEST(ProjectDetail, TaskSummaryShowsTheLastTenEvents) {
  std::string recent;
  for (int i = 16; i <= 25; ++i) {
    recent += std::to_string(i) + " · note · step " + std::to_string(i) + "\n";
    if (i == 24) {
      recent += "  Evidence: unknown\n";
    }
  }
  EXPECT_EQ(page_of(project_document(25), "project:summary"),
            "DEVELOPMENT TASK · u refreshes saved progress\n"
            "Dock reliably\nStatus: active\nNext step: unknown\nUpdated: unknown\n\n"
            "RECENT PROGRESS (last 10 events)\n" +
                recent +
                "  Evidence: runs/last.json\n"
                "\nFull history remains in the task file; progress is not behavioral assurance.\n"
                "SAVED PROFILE / SETUP\nrobot: amr-07\n"
                "\nSOURCE INVENTORY\nroot: /ws\n"
                "\nSource declarations are candidates; unresolved runtime relationships remain "
                "explicit.");
}

TEST(ProjectDetail, ExperimentHistoryAndNoTask) {
  const json document = project_document(2);
  EXPECT_EQ(page_of(document, "experiment:e-2"),
            "hypothesis: QoS\nid: e-2\n"
            "\nEvidence freshness\nfresh: true\n"
            "\nResults: a attaches the selected result to the active experiment.\n"
            "Conclusions remain user interpretations. Each check keeps its start-time binding.");
  EXPECT_EQ(page_of(document, "task:history"),
            "FULL TASK HISTORY\n•\n  artifact\n    sha: x\n  at: 1\n  kind: note\n  text: step 1\n"
            "•\n  artifact\n    path: runs/last.json\n  at: 2\n  kind: note\n  text: step 2\n"
            "\nEvidence freshness\nfresh: true\n");
  json no_task = document;
  no_task.erase("task");
  EXPECT_TRUE(page_of(no_task, "project:summary")
                  .starts_with("No development task attached. Supply --task when opening the "
                               "workspace.\nSAVED PROFILE / SETUP\n"));
}

}  // namespace
}  // namespace qm
