#include "model/problem_list.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"

namespace qm {
namespace {

using testing::document_of;
using testing::nlohmann_of;

// The problem list of `document`, each problem read back as a plain value.
std::vector<nlohmann::json> problems_of(const nlohmann::json& document) {
  const DocumentPtr parsed = document_of(document);
  JsonArena arena;
  std::vector<nlohmann::json> out;
  for (const Json& item : problem_list(parsed->root, arena)) {
    out.push_back(nlohmann_of(item));
  }
  return out;
}

nlohmann::json with_launch(nlohmann::json launch) {
  return nlohmann::json{{"runtime", {{"launch", std::move(launch)}}}};
}

std::vector<std::string> titles(const std::vector<nlohmann::json>& problems) {
  std::vector<std::string> out;
  for (const nlohmann::json& item : problems) {
    out.push_back(item.value("title", ""));
  }
  return out;
}

TEST(ProblemList, ParentLaunchStates) {
  auto failed = problems_of(with_launch({{"state", "failed"}}));
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0]["title"], "Launch failed");
  EXPECT_EQ(failed[0]["text"], "Parent launch state: failed; return code: unknown");
  EXPECT_EQ(failed[0]["severity"], "error");
  EXPECT_EQ(failed[0]["evidence"], "process state");
  EXPECT_EQ(failed[0]["verify"], "L opens the retained launch log");
  EXPECT_EQ(failed[0]["id"],
            "problem:launch:state:" + fnv1a_hex(failed[0]["text"].get<std::string>()));

  auto failed_code = problems_of(with_launch({{"state", "failed"}, {"returncode", -2}}));
  EXPECT_EQ(failed_code[0]["title"], "Launch failed with exit code -2");

  auto exited = problems_of(with_launch({{"state", "exited"}, {"returncode", 3}}));
  EXPECT_EQ(exited[0]["title"], "Launch exited with code 3");
  EXPECT_EQ(exited[0]["text"], "Parent launch exited with return code 3");

  // A clean exit is information and sorts after every finding of another severity.
  nlohmann::json document = with_launch({{"state", "exited"}, {"returncode", 0}});
  document["problems"]["findings"] =
      nlohmann::json::array({{{"severity", "unknown"}, {"title", "U"}}});
  auto clean = problems_of(document);
  EXPECT_EQ(titles(clean), (std::vector<std::string>{"U", "Launch exited with code 0"}));
  EXPECT_EQ(clean[1]["severity"], "info");

  // A floating return code is no return code.
  auto floating = problems_of(with_launch({{"state", "exited"}, {"returncode", 1.5}}));
  EXPECT_EQ(floating[0]["title"], "Launch exited with code 0");
  EXPECT_TRUE(problems_of(with_launch({{"state", "running"}})).empty());
  EXPECT_TRUE(problems_of(nlohmann::json{{"runtime", {{"launch", "failed"}}}}).empty());
}

TEST(ProblemList, ProcessFailuresAndTheirPidsHideChildFailures) {
  nlohmann::json launch = {
      {"processes",
       {{"processes",
         nlohmann::json::array(
             {{{"name", "planner"},
               {"state", "running"},
               {"failure_count", 2},
               {"failures",
                nlohmann::json::array({{{"exit_code", 1}, {"attempt", 1}, {"pid", 4241}},
                                       {{"exit_code", -11}, {"attempt", 2}, {"pid", 4242}}})}},
              {{"name", "ok_node"}, {"failures", nlohmann::json::array()}}})}}},
      {"log_summary",
       {{"first_error", {{"text", "[planner-1] [pid 4242, died] segfault"}}},
        {"child_failures",
         nlohmann::json::array({{{"text", "[planner-1] [pid 4242, died] segfault"}},
                                {{"text", "[mapper-2] [pid 77, died] oom"}}})}}}};
  auto problems = problems_of(with_launch(launch));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0]["id"], "problem:launch:process:planner");
  EXPECT_EQ(problems[0]["title"], "Process planner exited with code -11, respawned and running");
  EXPECT_EQ(problems[0]["text"],
            "planner: 2 failed attempts; last exit code -11 (attempt 2, pid 4242). Current state: "
            "running.");
  EXPECT_EQ(problems[0]["evidence"], "process state (launch log lines)");
  EXPECT_EQ(problems[1]["title"], "Launch child failure: [mapper-2] [pid 77, died] oom");

  launch["processes"]["retained"] = true;
  launch["processes"]["processes"][0]["state"] = "finished";
  auto retained = problems_of(with_launch(launch));
  EXPECT_EQ(retained[0]["title"],
            "Process planner exited with code -11, later finished cleanly (previous run)");
  EXPECT_EQ(retained[0]["evidence"], "process state from the previous run; not verified now");
}

TEST(ProblemList, FirstErrorIsListedOnceAndShortened) {
  const std::string long_text(120, 'x');
  nlohmann::json launch = {
      {"log_summary",
       {{"first_error", {{"text", "boom"}}},
        {"child_failures", nlohmann::json::array({{{"text", "boom"}}, {{"text", long_text}}})}}}};
  auto problems = problems_of(with_launch(launch));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0]["title"], "Launch child failure: boom");
  EXPECT_EQ(problems[0]["id"], "problem:launch:child:" + fnv1a_hex("boom"));
  EXPECT_EQ(problems[1]["title"],
            "Launch child failure: " + std::string(55, 'x') + "…" + std::string(24, 'x'));

  launch["log_summary"]["child_failures"] = nlohmann::json::array();
  launch["log_summary"]["first_error"]["text"] = "fatal\x1b[31m";
  auto first = problems_of(with_launch(launch));
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0]["title"], "First error in launch log: fatal�[31m");
  EXPECT_EQ(first[0]["id"], "problem:launch:first-error:" + fnv1a_hex("fatal�[31m"));
}

TEST(ProblemList, DeclaredChecksThatFailed) {
  nlohmann::json launch = {
      {"readiness_checks",
       {{"observations", nlohmann::json::array({{{"topic", "/scan"},
                                                 {"status", "timed_out"},
                                                 {"attempts", 3},
                                                 {"last_error", "no data"}},
                                                {{"node", "/amcl"}, {"status", "passed"}},
                                                {{"status", "error"}}})}}}};
  auto problems = problems_of(with_launch(launch));
  EXPECT_EQ(titles(problems), (std::vector<std::string>{"Declared check timed_out: /scan",
                                                        "Declared check error: declared check"}));
  EXPECT_EQ(problems[0]["text"], "/scan · attempts: 3 · last error: no data");
  EXPECT_EQ(problems[1]["text"], "declared check · attempts: unknown · last error: unknown");
}

TEST(ProblemList, StableSeverityOrderAndCounts) {
  nlohmann::json document = with_launch({{"state", "failed"}});
  nlohmann::json findings = nlohmann::json::array();
  findings.push_back({{"severity", "warning"}, {"title", "W"}});
  findings.push_back({{"severity", "error"}, {"title", "E1"}});
  findings.push_back({{"title", "none"}});
  findings.push_back({{"severity", "info"}, {"title", "I"}});
  findings.push_back({{"severity", "error"}, {"title", "E2"}});
  findings.push_back({{"severity", "unknown"}, {"title", "U"}});
  findings.push_back(42);
  for (int i = 0; i < 30; ++i) {
    findings.push_back({{"severity", "warning"}, {"title", "W" + std::to_string(i)}});
  }
  document["problems"]["findings"] = findings;
  const DocumentPtr parsed = document_of(document);
  JsonArena arena;
  const std::vector<Json> list = problem_list(parsed->root, arena);
  std::vector<nlohmann::json> problems;
  for (const Json& item : list) {
    problems.push_back(nlohmann_of(item));
  }
  ASSERT_EQ(problems.size(), 37u);
  EXPECT_EQ(problems[0]["title"], "Launch failed");
  EXPECT_EQ(problems[1]["title"], "E1");
  EXPECT_EQ(problems[2]["title"], "E2");
  EXPECT_EQ(problems[3]["title"], "W");
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(problems[4 + i]["title"], "W" + std::to_string(i));
  }
  EXPECT_EQ(problems[34]["title"], "U");
  EXPECT_EQ(problems[35]["title"], "I");
  EXPECT_EQ(problems[36]["title"], "none");
  const SeverityCounts counts = severity_counts(list);
  EXPECT_EQ(counts.errors, 3u);
  EXPECT_EQ(counts.warnings, 31u);
  EXPECT_EQ(counts.unknown, 1u);
}

TEST(ProblemList, FnvHashHasSixteenDigits) {
  EXPECT_EQ(fnv1a_hex(""), "cbf29ce484222325");
  EXPECT_EQ(fnv1a_hex("a"), "af63dc4c8601ec8c");
}

}  // namespace
}  // namespace qm
