#pragma once

#include <signal.h>

#include <array>
#include <cstddef>
#include <expected>
#include <string_view>
#include <system_error>

struct termios;

namespace tui {

// Undoing terminal changes from anywhere, including std::terminate handlers and fatal-signal
// handlers.
//
// Code that changes the terminal pushes the step that undoes the change: terminal settings to
// put back, or bytes to write (such as the sequence that leaves the alternate screen). The steps
// live in fixed storage, so running them allocates nothing and calls only tcsetattr, write and
// poll. `restore_terminal_state()` runs the pending steps in the order they were pushed, so the
// caller chooses the order by pushing in it. Pushing every undo step before making the changes
// means a change left half made is still undone whole. For example:
//
//   enable_raw_mode();                              // pushes the saved settings itself
//   push_restore_write(1, alternate_screen_off);
//   push_restore_write(1, mouse_capture_off);
//   push_restore_write(1, show_cursor_sequence);
//   write alternate_screen_on, then mouse_capture_on
//   ...
//   restore_terminal_state();   // settings back, then screen off, then mouse off, then cursor
//
// A failing settings step is ignored. A failing write ends the writes: the write steps after it
// are skipped, since the terminal no longer takes bytes, while settings steps still run.

inline constexpr std::size_t restore_step_capacity = 16;
inline constexpr std::size_t restore_bytes_capacity = 64;

// Registers putting `settings` back on terminal `fd`. A step equal to one still pending is not
// added again. Fails when the storage is full.
std::expected<void, std::error_code> push_restore_settings(int fd, const ::termios& settings);
// Registers writing `bytes` (at most restore_bytes_capacity) to `fd`. A step equal to one still
// pending is not added again. Fails when the bytes are too long or the storage is full.
std::expected<void, std::error_code> push_restore_write(int fd, std::string_view bytes);

// Runs every pending step once, in the order pushed, and leaves none pending: running it again
// does nothing until new steps are pushed. Never fails; errors are ignored. Async-signal-safe.
void restore_terminal_state() noexcept;
// Drops every pending step without running it.
void discard_restore_steps() noexcept;
// The number of steps a restore would run.
std::size_t pending_restore_steps() noexcept;

// Installs, once per process, handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT that run
// restore_terminal_state() and then raise the signal again with its default action, so the
// process still dies of it. The handlers run on an alternate stack, so a stack overflow is
// covered too.
std::expected<void, std::error_code> install_fatal_signal_restore();

// The signals whose default action ends the process without a fault: sent by others (kill, a
// closing session, a timer or a resource limit), not raised by a faulty instruction.
inline constexpr std::array termination_signals{SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,
                                                SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                                                SIGPROF, SIGXCPU, SIGXFSZ, SIGPWR};

// Installs, until remove_held_signal_restore(), handlers for the signals whose default action
// would leave a held terminal changed; only those whose action is still the default are taken
// over, so an ignored SIGHUP (nohup) or someone else's handler stays. Each of
// termination_signals runs restore_terminal_state() and then ends the process with its default
// action. SIGTSTP runs restore_terminal_state(), stops the process as its default action does
// (a process group that no job-control shell looks after is not stopped, as by default), and
// then raises SIGCONT, so a SIGCONT handler sets the terminal up again either way. The handlers
// block one another, SIGCONT, SIGTTOU and SIGTTIN. Installing again does nothing.
std::expected<void, std::error_code> install_held_signal_restore();
// Puts back the actions in force before install_held_signal_restore().
void remove_held_signal_restore() noexcept;

// Blocks, for its lifetime, the signals handled by install_held_signal_restore() and SIGCONT, so
// that a change of the terminal and the pushing of the step that undoes it are not split by a
// restore. SIGTTOU stays open: a background process changing the terminal is still stopped.
struct HeldSignalsBlocked {
  HeldSignalsBlocked() noexcept;
  ~HeldSignalsBlocked();
  HeldSignalsBlocked(const HeldSignalsBlocked&) = delete;
  HeldSignalsBlocked& operator=(const HeldSignalsBlocked&) = delete;

  sigset_t previous;
};

}  // namespace tui
