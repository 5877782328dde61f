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

// What sets each view apart, written once per view.
struct ViewTraits {
  // The name shown in the tab strip and the rail.
  std::string_view name;
  // Playback and Capture show only the detail pane.
  bool has_list = true;
  // The selected entity's connections are listed and followed (Graph, Topics, Nodes).
  bool has_connections = false;
  // The rows are entities of the capture: a selection a reload loses stays as a placeholder.
  bool lists_entities = false;
  // `e` exports the selected entity, and a selection that falls off the list is forgotten.
  bool exports = false;
  // A restored selection not listed yet waits for a later document.
  bool awaits_selection = false;
  // `s` cycles the order of the list.
  bool sorts = false;
};

inline constexpr std::array<ViewTraits, view_count> view_table = {{
    {.name = "Health"},
    {.name = "Graph",
     .has_connections = true,
     .lists_entities = true,
     .exports = true,
     .awaits_selection = true},
    {.name = "Topics",
     .has_connections = true,
     .lists_entities = true,
     .exports = true,
     .awaits_selection = true,
     .sorts = true},
    {.name = "Nodes",
     .has_connections = true,
     .lists_entities = true,
     .exports = true,
     .awaits_selection = true,
     .sorts = true},
    {.name = "TF", .lists_entities = true, .exports = true, .awaits_selection = true},
    {.name = "Changes", .exports = true, .awaits_selection = true},
    {.name = "Results", .awaits_selection = true},
    {.name = "Playback", .has_list = false},
    {.name = "Capture", .has_list = false},
    {.name = "Project"},
}};

constexpr const ViewTraits& traits_of(View view) {
  return view_table[view_index(view)];
}

constexpr std::string_view view_name(View view) {
  return traits_of(view).name;
}

// The digit key that selects the view: "1" for Health through "9" for Capture, "0" for Project.
constexpr char view_key(View view) {
  return static_cast<char>('0' + (view_index(view) + 1) % 10);
}

// The view a user names on the command line: its digit key, or its name in any ASCII case.
constexpr std::optional<View> view_named(std::string_view text) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (const View view : all_views) {
    const std::string_view name = view_name(view);
    if (text.size() == 1 && text[0] == view_key(view)) {
      return view;
    }
    if (text.size() != name.size()) {
      continue;
    }
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      same = lower(text[i]) == lower(name[i]);
    }
    if (same) {
      return view;
    }
  }
  return std::nullopt;
}

constexpr bool view_has_list(View view) {
  return traits_of(view).has_list;
}

constexpr bool view_has_connections(View view) {
  return traits_of(view).has_connections;
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
