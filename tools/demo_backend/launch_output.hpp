#pragma once

#include <cstdint>

#include "launch_builder.hpp"

namespace qm::demo {

// The line the running launch writes as its `index`-th line after start-up, stamped with the
// ROS time `ros_time_s`. Deterministic, so a seeded run retains the same log.
LogLine launch_output_line(std::uint64_t index, double ros_time_s);

}  // namespace qm::demo
