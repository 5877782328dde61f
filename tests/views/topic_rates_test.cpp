#include "views/topic_rates.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"
#include "views/message_inspection.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::document_of;

// The LIVE RATE section of topic `name` in a document whose `current.rates` is `rates`.
std::string live_rate(const json& rates, std::string_view name = "/scan",
                      const json& details = json::object(), bool baseline = false) {
  const DocumentPtr document = document_of({{"current", {{"rates", rates}}}});
  const DocumentPtr row_value = document_of({{"details", details}});
  const std::string id = "topic:" + std::string(name);
  Row row{id, name, &row_value->root, nullptr};
  return live_rate_section(document->root, row, baseline);
}

constexpr std::string_view heading =
    "\nLIVE RATE  received at this observer · 5 s sample · best-effort, volatile QoS\n";

TEST(LiveRate, MeasuredForms) {
  const struct {
    json measurement;
    json rates_extra;
    std::string body;
  } cases[] = {
      {{{"status", "measured"},
        {"mean_rate_hz", 29.97},
        {"count", 150},
        {"duration_s", 4.996},
        {"min_gap_s", 0.0301},
        {"max_gap_s", 0.04},
        {"mean_size_bytes", 100.4},
        {"bytes_per_s", 2500},
        {"last_receipt_age_s", 0.081},
        {"stamp_offset_unverified_s", -0.0104}},
       {{"expected", {{"/scan", {{"min_hz", 20}, {"max_hz", 40}}}}},
        {"checks", {{"/scan", {{"samples", {"30.0 ok", "29.9 ok"}}}}}},
        {"plan", {{"reasons", {{"/scan", "declared rate"}}}}}},
       "Rate: 30.0 Hz · expected 20–40 Hz · status: measured\n"
       "Recent samples against the declared rate: 30.0 ok, 29.9 ok\n"
       "Messages: 150 in 5.00 s · gaps 0.030–0.040 s · 100 B per message · 2.5 KB/s\n"
       "Last receipt: 0.08 s before the sample ended\n"
       "Stamp offset (unverified): -0.010 s; a shared clock is not established\n"
       "Sampled because: declared rate\n"},
      // No rate: the note stands in; one gap alone and no duration give no gaps and the window.
      {{{"status", "silent"},
        {"count", 0},
        {"rate_note", "no messages"},
        {"min_gap_s", 0.1},
        {"stamp_note", "no header"}},
       {{"expected", {{"/scan", {{"min_hz", 2.5}}}}}},
       "Rate: no messages · expected at least 2.5 Hz · status: silent\n"
       "Messages: 0 in 5.00 s\n"
       "Stamp: no header\n"},
      {{{"status", "observer_limited"}, {"mean_rate_hz", 9.96}, {"reason", "CPU bound"}},
       {{"expected", {{"/scan", {{"max_hz", 20}}}}}},
       "Rate: 10.0 Hz · expected at most 20 Hz · status: observer_limited\n"
       "Messages: unknown in 5.00 s\n"
       "CPU bound\n"},
      {{{"status", "type_unavailable"}, {"reason", "no type support"}},
       {{"plan", {{"reasons", {{"/scan", "selected"}}}}}},
       "Not measured: no type support\nSampled because: selected\n"},
      {{{"status", "no_publisher"}},
       json::object(),
       "No publisher in discovery; nothing to measure.\n"},
  };
  for (const auto& c : cases) {
    json rates = c.rates_extra;
    rates["window_s"] = 5;
    rates["topics"]["/scan"] = c.measurement;
    EXPECT_EQ(live_rate(rates), std::string(heading) + c.body) << c.measurement.dump();
  }
}

TEST(LiveRate, WhyATopicWasNotSampled) {
  const json skipped = {{"skipped", {{{"topic", "/scan"}, {"reason", "budget spent"}}}}};
  const struct {
    json rates;
    std::string_view name;
    json details;
    std::string_view why;
  } cases[] = {
      {skipped, "/scan", json::object(), ": budget spent"},
      {json::object(), "/rosout", json::object(), ": infrastructure topic; never sampled"},
      {json::object(),
       "/scan",
       {{"publisher_count", 0}},
       ": no publisher in this capture; nothing to sample"},
      {json::object(),
       "/scan",
       {{"publisher_count", 2}},
       "; it is sampled on the next refresh while selected"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(live_rate(c.rates, c.name, c.details),
              "\nLIVE RATE  not sampled this refresh" + std::string(c.why) + "\n");
  }
  EXPECT_EQ(live_rate(skipped, "/scan", json::object(), true), "");
}

constexpr std::string_view inspection_heading =
    "\nMESSAGE INSPECTION · i requests or retries bounded samples and shape\n";

std::string inspection_text(const json& inspection, bool baseline = false) {
  return message_inspection_section(document_of({{"inspection", inspection}})->root, "topic:/scan",
                                    baseline);
}

TEST(MessageInspection, SampledValuesErrorsAndProvenance) {
  const json inspection = {{"entity_id", "topic:/scan"},
                           {"side", "current"},
                           {"status", "complete"},
                           {"requested_at", 10},
                           {"graph_observed_at", 9.5},
                           {"collection_error", "timed out"},
                           {"errors", {{"decode", "1 message skipped"}}},
                           {"observations",
                            {{"peek",
                              {{"limit", 3},
                               {"messages",
                                {{{"header", {{"frame_id", "laser"}}}},
                                 {{"header", {{"frame_id", "base"}}}},
                                 {{"header", {{"frame_id", "laser"}}}}}}}}}}};
  EXPECT_EQ(inspection_text(inspection),
            std::string(inspection_heading) +
                "Outcome: complete · sample count: 3 · frame: base, laser\n"
                "Inspection requested: 10 · started: unknown · finished: unknown\n"
                "Graph observed: 9.5 s Unix wall time (separate observation)\n"
                "Discovery completeness: unknown\n"
                "\nSAMPLED VALUES\n"
                "•\n  header\n    frame id: laser\n"
                "•\n  header\n    frame id: base\n"
                "•\n  header\n    frame id: laser\n"
                "\nINSPECTION ERRORS\nCollection worker: timed out\ndecode: 1 message skipped\n"
                "\nPROVENANCE AND BOUNDS\n"
                "collection error: timed out\n"
                "entity id: topic:/scan\n"
                "errors\n  decode: 1 message skipped\n"
                "graph observed at: 9.5\n"
                "observations\n  peek\n    limit: 3\n"
                "requested at: 10\n"
                "side: current\n"
                "status: complete\n");
}

TEST(MessageInspection, ShownOnlyForItsTopicAndSide) {
  const json bare = {{"entity_id", "topic:/scan"}, {"side", "current"}, {"errors", json::object()}};
  const std::string none =
      std::string(inspection_heading) + "No inspection for this selected topic and capture side.\n";
  EXPECT_EQ(inspection_text(bare, true), none);
  EXPECT_EQ(inspection_text({{"entity_id", "topic:/other"}, {"side", "current"}}), none);
  // An empty errors object adds nothing; a collection error that is not a text still titles the
  // errors once.
  EXPECT_EQ(
      inspection_text(bare),
      std::string(inspection_heading) +
          "Outcome: unknown · sample count: 0 · frame: unknown\n"
          "Inspection requested: unknown · started: unknown · finished: unknown\n"
          "Graph observed: unknown (not recorded for this inspection) (separate observation)\n"
          "Discovery completeness: unknown\n"
          "\nPROVENANCE AND BOUNDS\nentity id: topic:/scan\nerrors\nside: current\n");
  json odd = bare;
  odd["collection_error"] = 3;
  odd["errors"] = {"late"};
  const std::string text = inspection_text(odd);
  EXPECT_NE(text.find("\nINSPECTION ERRORS\n• late\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace qm
