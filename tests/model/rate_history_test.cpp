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
std::vector<std::optional<double>> kept(const RateRing& ring) {
  std::vector<std::optional<double>> rates;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    rates.push_back(ring.at(i).gap() ? std::nullopt : std::optional<double>(ring.at(i).rate_hz));
  }
  return rates;
}

TEST(RateRing, KeepsTheNewestSamplesOldestFirst) {
  const struct {
    std::size_t pushed;
    std::size_t size;
    uint32_t oldest;
  } cases[] = {
      {1, 1, 0},
      {RateRing::capacity - 1, RateRing::capacity - 1, 0},
      {RateRing::capacity, RateRing::capacity, 0},
      {RateRing::capacity + 1, RateRing::capacity, 1},  // the first wrap drops the oldest only
      {3 * RateRing::capacity + 7, RateRing::capacity, 2 * RateRing::capacity + 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pushed);
    RateRing ring;
    for (uint32_t i = 0; i < c.pushed; ++i) {
      ring.push(RateSample{i, static_cast<float>(i)});
    }
    ASSERT_EQ(ring.size(), c.size);
    EXPECT_EQ(ring.at(0).time_ms, c.oldest);
    EXPECT_EQ(ring.newest().time_ms, c.pushed - 1);
    for (std::size_t i = 1; i < ring.size(); ++i) {
      EXPECT_EQ(ring.at(i).time_ms, ring.at(i - 1).time_ms + 1) << i;
    }
  }
}

TEST(RateRing, MemoryIsBoundedPerSample) {
  EXPECT_LE(sizeof(RateSample), 16u);
  EXPECT_EQ(RateRing::capacity, 300u);
  RateRing ring;
  for (uint32_t i = 0; i < 3 * RateRing::capacity; ++i) {
    ring.push(RateSample{i, 1.0F});
    ASSERT_LE(ring.memory_bytes(), RateRing::capacity * sizeof(RateSample)) << i;
  }
}

TEST(RateRing, AShallowerDepthKeepsTheNewestSamples) {
  RateRing ring;
  for (uint32_t i = 0; i < 10; ++i) {
    ring.push(RateSample{i, 1.0F});
  }
  ring.push(RateSample{10, 1.0F}, 4);
  ASSERT_EQ(ring.size(), 4u);
  EXPECT_EQ(ring.at(0).time_ms, 7u);
  EXPECT_EQ(ring.newest().time_ms, 10u);
  EXPECT_LE(ring.memory_bytes(), 4 * sizeof(RateSample));
}

// So many topics that full rings would pass the budget: every ring keeps fewer samples, and all
// samples together stay within it.
TEST(RateHistory, ManyTopicsShareTheMemoryBudget) {
  const std::size_t topics = limits::rate_history_bytes / (100 * sizeof(RateSample));
  std::string text = R"({"current":{"rates":{"topics":{)";
  for (std::size_t i = 0; i < topics; ++i) {
    text +=
        (i == 0 ? "" : ",") + std::string(R"("/t)") + std::to_string(i) + R"(":{"mean_rate_hz":1})";
  }
  text += "}}}}";
  const DocumentPtr document = parse_document(text).value();
  RateHistory history;
  std::chrono::steady_clock::time_point now{};
  for (std::size_t reload = 0; reload < RateRing::capacity; ++reload) {
    history.record(document->root, now += std::chrono::seconds(1));
  }
  EXPECT_EQ(history.ring_depth(), 100u);
  EXPECT_EQ(history.ring("/t0")->size(), 100u);
  std::size_t sample_bytes = 0;
  for (std::size_t i = 0; i < topics; ++i) {
    sample_bytes += history.ring("/t" + std::to_string(i))->memory_bytes();
  }
  EXPECT_LE(sample_bytes, limits::rate_history_bytes);
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
    const RateRing* ring = history.ring("/scan");
    ASSERT_NE(ring, nullptr);
    ASSERT_EQ(ring->size(), 1u);
    EXPECT_EQ(kept(*ring).front(), c.rate);
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
  EXPECT_EQ(kept(*history.ring("/scan")), (std::vector<std::optional<double>>{10.0, std::nullopt}));
  EXPECT_EQ(kept(*history.ring("/odom")),
            (std::vector<std::optional<double>>{50.0, 49.0, 51.0, 50.0}));
  EXPECT_EQ(kept(*history.ring("/imu")), (std::vector<std::optional<double>>{200.0}));
  EXPECT_EQ(history.ring("/tf"), nullptr);
  // Times count from the first recording.
  EXPECT_EQ(history.epoch(), start);
  EXPECT_EQ(history.ring("/imu")->newest().time_ms, 3000u);
  EXPECT_EQ(history.ring("/scan")->newest().time_ms, 1000u);
}

TEST(RateHistory, ATopicNamedTwiceInOneDocumentGetsOneSample) {
  const auto document = parse_document(
      R"({"current":{"rates":{"topics":{"/scan":{"mean_rate_hz":1},"/scan":{"mean_rate_hz":2}}}}})");
  ASSERT_TRUE(document);
  RateHistory history;
  history.record((*document)->root, steady_clock::time_point{});
  history.record((*document)->root, steady_clock::time_point{seconds(1)});
  EXPECT_EQ(history.ring("/scan")->size(), 2u);
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
