#pragma once

#include "request.hpp"

namespace qm::demo {

// refresh: observes the graph again and re-samples the rates; a selected topic that was not
// sampled is sampled from now on.
void handle_refresh(DemoState& state, const Request& request, const Instant& now);
// export: writes the selected entity to a file in the session folder.
void handle_export(DemoState& state, const Request& request, const Instant& now);
// inspect: samples three messages of the selected topic.
void handle_inspect(DemoState& state, const Request& request, const Instant& now);
// message_tf: looks up the transform of the topic's frame into map at a message's stamp.
void handle_message_tf(DemoState& state, const Request& request, const Instant& now);
// config_diff: compares the selected node's live parameters with the declared ones.
void handle_config_diff(DemoState& state, const Request& request, const Instant& now);

}  // namespace qm::demo
