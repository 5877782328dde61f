#include "views/results_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model/row_selection.hpp"
#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;

// The Results page of `document` with row `id` selected (none when `id` is empty).
DetailPage results_of(const json& document, std::string_view id) {
  AppState state;
  state.model = build_model(testing::document_of(document));
  state.view = View::results;
  rebuild_rows(state);
  state.selected = state.rows.size();
  EXPECT_TRUE(id.empty() || select_row_by_id(state, id)) << id;
  return results_page(state, state.selected_row());
}

constexpr std::string_view no_check =
    "CONFIGURED CHECK  ·  g run  ·  c cancel\n"
    "No check configured. Supply a check command when launching the workspace.\n\n";

TEST(ResultsDetail, VerdictCountsAndScalesStages) {
  const struct {
    json stages;  // label, duration_s, status
    std::string verdict;
  } cases[] = {
      {{{"build", 2.0, "passed"},
        {"localization convergence", 1.0, "ERROR"},
        {"lint", 0, "Skip"},
        {"dock", nullptr, "blocked"},
        {"upload", -3, "flaky"}},
       "VERDICT  failed · 5 stages: 1 passed, 1 failed, 1 blocked, 1 skipped\n\n"
       "RECORDED DURATIONS (per stage, not a timeline)\n"
       "passed  build                  2.00 s ██████████████\n"
       "ERROR  …ation convergence     1.00 s ███████\n"
       "Skip  lint                   0.00 s \n"
       "blocked  dock                      — \n"
       "flaky  upload                    — \n\n"},
      {{{"replay", 100, "pass"}, {"setup", 0.01, "FAIL"}},
       "VERDICT  failed · 2 stages: 1 passed, 1 failed, 0 blocked, 0 skipped\n\n"
       "RECORDED DURATIONS (per stage, not a timeline)\n"
       "pass  replay               100.00 s ██████████████\n"
       "FAIL  setup                  0.01 s █\n\n"},
      // No positive duration, no chart.
      {{{"a", "12", "skipped"}, {"b", -1, nullptr}},
       "VERDICT  failed · 2 stages: 0 passed, 0 failed, "
       "0 blocked, 1 skipped\n\n"},
  };
  for (const auto& c : cases) {
    json stages = json::array();
    for (const json& s : c.stages) {
      stages.push_back({{"label", s[0]}, {"duration_s", s[1]}, {"status", s[2]}});
    }
    const json run = {{"retained_id", "r"}, {"status", "failed"}, {"stages", stages}};
    const DetailPage page = results_of({{"runs", {run}}}, "run:r");
    EXPECT_EQ(page.title, "Run");
    EXPECT_EQ(page.text.substr(0, page.text.find("[failed]")), std::string(no_check) + c.verdict);
  }
}

TEST(ResultsDetail, StageRowHasNoVerdict) {
  const json stage = {{"label", "tests"}, {"status", "failed"}, {"raw", "log.txt"}};
  const json document = {{"runs", {{{"retained_id", "r"}, {"stages", {stage}}}}}};
  EXPECT_EQ(results_of(document, "check:r:0").text,
            std::string(no_check) +
                "  [failed] tests\n\n"
                "label: tests\n"
                "status: failed\n\n"
                "v toggles raw evidence. Paths are displayed, never executed.");
  EXPECT_EQ(results_of({{"runtime", {{"check", nullptr}}}}, "").text,
            std::string(no_check) +
                "No result files supplied. Add result files when launching the workspace.");
}

}  // namespace
}  // namespace qm
