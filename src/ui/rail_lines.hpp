#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.hpp"
#include "tui/line.hpp"
#include "tui/style.hpp"

namespace qm {

// One of the fixed lines of the view rail: a group heading or a view.
struct RailEntry {
  std::string_view heading;
  std::optional<View> view;
};

inline constexpr std::array<RailEntry, 14> rail_entries = {
    RailEntry{"SYSTEM", std::nullopt},   RailEntry{"", View::health},
    RailEntry{"", View::graph},          RailEntry{"", View::topics},
    RailEntry{"", View::nodes},          RailEntry{"", View::tf},
    RailEntry{"EVIDENCE", std::nullopt}, RailEntry{"", View::changes},
    RailEntry{"", View::results},        RailEntry{"RECORDINGS", std::nullopt},
    RailEntry{"", View::playback},       RailEntry{"", View::capture},
    RailEntry{"PROJECT", std::nullopt},  RailEntry{"", View::project},
};

// A short coloured text after a view's name in the rail: a count, a verdict or a state.
struct RailBadge {
  std::string text;
  tui::Color colour;

  bool operator==(const RailBadge&) const = default;
};

// The badges of `view`, derived from the document and the model.
std::vector<RailBadge> rail_badges(const AppState& state, View view);

// A group heading of the rail, dim and indented by one space.
tui::Line rail_heading_line(std::string_view heading);
// The rail line of `view`: the current-view marker, "{key} {name}", and the badges at the right
// of a line `width` columns wide (one column is left free at the end).
tui::Line rail_view_line(const AppState& state, View view, bool current, uint16_t width);

}  // namespace qm
