#include "tui/terminal.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "support/fake_backend.hpp"
#include "tui/diff.hpp"
#include "tui/escape_writer.hpp"

namespace tui {
namespace {

using test_support::FakeBackend;
using test_support::FakeTerminalRecord;

constexpr Color red = Color::rgb_color(255, 0, 0);
constexpr Color blue = Color::rgb_color(0, 0, 255);

struct Harness {
  std::shared_ptr<FakeTerminalRecord> record = std::make_shared<FakeTerminalRecord>();
  std::optional<Terminal> terminal;

  explicit Harness(Size size = {10, 3}, EscapeOptions options = {}) {
    record->size = size;
    auto created = Terminal::create(std::make_unique<FakeBackend>(record), options);
    EXPECT_TRUE(created.has_value());
    terminal.emplace(std::move(*created));
  }

  // Draws a frame whose rows are `rows` in `style`, and returns the bytes it wrote.
  std::string draw_rows(const std::vector<std::string>& rows, Style style = {}) {
    const auto drawn = terminal->draw([&](Frame& frame) {
      for (std::size_t y = 0; y < rows.size(); ++y) {
        frame.buffer().set_string(0, static_cast<uint16_t>(y), rows[y], style);
      }
    });
    EXPECT_TRUE(drawn.has_value());
    return record->take();
  }

  template <class Render>
  std::string draw(Render render) {
    EXPECT_TRUE(terminal->draw(render).has_value());
    return record->take();
  }
};

std::string written(const Buffer& previous, const Buffer& next, EscapeOptions options = {}) {
  std::string out;
  write_changes(out, diff_buffers(previous, next), options);
  return out;
}

TEST(DiffWriter, WritesOnlyWhatChangedAndMovesOnlyWhenNeeded) {
  Harness harness;
  // The first frame clears the screen and hides the cursor; blank cells are not written.
  EXPECT_EQ(harness.draw_rows({"ab"}), "\x1b[2J\x1b[?25l\x1b[1;1Hab");
  EXPECT_EQ(harness.record->writes, 1);
  EXPECT_EQ(harness.record->flushes, 1);

  // An unchanged frame writes nothing at all.
  EXPECT_EQ(harness.draw_rows({"ab"}), "");
  EXPECT_EQ(harness.record->writes, 1);

  // One changed cell: one cursor move and that cell.
  EXPECT_EQ(harness.draw_rows({"ab", "  x"}), "\x1b[2;3Hx");
  // A run of adjacent changed cells: one move. Two separate runs: two moves.
  EXPECT_EQ(harness.draw_rows({"abcdef", "  x"}), "\x1b[1;3Hcdef");
  EXPECT_EQ(harness.draw_rows({"Xbcdef", "  x  y"}), "\x1b[1;1HX\x1b[2;6Hy");
  // A cell turned blank is written as a blank.
  EXPECT_EQ(harness.draw_rows({"Xbcdef", "     y"}), "\x1b[2;3H ");
  // A run that ends a row and one that starts the next need a move: the cursor does not wrap.
  EXPECT_EQ(harness.draw_rows({"Xbcdefghij", "z    y"}), "\x1b[1;7Hghij\x1b[2;1Hz");
}

TEST(DiffWriter, ChangesAttributesOnlyWhereTheStyleChanges) {
  Buffer previous(Rect{0, 0, 6, 1});
  Buffer next(Rect{0, 0, 6, 1});
  next.set_string(0, 0, "ab", fg(red));
  next.set_string(2, 0, "cd", fg(red).bold());
  next.set_string(4, 0, "ef", Style{}.with_bg(blue));
  // One SGR change per style change, carrying only what differs; reset at the end.
  EXPECT_EQ(written(previous, next),
            "\x1b[1;1H\x1b[38;2;255;0;0mab\x1b[1mcd\x1b[22;39;48;2;0;0;255mef\x1b[0m");

  // The same cells without colour: bold only.
  EXPECT_EQ(written(previous, next, EscapeOptions{.colour = false}),
            "\x1b[1;1Hab\x1b[1mcd\x1b[22mef");

  // Palette colours use the 256-colour form.
  Buffer indexed(Rect{0, 0, 6, 1});
  indexed.set_string(0, 0, "ab", fg(Color::indexed_color(105)).with_bg(Color::indexed_color(232)));
  indexed.set_string(2, 0, "c", bg(Color::indexed_color(232)));
  EXPECT_EQ(written(previous, indexed), "\x1b[1;1H\x1b[38;5;105;48;5;232mab\x1b[39mc\x1b[0m");
  EXPECT_EQ(written(previous, indexed, EscapeOptions{.colour = false}), "\x1b[1;1Habc");
}

TEST(DiffWriter, NoColourOutputKeepsBoldAndHasNoColourParameters) {
  Harness harness({20, 2}, EscapeOptions{.colour = false});
  const std::string bytes = harness.draw([](Frame& frame) {
    frame.buffer().set_string(0, 0, " quillmesh ", fg(red).with_bg(blue).bold());
    frame.buffer().set_string(0, 1, "plain", fg(Color::indexed_color(9)));
    frame.buffer().set_style(frame.area(), bg(Color::hex(0x0a0a0b)));
  });
  EXPECT_EQ(bytes,
            "\x1b[2J\x1b[?25l\x1b[1;1H\x1b[1m quillmesh \x1b[22m         \x1b[2;1Hplain"
            "               ");
  for (const char* colour : {"38;", "48;", "39", "49"}) {
    EXPECT_EQ(bytes.find(colour), std::string::npos) << colour;
  }
}

TEST(DiffWriter, WideCharactersAdvanceTwoColumnsAndReplaceCleanly) {
  Harness harness({6, 1});
  // The cell after a wide character follows it without a move.
  EXPECT_EQ(harness.draw_rows({"中b"}), "\x1b[2J\x1b[?25l\x1b[1;1H中b");
  // A wide character replaced by two narrow ones: both written.
  EXPECT_EQ(harness.draw_rows({"xyb"}), "\x1b[1;1Hxy");
  // Two narrow cells replaced by a wide one: the wide one only, its right half is not written.
  EXPECT_EQ(harness.draw_rows({"中b"}), "\x1b[1;1H中");
  // A wide character moved one column right: the blank at its old left half, then itself.
  EXPECT_EQ(harness.draw_rows({" 中"}), "\x1b[1;1H 中");
  // Half of a wide character overwritten: the buffer blanks the other half, and so does the diff.
  EXPECT_EQ(harness.draw([](Frame& frame) {
    frame.buffer().set_string(0, 0, " 中", Style{});
    frame.buffer().set_string(2, 0, "z", Style{});
  }),
            "\x1b[1;2H z");
}

TEST(DiffWriter, ContinuationCellsWithoutOwnerAndForeignAreas) {
  Buffer previous(Rect{0, 0, 3, 1});
  Buffer next(Rect{0, 0, 3, 1});
  next.at(1, 0).symbol.clear();  // a continuation no wide character covers
  const auto changes = diff_buffers(previous, next);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].x, 1);
  EXPECT_EQ(written(previous, next), "\x1b[1;2H ");

  // A control character in a cell never reaches the terminal.
  Buffer hostile(Rect{0, 0, 3, 1});
  hostile.at(0, 0).symbol = "\x1b[2J";
  EXPECT_EQ(written(previous, hostile), "\x1b[1;1H ");

  // Buffers of different areas: every cell of the next one is listed.
  Buffer other(Rect{2, 1, 2, 2});
  const auto all = diff_buffers(previous, other);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(written(previous, other), "\x1b[2;3H  \x1b[3;3H  ");
}

TEST(Terminal, ResizeClearsTheScreenAndDrawsTheFrameWhole) {
  Harness harness({4, 2});
  harness.draw_rows({"abcd", "efgh"});
  harness.record->size = Size{3, 1};
  EXPECT_EQ(harness.draw_rows({"abc"}), "\x1b[2J\x1b[1;1Habc");
  EXPECT_EQ(harness.terminal->viewport(), (Rect{0, 0, 3, 1}));
  EXPECT_EQ(harness.terminal->last_frame().row_text(0), "abc");
  // Back at the old size: everything again, although the old frame had the same text.
  harness.record->size = Size{4, 2};
  EXPECT_EQ(harness.draw_rows({"abcd", "efgh"}), "\x1b[2J\x1b[1;1Habcd\x1b[2;1Hefgh");
}

TEST(Terminal, FailedWriteRedrawsTheNextFrameWhole) {
  Harness harness({4, 1});
  harness.draw_rows({"ab"});
  harness.record->failure = std::make_error_code(std::errc::io_error);
  const auto failed =
      harness.terminal->draw([](Frame& frame) { frame.buffer().set_string(0, 0, "xy", Style{}); });
  ASSERT_FALSE(failed.has_value());
  EXPECT_EQ(failed.error(), std::make_error_code(std::errc::io_error));
  harness.record->failure.reset();
  EXPECT_EQ(harness.draw_rows({"ab"}), "\x1b[2J\x1b[1;1Hab");
}

TEST(Terminal, CursorIsHiddenUnlessAFrameSetsItAndShownOnRequest) {
  Harness harness({6, 2});
  harness.draw_rows({"a"});
  EXPECT_TRUE(harness.terminal->cursor_hidden());
  // A frame that places the cursor shows it there, after the cells.
  EXPECT_EQ(harness.draw([](Frame& frame) {
    frame.buffer().set_string(0, 0, "ab", Style{});
    frame.set_cursor_position(Position{2, 1});
  }),
            "\x1b[1;2Hb\x1b[2;3H\x1b[?25h");
  EXPECT_FALSE(harness.terminal->cursor_hidden());
  // Still set: moved again, not shown again.
  EXPECT_EQ(harness.draw([](Frame& frame) {
    frame.buffer().set_string(0, 0, "ab", Style{});
    frame.set_cursor_position(Position{3, 0});
  }),
            "\x1b[1;4H");
  // No longer set: hidden before the cells are written.
  EXPECT_EQ(harness.draw_rows({"abc"}), "\x1b[?25l\x1b[1;3Hc");
  EXPECT_EQ(harness.draw_rows({"abc"}), "");

  ASSERT_TRUE(harness.terminal->show_cursor().has_value());
  EXPECT_EQ(harness.record->take(), "\x1b[?25h");
  EXPECT_FALSE(harness.terminal->cursor_hidden());
  // A shown cursor is not shown again when the terminal is released.
  harness.terminal.reset();
  EXPECT_EQ(harness.record->take(), "");
}

TEST(Terminal, AnInvalidatedTerminalDrawsWholeAndSetsTheCursorAgain) {
  // After a stop the shell has shown the cursor, though the terminal last hid or placed it.
  struct Case {
    const char* name;
    std::optional<Position> cursor;
    std::string redrawn;
  };
  const Case cases[] = {
      {"hidden", std::nullopt, "\x1b[2J\x1b[?25l\x1b[1;1Hab"},
      {"placed", Position{1, 0}, "\x1b[2J\x1b[1;1Hab\x1b[1;2H\x1b[?25h"},
  };
  for (const Case& drawn : cases) {
    SCOPED_TRACE(drawn.name);
    Harness harness({4, 1});
    const auto frame = [&](Frame& f) {
      f.buffer().set_string(0, 0, "ab", Style{});
      if (drawn.cursor) {
        f.set_cursor_position(*drawn.cursor);
      }
    };
    harness.draw(frame);
    harness.terminal->invalidate();
    EXPECT_EQ(harness.draw(frame), drawn.redrawn);
    EXPECT_EQ(harness.draw(frame), drawn.cursor ? "\x1b[1;2H" : "");
  }
}

TEST(Terminal, ReleasingTheTerminalShowsAHiddenCursorOnceOrReportsTheFailure) {
  {
    Harness harness({4, 1});
    harness.draw_rows({"a"});
    // Moving the terminal hands the duty over: only the last owner shows the cursor.
    Terminal moved = std::move(*harness.terminal);
    harness.terminal.reset();
    EXPECT_EQ(harness.record->take(), "");
    { Terminal released = std::move(moved); }
    EXPECT_EQ(harness.record->take(), "\x1b[?25h");
  }
  {
    Harness harness({4, 1});
    harness.draw_rows({"a"});
    harness.record->failure = std::make_error_code(std::errc::broken_pipe);
    ASSERT_FALSE(harness.terminal->show_cursor().has_value());
    EXPECT_TRUE(harness.terminal->cursor_hidden());
    testing::internal::CaptureStderr();
    harness.terminal.reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Failed to show the cursor: " +
                  std::make_error_code(std::errc::broken_pipe).message() + "\n");
  }
}

TEST(Terminal, SizeFailureIsReported) {
  struct NoSize final : OutputBackend {
    std::expected<void, std::error_code> write(std::string_view) override { return {}; }
    std::expected<void, std::error_code> flush() override { return {}; }
    std::expected<Size, std::error_code> size() override {
      return std::unexpected(std::make_error_code(std::errc::not_a_stream));
    }
  };
  const auto created = Terminal::create(std::make_unique<NoSize>());
  ASSERT_FALSE(created.has_value());
  EXPECT_EQ(created.error(), std::make_error_code(std::errc::not_a_stream));
}

}  // namespace
}  // namespace tui
