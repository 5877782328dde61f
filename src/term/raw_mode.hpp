#pragma once

#include <expected>
#include <system_error>

namespace tui {

// The descriptor of the controlling terminal: standard input when it is a terminal, otherwise
// "/dev/tty", opened on first use and kept open for the rest of the process. Fails with the
// system's error when the process has no controlling terminal.
std::expected<int, std::error_code> controlling_terminal();

// Switches the controlling terminal to raw mode: no echo, no line editing, no signal keys, no
// flow control, no carriage-return translation, no output processing; reads return as soon as
// one byte is there. The settings in force at the first call are saved (one set per process) and
// pushed on the restore stack, so restore_terminal_state() puts them back. Fails with the
// system's error, changing nothing, when there is no controlling terminal.
std::expected<void, std::error_code> enable_raw_mode();

// Puts the saved settings back. Does nothing when raw mode was never enabled.
std::expected<void, std::error_code> disable_raw_mode();

}  // namespace tui
