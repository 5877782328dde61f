#include "views/problem_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model/problem_list.hpp"
#include "model/view_rows.hpp"
#include "support/documents.hpp"
#include "views/detail_page.hpp"

namespace qm {
namespace {

using testing::document_of;

// The detail text of the problem the program reads from the literal.
std::string problem_text(const nlohmann::json& item) {
  return problem_detail_text(document_of(item)->root);
}

TEST(ProblemDetail, LaunchLayout) {
  const DocumentPtr document =
      document_of({{"runtime", {{"launch", {{"state", "failed"}, {"returncode", 2}}}}}});
  JsonArena arena;
  const std::vector<Json> problems = problem_list(document->root, arena);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problem_detail_text(problems[0]),
            "Launch failed with exit code 2\n"
            "Severity: error · Evidence: process state\n"
            "\n"
            "EVIDENCE TEXT\n"
            "Parent launch state: failed; return code: 2\n"
            "\n"
            "NEXT STEPS\n"
            "L opens the retained launch log.\n"
            "Log patterns are a summary; the log is the evidence.\n");
  // A finding that names the launch detector takes the same layout.
  EXPECT_EQ(
      problem_text({{"detector", "launch"}}),
      "Problem\nSeverity: unknown · Evidence: unknown\n\nEVIDENCE TEXT\n\n\nNEXT STEPS\n"
      "L opens the retained launch log.\nLog patterns are a summary; the log is the evidence.\n");
}

TEST(ProblemDetail, FindingWithQosProfiles) {
  const nlohmann::json finding = {
      {"title", "QoS mismatch on /scan"},
      {"severity", "error"},
      {"detector", "qos_compatibility"},
      {"detail",
       {{"publisher", "/lidar_driver"},
        {"subscriber", "/a_very_long_subscriber_node_name_for_the_table"},
        {"publisher_profile",
         {{"reliability", "best_effort"}, {"durability", "volatile"}, {"depth", 5}}},
        {"subscriber_profile", {{"reliability", "reliable"}, {"durability", "volatile"}}},
        {"policies", nlohmann::json::array({"reliability"})},
        {"unresolved_policies", nlohmann::json::array({"reliability", "depth"})}}},
      {"explanation", "Nothing arrives."},
      {"fix", "Publish reliably."},
      {"target", "topic:/scan"},
      {"finding", "incompatible"},
      {"doc_url", ""}};
  EXPECT_EQ(problem_text(finding),
            "QoS mismatch on /scan\n"
            "Severity: error · Check: qos_compatibility · Evidence: one graph snapshot of the "
            "current capture\n"
            "Likely cause, not proof.\n"
            "\n"
            "QOS PROFILES\n"
            "policy            /lidar_driver            …node_name_for_the_table\n"
            "depth             5                     ?  unknown\n"
            "durability        volatile                 volatile\n"
            "reliability       best_effort           ✕  reliable\n"
            "\n"
            "WHY IT MATTERS\nNothing arrives.\n"
            "\n"
            "LIKELY FIX\nPublish reliably.\n"
            "\n"
            "VERIFY COMMAND · y copies\nunknown\n"
            "\n"
            "NEXT STEPS\nEnter opens topic:/scan · Backspace returns here\n"
            "\n"
            "DETECTOR TEXT\nincompatible\n");
}

TEST(DetailText, DispatchAndRawEvidence) {
  nlohmann::json document = {
      {"problems", {{"findings", nlohmann::json::array({{{"id", "problem:p"}, {"title", "P"}}})}}}};
  AppState state;
  state.model = build_model(document_of(document));
  state.rows = build_view_rows(state.model, View::health, "", ResultsFilter::all);
  ASSERT_EQ(state.rows.size(), 2u);
  EXPECT_TRUE(detail_page(state).text.starts_with("Graph checks not available: unknown.\n"));
  state.selected = 1;
  EXPECT_TRUE(detail_page(state).text.starts_with("P\nSeverity: unknown"));
  state.raw_view = true;
  EXPECT_EQ(detail_page(state).text, document["problems"]["findings"][0].dump(2));
  state.view = View::playback;
  state.rows.clear();
  EXPECT_EQ(detail_page(state).text, document.dump(2));
}

}  // namespace
}  // namespace qm
