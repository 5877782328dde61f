#include "model/rate_history.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>

namespace qm {

namespace {

// A reload that did not name the topic: not a sample at all, unlike a gap.
constexpr float absent = -std::numeric_limits<float>::infinity();

// The entry's mean rate as a float, or NaN when it has none that a float holds.
float rate_of(const Json& measurement) {
  const std::optional<double> rate = number_of(member(measurement, "mean_rate_hz"));
  if (!rate || !std::isfinite(*rate) ||
      std::fabs(*rate) > double{std::numeric_limits<float>::max()}) {
    return std::numeric_limits<float>::quiet_NaN();
  }
  return static_cast<float>(*rate);
}

uint32_t offset_ms(std::chrono::steady_clock::time_point epoch,
                   std::chrono::steady_clock::time_point now) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - epoch).count();
  return static_cast<uint32_t>(
      std::clamp<int64_t>(elapsed, 0, std::numeric_limits<uint32_t>::max()));
}

uint64_t name_hash(std::string_view name) {
  return std::hash<std::string_view>{}(name);
}

}  // namespace

uint32_t RateHistory::find(uint64_t hash) const {
  if (slots_.empty()) {
    return no_topic;
  }
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const uint32_t topic = slots_[slot];
    if (topic == no_topic || hashes_[topic] == hash) {
      return topic;
    }
  }
}

void RateHistory::rebuild_slots(std::size_t slot_count) {
  slots_.assign(slot_count, no_topic);
  const std::size_t mask = slot_count - 1;
  for (uint32_t topic = 0; topic < hashes_.size(); ++topic) {
    std::size_t slot = hashes_[topic] & mask;
    while (slots_[slot] != no_topic) {
      slot = (slot + 1) & mask;
    }
    slots_[slot] = topic;
  }
}

uint32_t RateHistory::find_or_add(uint64_t hash) {
  if (const uint32_t known = find(hash); known != no_topic) {
    return known;
  }
  const auto topic = static_cast<uint32_t>(hashes_.size());
  hashes_.push_back(hash);
  // At most three quarters full, so a probe stays short.
  if (4 * hashes_.size() > 3 * slots_.size()) {
    rebuild_slots(std::bit_ceil(std::max<std::size_t>(16, 4 * hashes_.size() / 3 + 1)));
  } else {
    std::size_t slot = hash & (slots_.size() - 1);
    while (slots_[slot] != no_topic) {
      slot = (slot + 1) & (slots_.size() - 1);
    }
    slots_[slot] = topic;
  }
  return topic;
}

void RateHistory::fit_depth() {
  const std::size_t index_bytes =
      hashes_.capacity() * sizeof(uint64_t) + slots_.capacity() * sizeof(uint32_t);
  const std::size_t left =
      limits::rate_history_bytes > index_bytes ? limits::rate_history_bytes - index_bytes : 0;
  const std::size_t per_reload = hashes_.size() * sizeof(float) + sizeof(uint32_t);
  const std::size_t depth =
      std::clamp<std::size_t>(left / per_reload, 2, limits::rate_history_samples);
  const std::size_t old_topics = times_.empty() ? 0 : rates_.size() / depth_;
  std::vector<uint32_t> times(depth, 0);
  std::vector<float> rates(hashes_.size() * depth, absent);
  const uint64_t kept = std::min<uint64_t>({reloads_, depth_, depth});
  for (uint64_t reload = reloads_ - kept; reload < reloads_ && !times_.empty(); ++reload) {
    const std::size_t from = position(reload);
    const std::size_t to = reload % depth;
    times[to] = times_[from];
    for (std::size_t topic = 0; topic < old_topics; ++topic) {
      rates[topic * depth + to] = rates_[topic * depth_ + from];
    }
  }
  depth_ = depth;
  times_ = std::move(times);
  rates_ = std::move(rates);
}

void RateHistory::record(const Json& document, std::chrono::steady_clock::time_point now) {
  const auto topics = object_of(member_path(document, {"current", "rates", "topics"}));
  if (!topics) {
    return;
  }
  if (reloads_ == 0) {
    epoch_ = now;
  }
  std::vector<uint32_t> topic_of_entry(topics->size());
  const std::size_t known = hashes_.size();
  for (std::size_t i = 0; i < topics->size(); ++i) {
    topic_of_entry[i] = find_or_add(name_hash((*topics)[i].key()));
  }
  if (hashes_.size() != known || times_.empty()) {
    hashes_.shrink_to_fit();
    fit_depth();
  }
  const std::size_t at = position(reloads_);
  times_[at] = offset_ms(epoch_, now);
  for (std::size_t topic = 0; topic < hashes_.size(); ++topic) {
    rates_[topic * depth_ + at] = absent;
  }
  for (std::size_t i = 0; i < topics->size(); ++i) {
    rates_[topic_of_entry[i] * depth_ + at] = rate_of((*topics)[i].value);
  }
  ++reloads_;
}

RateSeries RateHistory::samples(std::string_view topic) const {
  const uint32_t found = find(name_hash(topic));
  if (found == no_topic) {
    return {};
  }
  RateSeries series;
  const uint64_t kept = std::min<uint64_t>(reloads_, depth_);
  series.reserve(kept);
  for (uint64_t reload = reloads_ - kept; reload < reloads_; ++reload) {
    const float rate = rates_[found * depth_ + position(reload)];
    if (rate != absent) {
      series.push_back(RateSample{times_[position(reload)], rate});
    }
  }
  return series;
}

std::size_t RateHistory::memory_bytes() const {
  return sizeof(*this) + hashes_.capacity() * sizeof(uint64_t) +
         slots_.capacity() * sizeof(uint32_t) + times_.capacity() * sizeof(uint32_t) +
         rates_.capacity() * sizeof(float);
}

}  // namespace qm
