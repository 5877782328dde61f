#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace qm {

// The ten views, in their fixed order.
enum class View : unsigned char {
  health,
  graph,
  topics,
  nodes,
  tf,
  changes,
  results,
  playback,
  capture,
  project,
};

inline constexpr std::size_t view_count = 10;

inline constexpr std::array<View, view_count> all_views = {
    View::health,  View::graph,   View::topics,   View::nodes,   View::tf,
    View::changes, View::results, View::playback, View::capture, View::project,
};

constexpr std::size_t view_index(View view) {
  return static_cast<std::size_t>(view);
}
constexpr View view_at(std::size_t index) {
  return all_views[index % view_count];
}

// The name shown in the tab strip and the rail.
constexpr std::string_view view_name(View view) {
  switch (view) {
    case View::health:
      return "Health";
    case View::graph:
      return "Graph";
    case View::topics:
      return "Topics";
    case View::nodes:
      return "Nodes";
    case View::tf:
      return "TF";
    case View::changes:
      return "Changes";
    case View::results:
      return "Results";
    case View::playback:
      return "Playback";
    case View::capture:
      return "Capture";
    case View::project:
      return "Project";
  }
  return "";
}

// The digit key that selects the view: "1" for Health through "9" for Capture, "0" for Project.
constexpr char view_key(View view) {
  return static_cast<char>('0' + (view_index(view) + 1) % 10);
}

// Playback and Capture show only the detail pane.
constexpr bool view_has_list(View view) {
  return view != View::playback && view != View::capture;
}

// Graph, Topics and Nodes list entities with connections.
constexpr bool view_has_connections(View view) {
  return view == View::graph || view == View::topics || view == View::nodes;
}

// The status filter of the Results view, cycled by `s`.
enum class ResultsFilter : unsigned char { all, pass, fail, blocked, unavailable, error };

inline constexpr std::size_t results_filter_count = 6;

constexpr std::string_view results_filter_name(ResultsFilter filter) {
  switch (filter) {
    case ResultsFilter::all:
      return "all";
    case ResultsFilter::pass:
      return "pass";
    case ResultsFilter::fail:
      return "fail";
    case ResultsFilter::blocked:
      return "blocked";
    case ResultsFilter::unavailable:
      return "unavailable";
    case ResultsFilter::error:
      return "error";
  }
  return "all";
}

}  // namespace qm
