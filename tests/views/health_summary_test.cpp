#include "views/health_summary.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::document_of;

std::string summary_of(const json& document, Side side = Side::current) {
  AppState state;
  state.model = build_model(document_of(document));
  if (side == Side::baseline) {
    state.model = show_side(state.model, side);
  }
  return health_summary_text(state);
}

// The text from the first `from` up to the next `to` after it.
std::string between(const std::string& text, std::string_view from, std::string_view to) {
  const std::size_t start = text.find(from);
  return text.substr(start, text.find(to, start + from.size()) - start);
}

// The observation sections: everything between the status line block and the banner.
std::string sections_of(const json& document, Side side = Side::current) {
  const std::string text = summary_of(document, side);
  return between(text, "\n\n", "\nQUILLMESH").substr(2);
}

json finding(std::string_view severity) {
  return {{"id", "problem:" + std::string(severity)}, {"severity", severity}};
}

const std::string counts_line =
    "\nGRAPH COUNTS  0 nodes (capture node excluded) · 0 topics · discovery completeness unknown\n";

TEST(HealthSummary, EmptyDocumentFallsBackEverywhere) {
  EXPECT_EQ(summary_of(json::object()),
            "Graph checks not available for this session (it was opened before they existed).\n\n" +
                counts_line +
                "\n"
                "QUILLMESH  /  ROBOTICS WORKSPACE\n\nunknown\n\n"
                "Mode              unknown\n"
                "Backend           unknown\n"
                "ROS distribution  unknown\n"
                "ROS domain        unknown\n"
                "Launch            none · no owned launch in this session\n"
                "Readiness         unknown · no owned launch\n"
                "Updated           unknown\n"
                "Revision          unknown\n"
                "Graph observation unavailable · discovery completeness unknown\n\n"
                "Nodes             0\nTopics            0\nFrames            0\n"
                "Structural changes 0\nEvidence runs      0\n\n"
                "unknown\n\n"
                "Use 0 Project to inspect source declarations and refresh after edits.\n"
                "Use 2 Graph to trace publisher → topic → subscriber.\n"
                "Use 7 Results to inspect checks, measured values and evidence.\n"
                "Use 8 Playback to operate the configured recording.\n"
                "Press L to inspect the owned launch log, ? for help.\n\n"
                "Observations do not establish source mappings, target identity or hardware "
                "safety.\n\n"
                "MANAGED RECORDER (writer lifecycle; active payload unverified until close)\n"
                "unknown\n\n\nBACKEND ERROR\nunknown\n\nCAPTURE WARNINGS\nunknown\n");
}

TEST(HealthSummary, StatusLineTakesTheFirstThatApplies) {
  const json e = finding("error"), w = finding("warning"), u = finding("unknown");
  const std::pair<json, std::string_view> cases[] = {
      {{{"findings", {e}}}, "Not ready: 1 error found. Start with the first problem in the list."},
      {{{"findings", {w, e, e}}},
       "Not ready: 2 errors found. Start with the first problem in the list."},
      {{{"status", "complete"}, {"findings", {w, u, w}}}, "3 items to review; no errors found."},
      {{{"findings", {u, finding("info")}}}, "1 item to review; no errors found."},
      {{{"status", "complete"}, {"detectors_run", {1, 2, 3}}, {"findings", {finding("info")}}},
       "No problems found by the 3 graph checks that ran on this capture."},
      {{{"status", "partial"}, {"detectors_run", {1, 2}}},
       "No problems found, but only 2 of 7 graph checks ran."},
      {{{"status", "x"}, {"reason", "backend\nold"}}, "Graph checks not available: backend↵old."},
      {json::object(), "Graph checks not available: unknown."},
  };
  for (const auto& [problems, line] : cases) {
    const std::string text = summary_of({{"problems", problems}});
    EXPECT_EQ(text.substr(0, text.find('\n')), line) << problems;
  }
}

TEST(HealthSummary, GraphChecks) {
  const json problems = {
      {"status", "partial"},
      {"detectors_run", {"qos", "publishers"}},
      {"not_checked", {"/a", 5}},
      {"skipped", {{{"detector", "tf"}, {"reason", "no frames"}}, {{"detector", "clock"}}}},
      {"observer", {{"node", "/vistrel_4"}, {"source", "self"}}},
      {"findings", {finding("unknown"), finding("info")}}};
  EXPECT_EQ(sections_of({{"problems", problems}}),
            "GRAPH CHECKS  partial · 2 ran · unresolved: 1\n"
            "Not checked: /a, 5\n"
            "Skipped: tf (no frames); clock (unknown)\n"
            "Capture node: /vistrel_4 (self)\n"
            "One graph snapshot shows likely causes, not proof.\n" +
                counts_line);
}

TEST(HealthSummary, LiveRates) {
  const json topics = {
      {"/a/fast", {{"mean_rate_hz", 9.96}, {"expected", {{"max_hz", 20}}}}},
      {"/a/quiet", {{"count", 3}, {"status", "silent"}, {"expected", {{"min_hz", 2.5}}}}},
      {"/a/measured", {{"count", 0}, {"status", "measured"}, {"expected", {{"min_hz", 1}}}}},
      {"/b/limited",
       {{"status", "observer_limited"}, {"expected", {{"min_hz", 5}, {"max_hz", 20.5}}}}},
      {"/b/words", {{"status", "queue_overflow_seen"}}},
      {"/b/wordz", {{"status", "\u00fc_x"}}},
      {"/b/silent", {{"status", "silent"}}},
      {"/B/none", json::object()},
      {"/b/\x1b[2J\u202e", {{"mean_rate_hz", 1}}},
      {"/c/abcde\x7fghijklmnop", {{"mean_rate_hz", 1}}},
      {"/c/abcdefgh\u00e9ijklmno", {{"mean_rate_hz", 1}}},
      {"/c/abcdefghijklmn\x01", {{"mean_rate_hz", 1}}},
  };
  EXPECT_EQ(sections_of({{"current", {{"rates", {{"window_s", 5}, {"topics", topics}}}}}}),
            "\nLIVE RATES  5 s samples received at this observer\n"
            "  unknown     /B/none\n"
            "  10.0 Hz     /a/fast  expected ≤ 20 Hz\n"
            "  0 in 5 s    /a/measured  expected ≥ 1 Hz\n"
            "  3 in 5 s    /a/quiet  expected ≥ 2.5 Hz\n"
            "  1.0 Hz      /b/\uFFFD[2J\uFFFD\n"
            "  limited     /b/limited  expected 5–20.5 Hz\n"
            "  silent      /b/silent\n"
            "  queue overflow seen /b/words\n"
            "  \u00fc x         /b/wordz\n"
            "  1.0 Hz      /c/abcdefghijklmn\uFFFD\n"
            "  1.0 Hz      /c/abcdefgh\u00e9ijklmno\n"
            "  1.0 Hz      /c/abcde\uFFFDghijklmnop\n" +
                counts_line);

  const struct {
    json rates;
    std::string expected;
  } fallbacks[] = {
      {{{"window_s", "5"}, {"topics", {{"/t", {{"count", 2}, {"status", "measured"}}}}}},
       "\nLIVE RATES  1 s samples received at this observer\n  2 in 1 s    /t\n"},
      {{{"status", "unavailable"}, {"reason", "no observer"}, {"topics", json::object()}},
       "\nLIVE RATES  no observer\n"},
      {{{"status", "measured"}, {"topics", json::object()}}, ""},
  };
  for (const auto& c : fallbacks) {
    EXPECT_EQ(sections_of({{"current", {{"rates", c.rates}}}}), c.expected + counts_line)
        << c.rates;
  }
}

TEST(HealthSummary, Parameters) {
  const std::string not_read =
      "\nPARAMETERS  use_sim_time not read for the nodes in this capture yet\n";
  const std::pair<json, std::string> cases[] = {
      {{{"queried", 12}, {"answered", 10}, {"status", "ok"}, {"truncated", true}},
       "\nPARAMETERS  use_sim_time answered by 10 of 12 nodes · ok · more nodes not asked\n"},
      {{{"queried", 0}}, not_read},
      {{{"queried", -2}}, not_read},
      {{{"queried", 1.5}}, not_read},
  };
  for (const auto& [parameters, expected] : cases) {
    const std::string text = sections_of({{"problems", {{"parameters", parameters}}}});
    EXPECT_EQ(text.substr(text.find("proof.\n") + 7), expected + counts_line) << parameters;
  }
}

TEST(HealthSummary, DeclaredChecksAndLaunchProcesses) {
  json processes = json::array({
      {{"name", "driver"},
       {"state", "failed"},
       {"attempt", 2},
       {"exit_code", -9},
       {"failure_count", 3}},
      {{"name", 7}, {"state", "running"}, {"exit_code", 2.5}, {"failure_count", 0}},
      {{"name", "planner\u202e"}, {"exit_code", 18446744073709551615u}},
  });
  for (int i = 3; i < 30; ++i) {
    processes.push_back({{"name", "p" + std::to_string(i)}, {"state", "running"}, {"attempt", 1}});
  }
  const json launch = {{"readiness_checks",
                        {{"observations",
                          {{{"status", "passed"}, {"topic", "/scan"}, {"node", "/lidar"}},
                           {{"status", "failed"}, {"node", "/lidar"}},
                           {{"topic", 4}},
                           "bare"}}}},
                       {"processes",
                        {{"observed", "pid polling"},
                         {"retained", true},
                         {"dropped_lines", 17},
                         {"processes", processes}}}};
  std::string listed;
  for (int i = 3; i < 24; ++i) {
    listed += "running  p" + std::to_string(i) + " · attempt 1\n";
  }
  EXPECT_EQ(sections_of({{"runtime", {{"launch", launch}}}}),
            "\nDECLARED CHECKS\n"
            "passed  /scan\nfailed  /lidar\nunknown  check\nunknown  check\n"
            "\nLAUNCH PROCESSES  pid polling · from the previous run; not verified now\n"
            "failed  driver · exit -9 · attempt 2 · 3 failed attempts\n"
            "running  ? · attempt unknown\n"
            "unknown  planner\uFFFD · attempt unknown\n" +
                listed + "17 launch output lines were dropped; process states may be incomplete\n" +
                counts_line);
}

TEST(HealthSummary, TfFramesCountsAndLastResult) {
  json edges = json::array({
      {{"parent", "map"}, {"child", "odom"}, {"static", true}, {"rate_hz", 3}},
      {{"parent", "odom"}, {"child", "base_link"}, {"rate_hz", 29.96}},
      {{"parent", "base_link"}},
  });
  for (int i = 3; i < 12; ++i) {
    edges.push_back({{"parent", "base_link"}, {"child", "c" + std::to_string(i)}, {"rate_hz", i}});
  }
  const json document = {
      {"current",
       {{"tf",
         {{"frames", {"map", "odom", "base_link"}},
          {"roots", {"map"}},
          {"multi_parent_frames", {{{"frame", "odom"}}, "laser", 5, {{"frame", 1}}}},
          {"edges", edges}}}}},
      {"problems", {{"observer", {{"node", "/vistrel_9"}}}}},
      {"entities",
       {{{"kind", "node"}, {"id", "node:/vistrel_9"}},
        {{"kind", "node"}, {"id", "node:/vistrel_9"}},
        {{"kind", "node"}, {"id", "node:/planner"}},
        {{"kind", "topic"}, {"id", "topic:/scan"}}}},
      {"runs", {{{"status", "passed"}, {"title", "dock check"}}, {{"status", "failed"}}}}};
  const std::string text = sections_of(document);
  EXPECT_EQ(text.substr(text.find("proof.\n") + 7),
            "\nTF FRAMES  3 frames · 1 roots · two parents: odom, laser\n"
            "  map → odom  static\n"
            "  odom → base_link  30.0 Hz\n"
            "  base_link → unknown  rate unknown\n"
            "  base_link → c3  3.0 Hz\n  base_link → c4  4.0 Hz\n  base_link → c5  5.0 Hz\n"
            "  base_link → c6  6.0 Hz\n  base_link → c7  7.0 Hz\n"
            "\nGRAPH COUNTS  1 nodes (capture node excluded) · 1 topics · discovery completeness "
            "unknown\n"
            "\nLAST RESULT  passed · dock check\n");
  EXPECT_EQ(sections_of({{"current", {{"tf", {{"frames", 3}}}}}}),
            "\nTF FRAMES  0 frames · 0 roots · no frame with two parents\n" + counts_line);
}

TEST(HealthSummary, BaselineReadsTheBaselineCapture) {
  const auto capture = [](std::string_view topic, long generated_at) {
    return json{{"label", "capture"},
                {"graph", {{"generated_at", generated_at}, {"nodes", {"/vistrel_2", "/x"}}}},
                {"rates", {{"topics", {{topic, {{"mean_rate_hz", 2}}}}}}},
                {"tf", {{"frames", {"map"}}}}};
  };
  const json document = {
      {"current", capture("/now", 1700000000)},
      {"baseline", capture("/before", 1600000000)},
      {"problems",
       {{"status", "complete"},
        {"parameters", {{"queried", 2}}},
        {"findings", {finding("error")}}}},
      {"baseline_entities",
       {{{"kind", "node"}, {"id", "node:/vistrel_2"}}, {{"kind", "node"}, {"id", "node:/x"}}}}};
  const std::string text = summary_of(document, Side::baseline);
  EXPECT_EQ(sections_of(document, Side::baseline),
            "GRAPH CHECKS  complete · 0 ran · unresolved: 0\nNot checked: \n"
            "Capture node: unknown (unknown)\n"
            "One graph snapshot shows likely causes, not proof.\n"
            "\nLIVE RATES  1 s samples received at this observer\n"
            "  2.0 Hz      /before\n"
            "\nTF FRAMES  1 frames · 0 roots · no frame with two parents\n"
            "\nGRAPH COUNTS  1 nodes (capture node excluded) · 0 topics · discovery completeness "
            "unknown\n");
  EXPECT_TRUE(text.starts_with("Viewing the baseline capture."));
  EXPECT_EQ(between(text, "Graph observ", "\n"),
            "Graph observed: 1600000000 s Unix wall time · discovery completeness unknown");
}

TEST(HealthSummary, BannerInsertions) {
  json failures = json::array();
  for (int i = 1; i <= 6; ++i) {
    failures.push_back({{"text", "child " + std::to_string(i) + "\tdied"}});
  }
  const json document = {
      {"mode", "live"},
      {"revision", 41},
      {"current", {{"label", "amr-07"}, {"graph", {{"generated_at", 1700000000.25}}}}},
      {"runtime",
       {{"status", "observing"},
        {"distribution", "jazzy"},
        {"domain_id", 42},
        {"updated_at", "2026-12-09T14:03:27Z"},
        {"session", {{"directory", "/tmp/s\u202e1"}, {"note", "Dock test\nsecond line"}}},
        {"launch",
         {{"state", "running"},
          {"readiness", "ready"},
          {"log_summary",
           {{"first_error", {{"text", "[ERROR] boom\x07"}}}, {"child_failures", failures}}}}}}}};
  EXPECT_EQ(between(summary_of(document), "QUILLMESH", "Use 0 Project"),
            "QUILLMESH  /  ROBOTICS WORKSPACE\n\namr-07\n\n"
            "Mode              live\n"
            "Backend           observing\n"
            "ROS distribution  jazzy\n"
            "ROS domain        42\n"
            "Launch            running\n"
            "Readiness         ready\n"
            "Session           /tmp/s\uFFFD1\n"
            "\nSESSION NOTE\nDock test\nsecond line\n\n"
            "\nLAUNCH FAILURE SIGNALS (pattern summary; inspect L for context)\n"
            "First error: [ERROR] boom\uFFFD\n"
            "Child failure: child 1 died\nChild failure: child 2 died\n"
            "Child failure: child 3 died\nChild failure: child 4 died\n"
            "More child failures in L launch log.\n"
            "Parent state and declared readiness are shown above; log patterns do not establish "
            "readiness.\n"
            "\nUpdated           2026-12-09T14:03:27Z\n"
            "Revision          41\n"
            "Graph observed: 1700000000.25 s Unix wall time · discovery completeness unknown\n"
            "\nNodes             0\nTopics            0\nFrames            0\n"
            "Structural changes 0\nEvidence runs      0\n\nunknown\n\n");

  // Document texts that look like banner lines stay where they belong.
  const json lookalikes = {
      {"runtime",
       {{"session", {{"directory", "/s"}, {"note", "a\nUpdated b\n\nNodes c"}}},
        {"launch", {{"log_summary", {{"first_error", {{"text", "x\n\nNodes y"}}}}}}}}}};
  EXPECT_EQ(between(summary_of(lookalikes), "Readiness", "Topics"),
            "Readiness         unknown (no declared checks)\n"
            "Session           /s\n"
            "\nSESSION NOTE\na\nUpdated b\n\nNodes c\n\n"
            "\nLAUNCH FAILURE SIGNALS (pattern summary; inspect L for context)\n"
            "First error: x\n\nNodes y\n"
            "Parent state and declared readiness are shown above; log patterns do not establish "
            "readiness.\n"
            "\nUpdated           unknown\nRevision          unknown\n"
            "Graph observation unavailable · discovery completeness unknown\n"
            "\nNodes             0\n");
  // A note without a directory is not shown.
  EXPECT_EQ(summary_of({{"runtime", {{"session", {{"note", "n"}}}}}}), summary_of(json::object()));
}

TEST(HealthSummary, ReadinessRule) {
  const struct {
    json runtime;
    std::string_view line;
  } cases[] = {
      {{{"launch", json::object()}}, "unknown (no declared checks)"},
      {{{"launch", {{"readiness_checks", {{"status", "passed"}}}}}},
       "unknown (declared checks passed; not a readiness claim)"},
      {{{"launch", {{"readiness", "unknown"}, {"readiness_checks", {{"status", "failed"}}}}}},
       "unknown"},
      {{{"launch", {{"readiness", "ready"}, {"readiness_checks", {{"status", 1}}}}}}, "ready"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(between(summary_of({{"runtime", c.runtime}}), "Readiness", "\n"),
              "Readiness         " + std::string(c.line))
        << c.runtime;
  }
}

TEST(HealthSummary, RecorderErrorAndWarningsTail) {
  json deep = "bottom";
  for (int i = 0; i < 20; ++i) {
    deep = {{"k", deep}};
  }
  const json document = {{"runtime",
                          {{"recording", {{"state", "writing"}, {"topics", {"/a", "/b"}}}},
                           {"error", "lost\nconnection"}}},
                         {"current", {{"warnings", {{"clock_skew", 0.5}, {"nested", deep}}}}}};
  std::string nested;
  for (std::size_t depth = 1; depth <= 16; ++depth) {
    nested += std::string(depth * 2, ' ') + "k\n";
  }
  const std::string text = summary_of(document);
  EXPECT_EQ(text.substr(text.find("MANAGED RECORDER")),
            "MANAGED RECORDER (writer lifecycle; active payload unverified until close)\n"
            "state: writing\ntopics: /a, /b\n\n\nBACKEND ERROR\nlost↵connection\n\n"
            "CAPTURE WARNINGS\nclock skew: 0.5\nnested\n" +
                nested + "… deeper fields available in raw view\n");
}

}  // namespace
}  // namespace qm
