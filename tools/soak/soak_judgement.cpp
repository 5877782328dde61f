#include "soak_judgement.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace qm::soak {

namespace {

double median_of(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void judge_memory(std::span<const Sample> samples, long reference, const Limits& limits,
                  std::vector<std::string>& failures) {
  const double allowed = static_cast<double>(reference) * (1 + limits.rss_growth);
  std::vector<double> window;
  std::size_t window_index = 0;
  const auto close_window = [&] {
    if (!window.empty() && median_of(window) > allowed) {
      failures.push_back(fmt::format(
          "resident memory grew: median {:.0f} KiB in minute {} against at most {} KiB in the "
          "first",
          median_of(window), window_index + 2, reference));
    }
    window.clear();
  };
  for (const Sample& sample : samples) {
    if (sample.elapsed_s < limits.warmup_s) {
      continue;
    }
    const auto index = static_cast<std::size_t>(
        std::floor((sample.elapsed_s - limits.warmup_s) / limits.window_s));
    if (index != window_index) {
      close_window();
      window_index = index;
    }
    window.push_back(static_cast<double>(sample.rss_kib));
  }
  close_window();
}

}  // namespace

std::vector<std::string> soak_failures(std::span<const Sample> samples, const Ending& ending,
                                       const Limits& limits) {
  std::vector<std::string> failures;
  long rss_reference = 0;
  long fds_reference = 0;
  bool warmed_up = false;
  bool after_warmup = false;
  for (const Sample& sample : samples) {
    if (sample.elapsed_s < limits.warmup_s) {
      warmed_up = true;
      rss_reference = std::max(rss_reference, sample.rss_kib);
      fds_reference = std::max(fds_reference, sample.fds);
    } else {
      after_warmup = true;
    }
  }
  if (!warmed_up || !after_warmup) {
    failures.push_back("the run needs samples both in and after the first minute");
  } else {
    judge_memory(samples, rss_reference, limits, failures);
    for (const Sample& sample : samples) {
      if (sample.elapsed_s >= limits.warmup_s && sample.fds > fds_reference) {
        failures.push_back(
            fmt::format("descriptors leaked: {} open at {:.1f} s against {} in the "
                        "first minute",
                        sample.fds, sample.elapsed_s, fds_reference));
        break;
      }
    }
  }
  const auto missed = std::count_if(samples.begin(), samples.end(),
                                    [](const Sample& sample) { return !sample.reload_ms; });
  if (missed > 0) {
    const auto first = std::find_if(samples.begin(), samples.end(),
                                    [](const Sample& sample) { return !sample.reload_ms; });
    failures.push_back(fmt::format("{} reload(s) missed, the first of the rename at {:.1f} s",
                                   missed, first->elapsed_s));
  }
  if (!ending.quit_cleanly) {
    failures.push_back("the viewer did not quit cleanly on q");
  }
  if (!ending.terminal_restored) {
    failures.push_back("the viewer's output does not end with the terminal's restore sequences");
  }
  return failures;
}

Spread spread_of(std::vector<double> values) {
  if (values.empty()) {
    return {};
  }
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return Spread{*low, median_of(values), *high};
}

}  // namespace qm::soak
