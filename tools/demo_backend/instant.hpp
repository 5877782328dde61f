#pragma once

namespace qm::demo {

// A moment as both clocks see it: wall time for the document's times, steady time for
// intervals, so a clock step never stalls or races the simulation.
struct Instant {
  double wall_s = 0.0;    // Unix time in seconds
  double steady_s = 0.0;  // seconds of a monotonic clock
};

Instant instant_now();

}  // namespace qm::demo
