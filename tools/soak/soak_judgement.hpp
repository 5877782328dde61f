#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qm::soak {

// One rename of the session file: when it happened, what the viewer held once it had drawn the
// new document (or at the deadline, when it never did) and how long the redraw took.
struct Sample {
  double elapsed_s = 0;
  long rss_kib = 0;
  long fds = 0;
  // None: the rename was missed (see the driver for the deadline).
  std::optional<double> reload_ms;
};

// How the run ended.
struct Ending {
  bool quit_cleanly = false;
  bool terminal_restored = false;
};

struct Limits {
  // Samples before this are the reference; memory and descriptors settle in it.
  double warmup_s = 60;
  // Each later window's median resident memory may exceed the reference's maximum by this share.
  double rss_growth = 0.10;
  double window_s = 60;
};

// Why the run fails, one sentence each; empty when it passes. Memory: the median of each
// window after the warm-up against the warm-up's maximum. Descriptors: any later sample above
// the warm-up's maximum. Every rename must have been drawn; the viewer must quit and restore.
std::vector<std::string> soak_failures(std::span<const Sample> samples, const Ending& ending,
                                       const Limits& limits = {});

struct Spread {
  double min = 0;
  double median = 0;
  double max = 0;
};

// The spread of `values`; all zero when there are none.
Spread spread_of(std::vector<double> values);

}  // namespace qm::soak
