#include "input/command_palette.hpp"

#include <variant>

#include "base/unicode.hpp"
#include "input/key_dispatch.hpp"
#include "input/navigation.hpp"
#include "input/text_entry.hpp"
#include "model/limits.hpp"
#include "model/mode_keys.hpp"
#include "model/palette_candidates.hpp"
#include "model/row_selection.hpp"

namespace qm {

namespace {

// Runs what a candidate stands for: a view, a key of the normal mode, or an entity.
bool run_choice(AppState& state, const PaletteCandidate& candidate) {
  if (const View* view = std::get_if<View>(&candidate.choice)) {
    push_history(state);
    reset_to_view(state, *view);
    return true;
  }
  if (const char32_t* key = std::get_if<char32_t>(&candidate.choice)) {
    tui::KeyEvent press;
    press.character = *key;
    return handle_normal_key(state, press);
  }
  go_to_entity(state, std::get<std::string>(candidate.choice));
  return true;
}

}  // namespace

void open_command_palette(AppState& state) {
  state.palette = PaletteState{};
}

bool palette_key(AppState& state, const tui::KeyEvent& key) {
  PaletteState& palette = *state.palette;
  const std::optional<PaletteCommand> command = command_for(palette_keys(), key);
  switch (command.value_or(PaletteCommand::type)) {
    case PaletteCommand::type:
      if (!command) {
        break;
      }
      if (accepted_character(key, false) &&
          character_count(palette.query) < limits::palette_query_characters) {
        base::append_utf8(palette.query, key.character);
        palette.selected = 0;
      }
      break;
    case PaletteCommand::erase:
      remove_last_character(palette.query);
      palette.selected = 0;
      break;
    case PaletteCommand::up:
      palette.selected = palette.selected == 0 ? 0 : palette.selected - 1;
      break;
    case PaletteCommand::down:
      ++palette.selected;
      break;
    case PaletteCommand::run: {
      const std::vector<PaletteCandidate> matches = palette_matches(state, palette.query);
      const std::size_t selected = palette.selected;
      state.palette.reset();
      if (matches.empty()) {
        return true;
      }
      return run_choice(state, matches[std::min(selected, matches.size() - 1)]);
    }
    case PaletteCommand::close:
      state.palette.reset();
      return true;
  }
  const std::size_t count = palette_matches(state, palette.query).size();
  palette.selected = std::min(palette.selected, count == 0 ? 0 : count - 1);
  return true;
}

}  // namespace qm
