#include "tui/terminal.hpp"

#include <cstdio>

#include "tui/sequences.hpp"

namespace tui {

std::expected<Terminal, std::error_code> Terminal::create(std::unique_ptr<OutputBackend> backend,
                                                          EscapeOptions options) {
  const auto size = backend->size();
  if (!size) {
    return std::unexpected(size.error());
  }
  return Terminal(std::move(backend), options, *size);
}

Terminal::Terminal(std::unique_ptr<OutputBackend> backend, EscapeOptions options, Size size)
    : backend_(std::move(backend)),
      options_(options),
      previous_(Rect{0, 0, size.width, size.height}),
      next_(Rect{0, 0, size.width, size.height}) {}

Terminal::Terminal(Terminal&& other) noexcept
    : backend_(std::move(other.backend_)),
      options_(other.options_),
      previous_(std::move(other.previous_)),
      next_(std::move(other.next_)),
      changes_(std::move(other.changes_)),
      output_(std::move(other.output_)),
      clear_pending_(other.clear_pending_),
      cursor_hidden_(std::exchange(other.cursor_hidden_, false)),
      cursor_unknown_(other.cursor_unknown_) {}

Terminal& Terminal::operator=(Terminal&& other) noexcept {
  if (this != &other) {
    Terminal released(std::move(*this));
    backend_ = std::move(other.backend_);
    options_ = other.options_;
    previous_ = std::move(other.previous_);
    next_ = std::move(other.next_);
    changes_ = std::move(other.changes_);
    output_ = std::move(other.output_);
    clear_pending_ = other.clear_pending_;
    cursor_hidden_ = std::exchange(other.cursor_hidden_, false);
    cursor_unknown_ = other.cursor_unknown_;
  }
  return *this;
}

Terminal::~Terminal() {
  if (!backend_ || !cursor_hidden_) {
    return;
  }
  const auto shown = show_cursor();
  if (!shown) {
    std::fprintf(stderr, "Failed to show the cursor: %s\n", shown.error().message().c_str());
  }
}

std::expected<void, std::error_code> Terminal::show_cursor() {
  if (auto written = backend_->write(show_cursor_sequence); !written) {
    return written;
  }
  if (auto flushed = backend_->flush(); !flushed) {
    return flushed;
  }
  cursor_hidden_ = false;
  return {};
}

std::expected<void, std::error_code> Terminal::write_between_frames(std::string_view bytes) {
  if (auto written = backend_->write(bytes); !written) {
    return written;
  }
  return backend_->flush();
}

std::expected<Frame, std::error_code> Terminal::begin_frame() {
  const auto size = backend_->size();
  if (!size) {
    return std::unexpected(size.error());
  }
  const Rect area{0, 0, size->width, size->height};
  if (area != previous_.area()) {
    previous_.resize(area);
    next_.resize(area);
    clear_pending_ = true;
  }
  next_.reset();
  return Frame(next_);
}

std::expected<void, std::error_code> Terminal::finish_frame(const Frame& frame) {
  output_.clear();
  if (clear_pending_) {
    // The screen is blank after the clear, and so is the buffer the frame is compared with.
    output_ += clear_screen_sequence;
    previous_.reset();
  }
  const std::optional<Position> cursor = frame.cursor_position();
  if (!cursor && (!cursor_hidden_ || cursor_unknown_)) {
    // Hidden before the cells are written, so it does not wander over the screen.
    output_ += hide_cursor_sequence;
    cursor_hidden_ = true;
  }
  diff_buffers(previous_, next_, changes_);
  write_changes(output_, changes_, options_);
  if (cursor) {
    write_cursor_move(output_, *cursor);
    if (cursor_hidden_ || cursor_unknown_) {
      output_ += show_cursor_sequence;
    }
  }
  if (!output_.empty()) {
    auto written = backend_->write(output_);
    if (written) {
      written = backend_->flush();
    }
    if (!written) {
      clear_pending_ = true;
      return written;
    }
  }
  if (cursor) {
    cursor_hidden_ = false;
  }
  cursor_unknown_ = false;
  clear_pending_ = false;
  std::swap(previous_, next_);
  return {};
}

}  // namespace tui
