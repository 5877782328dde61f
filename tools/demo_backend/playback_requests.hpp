#pragma once

#include "request.hpp"

namespace qm::demo {

// play, pause, resume, stop, seek: drive the owned player of the configured recording.
void handle_play(DemoState& state, const Request& request, const Instant& now);
void handle_pause(DemoState& state, const Request& request, const Instant& now);
void handle_resume(DemoState& state, const Request& request, const Instant& now);
void handle_stop(DemoState& state, const Request& request, const Instant& now);
void handle_seek(DemoState& state, const Request& request, const Instant& now);

}  // namespace qm::demo
