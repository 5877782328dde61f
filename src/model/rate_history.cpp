#include "model/rate_history.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qm {

namespace {

constexpr std::size_t no_ring = std::numeric_limits<std::size_t>::max();

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

}  // namespace

void RateRing::keep_newest(std::size_t depth) {
  std::rotate(samples_.begin(), samples_.begin() + start_, samples_.end());
  start_ = 0;
  if (samples_.size() > depth) {
    samples_.erase(samples_.begin(), samples_.end() - static_cast<std::ptrdiff_t>(depth));
    samples_.shrink_to_fit();
  }
}

void RateRing::push(RateSample sample, std::size_t depth) {
  depth = std::max<std::size_t>(depth, 1);
  if (samples_.size() > depth || (samples_.size() < depth && start_ != 0)) {
    keep_newest(depth);
  }
  if (samples_.size() < depth) {
    // Grows by doubling, but never past the depth.
    if (samples_.size() == samples_.capacity()) {
      samples_.reserve(std::min(depth, std::max<std::size_t>(4, 2 * samples_.capacity())));
    }
    samples_.push_back(sample);
    return;
  }
  samples_[start_] = sample;
  start_ = static_cast<uint16_t>((start_ + 1) % samples_.size());
}

RateRing& RateHistory::ring_for(std::string_view topic, std::size_t position) {
  std::size_t& remembered = last_order_[position];
  if (remembered != no_ring && *rings_[remembered].name == topic) {
    return *rings_[remembered].ring;
  }
  auto found = index_.find(topic);
  if (found == index_.end()) {
    found = index_.emplace(std::string(topic), rings_.size()).first;
    rings_.push_back(Named{&found->first, std::make_unique<RateRing>()});
  }
  remembered = found->second;
  return *rings_[remembered].ring;
}

void RateHistory::record(const Json& document, std::chrono::steady_clock::time_point now) {
  const auto topics = object_of(member_path(document, {"current", "rates", "topics"}));
  if (!topics) {
    return;
  }
  if (reloads_ == 0) {
    epoch_ = now;
  }
  ++reloads_;
  const uint32_t time_ms = offset_ms(epoch_, now);
  if (last_order_.size() < topics->size()) {
    last_order_.resize(topics->size(), no_ring);
  }
  // Rings made in this pass are counted before the depth is set, so the budget holds for all.
  for (std::size_t i = 0; i < topics->size(); ++i) {
    ring_for((*topics)[i].key, i);
  }
  const std::size_t depth = ring_depth();
  for (std::size_t i = 0; i < topics->size(); ++i) {
    const JsonMember& entry = (*topics)[i];
    RateRing& ring = ring_for(entry.key, i);
    if (ring.recorded_in_ == reloads_) {
      continue;
    }
    ring.recorded_in_ = reloads_;
    ring.push(RateSample{time_ms, rate_of(entry.value)}, depth);
  }
}

std::size_t RateHistory::ring_depth() const {
  const std::size_t per_ring =
      limits::rate_history_bytes / (std::max<std::size_t>(rings_.size(), 1) * sizeof(RateSample));
  return std::clamp<std::size_t>(per_ring, 2, RateRing::capacity);
}

const RateRing* RateHistory::ring(std::string_view topic) const {
  const auto found = index_.find(topic);
  return found == index_.end() ? nullptr : rings_[found->second].ring.get();
}

std::size_t RateHistory::memory_bytes() const {
  std::size_t bytes =
      rings_.capacity() * sizeof(Named) + last_order_.capacity() * sizeof(std::size_t);
  for (const auto& [name, index] : index_) {
    bytes += sizeof(RateRing) + rings_[index].ring->memory_bytes() + name.capacity() +
             sizeof(std::pair<const std::string, std::size_t>) + 2 * sizeof(void*);
  }
  return bytes + index_.bucket_count() * sizeof(void*);
}

}  // namespace qm
