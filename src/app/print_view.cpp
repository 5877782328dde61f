#include "app/print_view.hpp"

#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "app/session_file.hpp"
#include "model/initial_state.hpp"
#include "model/row_selection.hpp"
#include "tui/escape_writer.hpp"
#include "ui/printout.hpp"
#include "ui/styles.hpp"

namespace qm {

namespace {

// The state the view is printed from: the document's model with the view opened unfiltered and
// its first row selected, or the row the user named.
std::expected<AppState, Error> printed_state(DocumentPtr document, const PrintMode& mode) {
  AppState state = build_initial_state(std::move(document), false,
                                       truecolour_from_colorterm(std::getenv("COLORTERM")));
  reset_to_view(state, mode.view);
  state.pending_selection.reset();
  state.selected = 0;
  sync_selection(state);
  if (mode.select_id && !select_row_named(state, *mode.select_id)) {
    return std::unexpected(
        Error::message("No row " + *mode.select_id + " in " + std::string(view_name(mode.view))));
  }
  return state;
}

}  // namespace

std::expected<int, Error> print_session(const PrintMode& mode, std::FILE* out) {
  auto document = load_session(mode.session_path);
  if (!document) {
    return std::unexpected(std::move(document.error()));
  }
  try {
    auto state = printed_state(std::move(*document), mode);
    if (!state) {
      return std::unexpected(std::move(state.error()));
    }
    const tui::RowLook look = mode.colour ? tui::RowLook::styled : tui::RowLook::plain;
    const tui::EscapeOptions options{.colour = true};
    bool written = true;
    std::string lines;
    errno = 0;
    print_view(*state, mode.width, [&](const tui::Buffer& buffer) {
      lines.clear();
      for (uint16_t y = 0; y < buffer.area().height; ++y) {
        tui::write_row_text(lines, buffer, y, look, options);
        lines += '\n';
      }
      written = written && std::fwrite(lines.data(), 1, lines.size(), out) == lines.size();
    });
    if (!written || std::fflush(out) != 0) {
      return std::unexpected(Error::os(errno != 0 ? errno : EIO));
    }
  } catch (const std::bad_alloc&) {
    return std::unexpected(Error::os(ENOMEM));
  }
  return 0;
}

}  // namespace qm
