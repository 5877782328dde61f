#include "model/view_rows.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"
#include "support/row_lists.hpp"

namespace qm {
namespace {

using testing::ids;
using testing::labels;

SessionModel model_of(const nlohmann::json& document) {
  return build_model(testing::document_of(document));
}

TEST(ViewRows, SearchIsCaseInsensitiveAndFallsBackToTheId) {
  SessionModel model = model_of(
      {{"entities",
        nlohmann::json::array({{{"id", "topic:/scan"}, {"kind", "topic"}, {"name", "laser scan"}},
                               {{"id", "topic:/cmd_vel"}, {"kind", "topic"}, {"name", "velocity"}},
                               {{"id", "topic:/ΟΔΟΣ"}, {"kind", "topic"}, {"name", "ΟΔΟΣ"}}})}});
  EXPECT_EQ(labels(build_view_rows(model, View::topics, "LASER", ResultsFilter::all)),
            (std::vector<std::string>{"laser scan"}));
  EXPECT_EQ(labels(build_view_rows(model, View::topics, "cmd_", ResultsFilter::all)),
            (std::vector<std::string>{"velocity"}));
  EXPECT_EQ(labels(build_view_rows(model, View::topics, "οδος", ResultsFilter::all)),
            (std::vector<std::string>{"ΟΔΟΣ"}));
  EXPECT_TRUE(build_view_rows(model, View::topics, "nothing", ResultsFilter::all).empty());
  EXPECT_EQ(build_view_rows(model, View::graph, "", ResultsFilter::all).size(), 3u);
  EXPECT_TRUE(build_view_rows(model, View::playback, "", ResultsFilter::all).empty());
}

TEST(ViewRows, HealthChangesAndProjectRows) {
  SessionModel model = model_of(
      {{"problems",
        {{"findings", nlohmann::json::array(
                          {{{"id", "problem:qos"}, {"severity", "warning"}, {"title", "QoS\x1b"}},
                           {{"id", "problem:x"}, {"severity", "error"}}})}}},
       {"comparison",
        {{"changes",
          nlohmann::json::array({{{"id", "topic:/a"}, {"status", "added"}, {"name", "/a"}},
                                 {{"id", "node:/b"}, {"status", "removed"}, {"name", "/b"}}})}}},
       {"active_experiment_id", "e2"},
       {"task",
        {{"experiments", nlohmann::json::array({{{"id", "e1"}, {"hypothesis", "faster"}},
                                                {{"id", "e2"},
                                                 {"hypothesis", "slower"},
                                                 {"result", {{"outcome", "confirmed"}}}}})}}}});
  EXPECT_EQ(labels(build_view_rows(model, View::health, "", ResultsFilter::all)),
            (std::vector<std::string>{"System at a glance", "problem", "QoS�"}));
  EXPECT_EQ(ids(build_view_rows(model, View::health, "", ResultsFilter::all)),
            (std::vector<std::string>{"health:summary", "problem:x", "problem:qos"}));
  EXPECT_EQ(labels(build_view_rows(model, View::changes, "", ResultsFilter::all)),
            (std::vector<std::string>{"added   /a", "removed /b"}));
  EXPECT_EQ(
      labels(build_view_rows(model, View::project, "", ResultsFilter::all)),
      (std::vector<std::string>{"Project / saved profile", "Task history / evidence freshness",
                                "  [planned] faster", "● [confirmed] slower"}));
  EXPECT_EQ(ids(build_view_rows(model, View::project, "", ResultsFilter::all))[2], "experiment:e1");

  // Without a task object only the project row remains; without an active id nothing is marked.
  SessionModel plain =
      model_of({{"task", {{"experiments", nlohmann::json::array({nlohmann::json::object()})}}}});
  EXPECT_EQ(labels(build_view_rows(plain, View::project, "", ResultsFilter::all)),
            (std::vector<std::string>{"Project / saved profile",
                                      "Task history / evidence freshness", "  [planned] unknown"}));
  EXPECT_EQ(
      build_view_rows(model_of(nlohmann::json::object()), View::project, "", ResultsFilter::all)
          .size(),
      1u);
}

TEST(ViewRows, ResultsKeepTheRunAboveAKeptCheck) {
  SessionModel model = model_of(
      {{"runs",
        nlohmann::json::array(
            {{{"retained_id", "r-17"},
              {"status", "passed"},
              {"title", "nav smoke"},
              {"stages", nlohmann::json::array({{{"status", "pass"}, {"label", "boot"}},
                                                {{"status", "fail"}, {"label", "goal"}}})}},
             {{"status", "fail"}, {"title", "second"}},
             {{"status", "pass"},
              {"title", "third"},
              {"stages", nlohmann::json::array({{{"status", "pass"}, {"label", "only"}}})}}})}});
  EXPECT_EQ(ids(build_view_rows(model, View::results, "", ResultsFilter::all)),
            (std::vector<std::string>{"run:r-17", "check:r-17:0", "check:r-17:1", "run:1", "run:2",
                                      "check:2:0"}));
  EXPECT_EQ(labels(build_view_rows(model, View::results, "", ResultsFilter::all))[1],
            "  [pass] boot");
  EXPECT_EQ(ids(build_view_rows(model, View::results, "", ResultsFilter::fail)),
            (std::vector<std::string>{"run:r-17", "check:r-17:1", "run:1"}));
  EXPECT_EQ(ids(build_view_rows(model, View::results, "only", ResultsFilter::all)),
            (std::vector<std::string>{"run:2", "check:2:0"}));
  EXPECT_TRUE(build_view_rows(model, View::results, "", ResultsFilter::blocked).empty());
}

TEST(ViewRows, ResultsFiltersKeepBothFormsOfAVerdict) {
  SessionModel model =
      model_of({{"runs", nlohmann::json::array({{{"status", "passed"}, {"title", "a"}},
                                                {{"status", "pass"}, {"title", "b"}},
                                                {{"status", "failed"}, {"title", "c"}},
                                                {{"status", "fail"}, {"title", "d"}},
                                                {{"status", "error"}, {"title", "e"}},
                                                {{"status", "blocked"}, {"title", "f"}}})}});
  const struct {
    ResultsFilter filter;
    std::vector<std::string> kept;
  } cases[] = {
      {ResultsFilter::pass, {"run:0", "run:1"}}, {ResultsFilter::fail, {"run:2", "run:3"}},
      {ResultsFilter::error, {"run:4"}},         {ResultsFilter::blocked, {"run:5"}},
      {ResultsFilter::unavailable, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ids(build_view_rows(model, View::results, "", c.filter)), c.kept)
        << results_filter_name(c.filter);
  }
}

}  // namespace
}  // namespace qm
