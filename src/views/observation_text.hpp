#pragma once

#include <string>
#include <string_view>

#include "json/json_access.hpp"

namespace qm {

// "Graph observed: … s Unix wall time · discovery completeness unknown" for a capture with a
// graph object, else the line that says no graph was observed. No line feed.
std::string graph_line(const Json& capture);

// The sampling window of a capture's `rates` object: `window_s` when it is a number, else 1.
double rates_window(const Json& rates);
// The same window as it is written: the number's own text, or "1".
std::string rates_window_text(const Json& rates);

// The members of one topic's entry in `rates.topics` that its texts read, found in one pass
// (lists of rates can be long, and are written on every frame).
struct RateEntry {
  const Json* mean_rate_hz = &null_json();
  const Json* status = &null_json();
  const Json* count = &null_json();
  const Json* expected = &null_json();
};
RateEntry read_rate_entry(const Json& entry);

// The short rate text of one topic's entry: "10.0 Hz", "3 in 5 s", "limited", the status in
// words, or "unknown".
std::string topic_rate_text(const Json& entry, std::string_view window_text);
// The same text appended to `out`, for lists that write many of them.
void append_topic_rate_text(std::string& out, const RateEntry& entry, std::string_view window_text);

// What a capture's graph says of a node's use_sim_time: its value, asked but not answered, only
// an answer from an earlier capture, or never read.
enum class ClockReading : unsigned char { sim_time, wall_time, unanswered, stale, not_read };
ClockReading clock_reading(const Json& graph, std::string_view node);

}  // namespace qm
