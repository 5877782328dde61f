#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "tui/line.hpp"

namespace tui {

// Lines produced on demand, so a widget touches only the lines it needs.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // The number of lines.
  virtual std::size_t size() const = 0;
  // The plain text of line `i`; the view stays valid until the next call on the source.
  virtual std::string_view text(std::size_t i) const = 0;
  // Line `i` styled: its spans' contents joined equal text(i).
  virtual Line styled(std::size_t i) const = 0;
};

// Lines that are already styled.
class StyledLines : public LineSource {
 public:
  explicit StyledLines(std::span<const Line> lines) : lines_(lines) {}

  std::size_t size() const override { return lines_.size(); }
  std::string_view text(std::size_t i) const override;
  Line styled(std::size_t i) const override { return lines_[i]; }

 private:
  std::span<const Line> lines_;
  // The joined text of the last line with several spans that was asked for.
  mutable std::string joined_;
};

// Lines of plain text drawn without a style of their own.
class PlainLines : public LineSource {
 public:
  explicit PlainLines(std::span<const std::string> lines) : lines_(lines) {}

  std::size_t size() const override { return lines_.size(); }
  std::string_view text(std::size_t i) const override { return lines_[i]; }
  Line styled(std::size_t i) const override { return Line(lines_[i]); }

 private:
  std::span<const std::string> lines_;
};

}  // namespace tui
