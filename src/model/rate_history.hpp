#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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

// The newest samples of one topic, oldest first by index: at most `depth` of them, the depth the
// history grants each ring. The samples are allocated as they arrive, never beyond the depth.
class RateRing {
 public:
  static constexpr std::size_t capacity = limits::rate_history_samples;

  void push(RateSample sample, std::size_t depth = capacity);
  std::size_t size() const { return samples_.size(); }
  bool empty() const { return samples_.empty(); }
  // The sample `index` places after the oldest kept; index < size().
  const RateSample& at(std::size_t index) const {
    return samples_[(start_ + index) % samples_.size()];
  }
  const RateSample& newest() const { return at(size() - 1); }
  std::size_t memory_bytes() const { return samples_.capacity() * sizeof(RateSample); }

 private:
  friend class RateHistory;

  // Keeps the newest `depth` samples, oldest first from index 0.
  void keep_newest(std::size_t depth);

  std::vector<RateSample> samples_;
  uint16_t start_ = 0;
  // The reload that last added a sample, so a topic named twice in one document counts once.
  uint32_t recorded_in_ = 0;
};

// The rates of every topic the documents since the start have measured, one ring per topic.
// A topic that leaves the document keeps its ring; rings are only made, never dropped.
class RateHistory {
 public:
  // Records one sample for each entry of `current.rates.topics` of `document` at `now`: its
  // `mean_rate_hz` when that is a finite number, else a gap.
  void record(const Json& document, std::chrono::steady_clock::time_point now);
  // The ring of the topic with that name, or null when none was ever recorded.
  const RateRing* ring(std::string_view topic) const;
  // The time a sample's offset counts from.
  std::chrono::steady_clock::time_point epoch() const { return epoch_; }
  std::size_t topic_count() const { return rings_.size(); }
  // The samples each ring keeps: all of `RateRing::capacity` unless so many topics share the
  // memory budget that each must keep fewer.
  std::size_t ring_depth() const;
  // The bytes the rings and their index hold, for the memory figures.
  std::size_t memory_bytes() const;

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  struct Equal {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
  };

  RateRing& ring_for(std::string_view topic, std::size_t position);

  struct Named {
    const std::string* name;
    std::unique_ptr<RateRing> ring;
  };

  std::chrono::steady_clock::time_point epoch_{};
  uint32_t reloads_ = 0;
  std::vector<Named> rings_;
  std::unordered_map<std::string, std::size_t, Hash, Equal> index_;
  // The rings in the order of the last document's entries: a backend writes its topics in the
  // same order each time, so most entries find their ring without hashing.
  std::vector<std::size_t> last_order_;
};

}  // namespace qm
