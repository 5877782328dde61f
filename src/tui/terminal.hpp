#pragma once

#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "tui/backend.hpp"
#include "tui/buffer.hpp"
#include "tui/diff.hpp"
#include "tui/escape_writer.hpp"
#include "tui/geometry.hpp"

namespace tui {

// What a draw callback draws into: the whole-screen buffer, blank at the start of every frame.
class Frame {
 public:
  explicit Frame(Buffer& buffer) : buffer_(&buffer) {}

  Rect area() const { return buffer_->area(); }
  Buffer& buffer() { return *buffer_; }
  // Shows the cursor at `position` after the frame; a frame that sets none hides it.
  void set_cursor_position(Position position) { cursor_ = position; }
  std::optional<Position> cursor_position() const { return cursor_; }

 private:
  Buffer* buffer_;
  std::optional<Position> cursor_;
};

// A full-screen terminal drawn frame by frame: each frame is drawn whole into a buffer and only
// the cells that differ from the last frame are written, in one write followed by a flush.
class Terminal {
 public:
  // Reads the backend's size for the first viewport. The first frame clears the screen.
  static std::expected<Terminal, std::error_code> create(std::unique_ptr<OutputBackend> backend,
                                                         EscapeOptions options = {});

  Terminal(Terminal&& other) noexcept;
  Terminal& operator=(Terminal&& other) noexcept;
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  // If the cursor still counts as hidden, tries once to show it; a failure is reported on the
  // standard error stream as "Failed to show the cursor: {error}".
  ~Terminal();

  // Draws one frame: `render(Frame&)` draws into a blank buffer of the current viewport. Before
  // it, a change of the backend's size resizes the viewport and clears the screen, so the frame
  // is drawn whole. Fails when the size cannot be read or the bytes cannot be written; the next
  // frame is then drawn whole.
  template <class Render>
  std::expected<void, std::error_code> draw(Render&& render) {
    auto frame = begin_frame();
    if (!frame) {
      return std::unexpected(frame.error());
    }
    std::forward<Render>(render)(*frame);
    return finish_frame(*frame);
  }

  // Writes the show-cursor sequence and flushes; on success the cursor no longer counts as hidden.
  std::expected<void, std::error_code> show_cursor();
  // Writes `bytes` to the terminal between frames, for sequences that draw nothing (such as a
  // clipboard request); the screen is left as the last frame drew it.
  std::expected<void, std::error_code> write_between_frames(std::string_view bytes);
  // Makes the next frame clear the screen, draw every cell and set the cursor afresh (hidden,
  // or shown where the frame puts it): for a screen that something else has written to.
  void invalidate() {
    clear_pending_ = true;
    cursor_unknown_ = true;
  }

  Rect viewport() const { return previous_.area(); }
  bool cursor_hidden() const { return cursor_hidden_; }
  // The last frame written.
  const Buffer& last_frame() const { return previous_; }
  OutputBackend& backend() { return *backend_; }

 private:
  Terminal(std::unique_ptr<OutputBackend> backend, EscapeOptions options, Size size);

  std::expected<Frame, std::error_code> begin_frame();
  std::expected<void, std::error_code> finish_frame(const Frame& frame);

  std::unique_ptr<OutputBackend> backend_;
  EscapeOptions options_;
  Buffer previous_;
  Buffer next_;
  std::vector<CellChange> changes_;
  std::string output_;
  bool clear_pending_ = true;
  bool cursor_hidden_ = false;
  // Whether the cursor shows on the screen is not known: the next frame sets it either way.
  bool cursor_unknown_ = false;
};

}  // namespace tui
