#pragma once

#include "model/app_state.hpp"

namespace qm {

// What receives the keys: the normal mode, or one of the entry modes and overlays.
enum class Mode : unsigned char {
  normal,
  palette,
  assistant,
  form,
  filter_entry,
  help,
  log,
  messages,
  rate_history,
};

// The active mode. Only one is active at a time; when several are open, the first of palette,
// assistant, form, filter entry, help, launch log, message log and rate history wins.
constexpr Mode active_mode(const AppState& state) {
  if (state.palette) {
    return Mode::palette;
  }
  if (state.assistant.open) {
    return Mode::assistant;
  }
  if (state.form) {
    return Mode::form;
  }
  if (state.filter_entry) {
    return Mode::filter_entry;
  }
  if (state.help_open) {
    return Mode::help;
  }
  if (state.log.open) {
    return Mode::log;
  }
  if (state.messages.open) {
    return Mode::messages;
  }
  if (state.rate_panel) {
    return Mode::rate_history;
  }
  return Mode::normal;
}

}  // namespace qm
