#include "model/rate_history.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "json/document_parser.hpp"
#include "support/rate_documents.hpp"

namespace qm {
namespace {

using std::chrono::seconds;
using std::chrono::steady_clock;

// The kept rates, oldest first, gaps as none.
std::vector<std::optional<double>> kept(const RateSeries& series) {
  std::vector<std::optional<double>> rates;
  for (const RateSample& sample : series) {
    rates.push_back(sample.gap() ? std::nullopt : std::optional<double>(sample.rate_hz));
  }
  return rates;
}

// A document measuring `count` topics "/t0", "/t1", ... (and "/scan" at `scan_rate` when given).
DocumentPtr many_topics(std::size_t count, std::optional<double> scan_rate = std::nullopt) {
  std::string text = R"({"current":{"rates":{"topics":{)";
  if (scan_rate) {
    text += R"("/scan":{"mean_rate_hz":)" + std::to_string(*scan_rate) + "},";
  }
  for (std::size_t i = 0; i < count; ++i) {
    text +=
        (i == 0 ? "" : ",") + std::string(R"("/t)") + std::to_string(i) + R"(":{"mean_rate_hz":1})";
  }
  return parse_document(text + "}}}}").value();
}

TEST(RateHistory, KeepsTheNewestSamplesOldestFirst) {
  const std::size_t depth = limits::rate_history_samples;
  const struct {
    std::size_t reloads;
    std::size_t size;
    uint32_t oldest_second;
  } cases[] = {
      {1, 1, 0},
      {depth - 1, depth - 1, 0},
      {depth, depth, 0},
      {depth + 1, depth, 1},  // the first wrap drops the oldest only
      {3 * depth + 7, depth, 2 * depth + 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reloads);
    std::vector<std::optional<double>> rates(c.reloads);
    for (std::size_t i = 0; i < c.reloads; ++i) {
      rates[i] = static_cast<double>(i % 1000);
    }
    RateHistory history;
    testing::record_series(history, "/scan", rates);
    const RateSeries series = history.samples("/scan");
    ASSERT_EQ(series.size(), c.size);
    EXPECT_EQ(series.front().time_ms, c.oldest_second * 1000);
    EXPECT_EQ(series.back().time_ms, (c.reloads - 1) * 1000);
    for (std::size_t i = 1; i < series.size(); ++i) {
      EXPECT_EQ(series[i].time_ms, series[i - 1].time_ms + 1000) << i;
      EXPECT_EQ(series[i].rate_hz, static_cast<float>((series[i].time_ms / 1000) % 1000)) << i;
    }
  }
}

// However many topics the documents measure, the whole history, index included, stays within
// the budget once every ring is full; each topic keeps fewer samples, never fewer than two.
TEST(RateHistory, ManyTopicsShareTheMemoryBudget) {
  EXPECT_LE(sizeof(RateSample), 16u);
  const struct {
    std::size_t topics;
    std::size_t depth;  // 0: fewer than all, at least two
  } cases[] = {{1, limits::rate_history_samples},
               {250, limits::rate_history_samples},
               {2'000, 0},
               {21'000, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.topics);
    const DocumentPtr document = many_topics(c.topics);
    RateHistory history;
    std::chrono::steady_clock::time_point now{};
    for (std::size_t reload = 0; reload <= limits::rate_history_samples; ++reload) {
      history.record(document->root, now += std::chrono::seconds(1));
    }
    if (c.depth != 0) {
      EXPECT_EQ(history.ring_depth(), c.depth);
    } else {
      EXPECT_LT(history.ring_depth(), limits::rate_history_samples);
      EXPECT_GE(history.ring_depth(), 2u);
    }
    EXPECT_EQ(history.samples("/t0").size(), history.ring_depth());
    EXPECT_LE(history.memory_bytes(), limits::rate_history_bytes);
  }
}

// When new topics make every ring shallower, each topic keeps its newest samples.
TEST(RateHistory, AShallowerDepthKeepsTheNewestSamples) {
  RateHistory history;
  const std::vector<std::optional<double>> rates = {1, 2, 3, std::nullopt, 5, 6, 7, 8, 9, 10};
  testing::record_series(history, "/scan", rates);
  history.record(many_topics(20'000, 11.0)->root,
                 std::chrono::steady_clock::time_point{seconds(rates.size())});
  const std::size_t depth = history.ring_depth();
  ASSERT_LT(depth, rates.size());
  const RateSeries series = history.samples("/scan");
  ASSERT_EQ(series.size(), depth);
  EXPECT_EQ(series.back().time_ms, rates.size() * 1000);
  EXPECT_EQ(series.back().rate_hz, 11.0f);
  EXPECT_EQ(series.front().time_ms, (rates.size() + 1 - depth) * 1000);
  // A topic new to the history has only the reload that named it.
  EXPECT_EQ(kept(history.samples("/t7")), (std::vector<std::optional<double>>{1.0}));
}

TEST(RateHistory, RecordsAnEntryWithoutAUsableRateAsAGap) {
  // The rate entry as the document writes it, and whether it gives a rate.
  const struct {
    std::string_view entry;
    std::optional<double> rate;
  } cases[] = {
      {R"({"status":"measured","mean_rate_hz":9.5})", 9.5},
      {R"({"status":"measured","mean_rate_hz":0})", 0.0},
      {R"({"status":"silent","count":0,"rate_note":"no messages"})", std::nullopt},
      {R"({"status":"observer_limited","reason":"too many topics"})", std::nullopt},
      {R"({"status":"measured","mean_rate_hz":"10"})", std::nullopt},
      {R"({"status":"measured","mean_rate_hz":null})", std::nullopt},
      // Beyond what a sample holds: refused rather than kept as infinity.
      {R"({"status":"measured","mean_rate_hz":1e300})", std::nullopt},
      {R"({"status":"measured","mean_rate_hz":-1e300})", std::nullopt},
      {R"("measured")", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    const std::string text =
        R"({"current":{"rates":{"topics":{"/scan":)" + std::string(c.entry) + "}}}}";
    const auto document = parse_document(text);
    ASSERT_TRUE(document);
    RateHistory history;
    history.record((*document)->root, steady_clock::time_point{});
    const RateSeries series = history.samples("/scan");
    ASSERT_EQ(series.size(), 1u);
    EXPECT_EQ(kept(series).front(), c.rate);
  }
}

TEST(RateHistory, KeepsTheRingOfATopicThatLeftTheDocument) {
  RateHistory history;
  const steady_clock::time_point start{seconds(100)};
  // Reload by reload: the topics the document measures.
  const std::vector<std::vector<std::pair<std::string, std::optional<double>>>> reloads = {
      {{"/scan", 10.0}, {"/odom", 50.0}},
      {{"/odom", 49.0}, {"/scan", std::nullopt}},  // order changed; /scan lost its publisher
      {{"/odom", 51.0}},                           // /scan left the document
      {{"/imu", 200.0}, {"/odom", 50.0}},
  };
  for (std::size_t i = 0; i < reloads.size(); ++i) {
    const DocumentPtr document = testing::document_of(testing::with_rates({}, reloads[i]));
    history.record(document->root, start + seconds(i));
  }
  ASSERT_EQ(history.topic_count(), 3u);
  EXPECT_EQ(kept(history.samples("/scan")),
            (std::vector<std::optional<double>>{10.0, std::nullopt}));
  EXPECT_EQ(kept(history.samples("/odom")),
            (std::vector<std::optional<double>>{50.0, 49.0, 51.0, 50.0}));
  EXPECT_EQ(kept(history.samples("/imu")), (std::vector<std::optional<double>>{200.0}));
  EXPECT_TRUE(history.samples("/tf").empty());
  // Times count from the first recording.
  EXPECT_EQ(history.epoch(), start);
  EXPECT_EQ(history.samples("/imu").back().time_ms, 3000u);
  EXPECT_EQ(history.samples("/scan").back().time_ms, 1000u);
}

TEST(RateHistory, ATopicNamedTwiceInOneDocumentGetsOneSample) {
  const auto document = parse_document(
      R"({"current":{"rates":{"topics":{"/scan":{"mean_rate_hz":1},"/scan":{"mean_rate_hz":2}}}}})");
  ASSERT_TRUE(document);
  RateHistory history;
  history.record((*document)->root, steady_clock::time_point{});
  history.record((*document)->root, steady_clock::time_point{seconds(1)});
  EXPECT_EQ(history.samples("/scan").size(), 2u);
}

TEST(RateHistory, ADocumentWithoutRatesRecordsNothing) {
  RateHistory history;
  for (const std::string_view text :
       {R"({})", R"({"current":{"rates":{"topics":[]}}})", R"({"current":null})"}) {
    const auto document = parse_document(text);
    ASSERT_TRUE(document);
    history.record((*document)->root, steady_clock::time_point{seconds(5)});
  }
  EXPECT_EQ(history.topic_count(), 0u);
  testing::record_series(history, "/scan", {1.0}, steady_clock::time_point{seconds(9)});
  EXPECT_EQ(history.epoch(), steady_clock::time_point{seconds(9)});
}

}  // namespace
}  // namespace qm
