#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "json/json_access.hpp"
#include "model/limits.hpp"

namespace qm {

// One recorded rate: milliseconds since the history's first reload and the mean rate in Hz, or
// NaN for a gap (a reload whose entry had no usable rate).
struct RateSample {
  uint32_t time_ms = 0;
  float rate_hz = 0;

  bool gap() const { return rate_hz != rate_hz; }
};

// A topic's kept samples, oldest first.
using RateSeries = std::vector<RateSample>;

// The rates of every topic the documents since the start have measured. A topic that leaves the
// document keeps its samples; topics are only added, never dropped.
//
// Everything lives in a few flat arrays so that a document of tens of thousands of topics costs
// little more than its samples: a topic is known by a 64-bit hash of its name (two names sharing
// one would share a history, which at these counts is vanishingly unlikely), the times of the
// reloads are kept once for all topics, and each topic has one float per kept reload.
class RateHistory {
 public:
  // Records one sample for each entry of `current.rates.topics` of `document` at `now`: its
  // `mean_rate_hz` when that is a finite number, else a gap.
  void record(const Json& document, std::chrono::steady_clock::time_point now);
  // The samples kept for the topic with that name; empty when none was ever recorded.
  RateSeries samples(std::string_view topic) const;
  // The time a sample's offset counts from.
  std::chrono::steady_clock::time_point epoch() const { return epoch_; }
  std::size_t topic_count() const { return hashes_.size(); }
  // The reloads each topic keeps: `limits::rate_history_samples` unless so many topics share the
  // memory budget that each must keep fewer, never fewer than two.
  std::size_t ring_depth() const { return depth_; }
  // The bytes the history holds, index included, for the memory figures.
  std::size_t memory_bytes() const;

 private:
  static constexpr uint32_t no_topic = UINT32_MAX;

  uint32_t find(uint64_t hash) const;
  uint32_t find_or_add(uint64_t hash);
  void rebuild_slots(std::size_t slot_count);
  // Lays the samples out again for the current topic count, keeping each topic's newest.
  void fit_depth();
  std::size_t position(uint64_t reload) const { return reload % depth_; }

  std::chrono::steady_clock::time_point epoch_{};
  // Reloads recorded so far; reload r's samples sit at position(r) of every row.
  uint64_t reloads_ = 0;
  std::size_t depth_ = limits::rate_history_samples;
  // Topic t's name hash; `slots_` is an open-addressed table of topic numbers over them.
  std::vector<uint64_t> hashes_;
  std::vector<uint32_t> slots_;
  // The reload times, and one row of `depth_` rates for each topic, in topic order.
  std::vector<uint32_t> times_;
  std::vector<float> rates_;
};

}  // namespace qm
