#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "tui/line_source.hpp"
#include "tui/style.hpp"
#include "ui/typing_cursor.hpp"

namespace qm {

// The lines of a detail text, found on demand: the text is searched for line feeds only as far
// as the lines asked for, so showing a window of a long text costs in proportion to the window
// and the lines above it, never the whole text. A line feed ends a line; a final one starts no
// empty line.
class DetailText {
 public:
  explicit DetailText(std::string_view text) : text_(text), starts_{0} {}

  // Line `i`, or none past the last line.
  std::optional<std::string_view> line(std::size_t i) const;

 private:
  std::string_view text_;
  // Where each line found so far starts; the last entry may be the end of the text.
  mutable std::vector<std::size_t> starts_;
  mutable bool all_found_ = false;
};

// Lines `first` to `first + count` of a detail text (fewer when the text ends sooner), styled by
// their shape, or plain for raw evidence; the typing cursor at `cursor`, when given, in its own
// style.
class DetailLines final : public tui::LineSource {
 public:
  // `changes` styles by shape and also draws the lines of changed fields in the warning colour.
  enum class Styling { by_shape, plain, changes };

  DetailLines(const DetailText& text, std::size_t first, std::size_t count, Styling styling,
              std::optional<TextPlace> cursor = std::nullopt);

  std::size_t size() const override { return count_; }
  std::string_view text(std::size_t i) const override;
  tui::Line styled(std::size_t i) const override;

 private:
  const DetailText& text_;
  std::size_t first_;
  std::size_t count_ = 0;
  Styling styling_;
  std::optional<TextPlace> cursor_;
};

// Where a pane scrolled down by `scroll` wrapped rows starts: the first line in view and how
// many of its own wrapped rows lie above the pane.
struct WrappedStart {
  std::size_t line = 0;
  uint16_t rows_above = 0;

  bool operator==(const WrappedStart&) const = default;
};

// Walks the lines above the scroll position, wrapping each at `width` columns to count its rows.
WrappedStart wrapped_start(const DetailText& text, uint16_t scroll, uint16_t width);

// What draw_wrapped_text lays under the text and marks in it.
struct WrappedLook {
  // Patched onto the whole area first.
  tui::Style base;
  // The byte of the text where the typing cursor starts, when one is shown.
  std::optional<std::size_t> cursor;
};

// Draws `text` into `area`: each line wrapped at the area's width, keeping its leading spaces, and
// the whole scrolled down by `scroll` wrapped rows. Only the lines in view are styled.
void draw_wrapped_text(tui::Buffer& buffer, tui::Rect area, std::string_view text,
                       DetailLines::Styling styling, uint16_t scroll = 0, WrappedLook look = {});

}  // namespace qm
