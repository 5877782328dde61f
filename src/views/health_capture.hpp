#pragma once

#include <cstddef>
#include <string>

#include "json/json_access.hpp"

namespace qm {

// The health summary's sections that describe one capture (`current` or `baseline`).

// LIVE RATES: every topic's sampled rate in name order, or why the capture has no rates.
void append_live_rates(std::string& out, const Json& capture);
// About how many bytes the LIVE RATES lines of `capture` take, to reserve them in one piece.
std::size_t live_rates_bytes(const Json& capture);
// TF FRAMES: how many frames and roots, the frames with two parents and the first edges.
void append_tf_frames(std::string& out, const Json& capture);

}  // namespace qm
