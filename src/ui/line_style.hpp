#pragma once

#include <optional>
#include <string_view>

#include "tui/line.hpp"
#include "tui/style.hpp"

namespace qm {

// The shapes a text may hold besides the common ones: the lines of changed fields only come from
// the Changes detail, and elsewhere (a log, an answer) a line like "- name: x" is plain text.
enum class LineShapes { common, with_changed_fields };

// Styles one line of a detail text by its shape (headings, label columns, key caps, status
// columns, bullets, key-value segments, and changed fields in the warning colour when `shapes`
// allows them); `next` is the line after it, when there is one.
tui::Line style_detail_line(std::string_view line, std::optional<std::string_view> next,
                            LineShapes shapes = LineShapes::common);

// Appends `text` in `base`, colouring every bracketed status token such as "[passed]".
void append_with_status_tokens(tui::Line& line, std::string_view text, tui::Style base);
// Appends a value: a known status word in its colour and bold, "none"/"unknown" muted, anything
// else bright with its bracketed status tokens coloured.
void append_styled_value(tui::Line& line, std::string_view value);

}  // namespace qm
