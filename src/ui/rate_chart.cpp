#include "ui/rate_chart.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace qm {

namespace {

constexpr unsigned steps_per_cell = 8;
constexpr std::array<std::string_view, steps_per_cell + 1> blocks = {" ", "▁", "▂", "▃", "▄",
                                                                     "▅", "▆", "▇", "█"};
// The span of a chart of nothing but zeros.
constexpr double least_span = 0.5;

bool finite(double value) {
  return std::isfinite(value);
}

}  // namespace

std::optional<RateScale> rate_scale(std::span<const float> rates, RateBounds bounds) {
  // Zero is always in view, so a drop reads as the share of the rate it lost.
  double low = 0;
  double high = 0;
  bool any = false;
  auto include = [&](double value) {
    if (finite(value)) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  };
  for (const float rate : rates) {
    any = any || finite(rate);
    include(rate);
  }
  if (!any) {
    return std::nullopt;
  }
  for (const std::optional<double> bound : {bounds.min_hz, bounds.max_hz}) {
    if (bound) {
      include(*bound);
    }
  }
  if (high - low <= 0) {
    high = low + least_span;
  }
  return RateScale{low, high};
}

unsigned rate_level(double value, RateScale scale, unsigned levels) {
  if (!finite(value) || levels == 0) {
    return 0;
  }
  const double share = std::clamp((value - scale.low) / (scale.high - scale.low), 0.0, 1.0);
  return 1 + static_cast<unsigned>(std::lround(share * (levels - 1)));
}

std::string_view bar_cell(unsigned level, unsigned row_base) {
  if (level <= row_base) {
    return blocks[0];
  }
  return blocks[std::min(level - row_base, steps_per_cell)];
}

RateStats rate_stats(std::span<const float> rates) {
  RateStats stats;
  stats.samples = rates.size();
  double sum = 0;
  std::size_t counted = 0;
  for (const float rate : rates) {
    if (!finite(rate)) {
      ++stats.gaps;
      continue;
    }
    stats.lowest = std::min<double>(stats.lowest.value_or(rate), rate);
    stats.highest = std::max<double>(stats.highest.value_or(rate), rate);
    sum += rate;
    ++counted;
  }
  if (counted > 0) {
    stats.mean = sum / static_cast<double>(counted);
  }
  if (!rates.empty() && finite(rates.back())) {
    stats.last = rates.back();
  }
  return stats;
}

std::string span_text(uint64_t milliseconds) {
  const uint64_t seconds = milliseconds / 1000;
  if (seconds < 60) {
    return fmt::format("{} s", seconds);
  }
  if (seconds < 3600) {
    return fmt::format("{} min {} s", seconds / 60, seconds % 60);
  }
  return fmt::format("{} h {} min", seconds / 3600, seconds % 3600 / 60);
}

}  // namespace qm
