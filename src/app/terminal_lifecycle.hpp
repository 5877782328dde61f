#pragma once

#include <expected>

#include "base/error.hpp"
#include "term/event_source.hpp"
#include "tui/escape_writer.hpp"
#include "tui/terminal.hpp"

namespace qm {

// The viewer's hold on the terminal between entering and leaving it: the terminal object that
// frames are drawn through (over standard output) and the events of the controlling terminal.
struct TerminalSession {
  tui::Terminal terminal;
  tui::EventSource events;
};

// Installs, once per process and for the rest of it, the fault hook: std::terminate (an uncaught
// exception or a failed QM_CHECK) restores the terminal, writes one fault report line to standard
// error and exits with status 101; SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT restore the
// terminal and then take their default action.
std::expected<void, Error> install_fault_hook();

// Installs the fault hook, switches the controlling terminal to raw mode, turns on the alternate
// screen and mouse capture on standard output, flushes, and creates the terminal object and the
// event source. On a failure after raw mode, restores the terminal before returning the error.
// Until the terminal is left, the signals whose default action ends the process restore the
// terminal and then take that action, and SIGTSTP restores it and stops the process; on going on
// the event source reports a ContinuedEvent, for resume_terminal().
std::expected<TerminalSession, Error> enter_terminal(tui::EscapeOptions options);

// Sets the terminal up again after a stop, whose handler restored it: raw mode, the undo steps,
// the alternate screen and mouse capture; the next frame is drawn whole. Harmless when the
// terminal was not restored. On a failure, leave_terminal() still restores what was changed.
std::expected<void, Error> resume_terminal(TerminalSession& session);

// Puts the terminal back: the saved settings, then alternate screen off, mouse capture off and
// the cursor shown, the writes stopping at the first that fails. Never fails; running it again
// does nothing until the terminal is entered again. Async-signal-safe.
void restore_terminal() noexcept;

// Shows the cursor, releases the session, restores the terminal and puts back the signal actions
// replaced on entering. Fails with the error of showing the cursor; the terminal is restored
// either way.
std::expected<void, Error> leave_terminal(TerminalSession session);

}  // namespace qm
