#include "app/terminal_lifecycle.hpp"

#include <cxxabi.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>
#include <system_error>
#include <typeinfo>
#include <utility>

#include "term/posix_backend.hpp"
#include "term/posix_io.hpp"
#include "term/raw_mode.hpp"
#include "term/restore.hpp"
#include "tui/invariant.hpp"
#include "tui/sequences.hpp"

namespace qm {

namespace {

constexpr int internal_fault_status = 101;

bool fault_hook_installed = false;

// While the terminal is held, a standard output whose reader has gone must fail the write with
// EPIPE instead of killing the process with the terminal still raw.
struct sigaction broken_pipe_action_before {};
bool broken_pipe_ignored = false;

void ignore_broken_pipe() {
  if (broken_pipe_ignored) {
    return;
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  broken_pipe_ignored = ::sigaction(SIGPIPE, &ignore, &broken_pipe_action_before) == 0;
}

void put_back_broken_pipe_action() {
  if (broken_pipe_ignored) {
    ::sigaction(SIGPIPE, &broken_pipe_action_before, nullptr);
    broken_pipe_ignored = false;
  }
}

void write_error_text(std::string_view text) noexcept {
  tui::write_all(STDERR_FILENO, text.data(), text.size());
}

void write_exception_type_name() noexcept {
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) {
    return;
  }
  int status = 0;
  // Allocates with malloc and reports failure through `status`; it never throws.
  char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
  write_error_text(status == 0 && demangled != nullptr ? demangled : type->name());
  std::free(demangled);
}

// One line; written piece by piece so that a fault from a failed allocation is reported too.
void write_fault_report() noexcept {
  if (const char* message = tui::internal_fault_message()) {
    write_error_text(message);
    write_error_text("\n");
    return;
  }
  const std::exception_ptr current = std::current_exception();
  if (!current) {
    write_error_text("internal fault\n");
    return;
  }
  write_error_text("internal fault: uncaught exception ");
  write_exception_type_name();
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& error) {
    write_error_text(": ");
    write_error_text(error.what());
  } catch (...) {
  }
  write_error_text("\n");
}

[[noreturn]] void end_on_internal_fault() noexcept {
  restore_terminal();
  // A closed standard error must not turn the fault into death by SIGPIPE.
  ::signal(SIGPIPE, SIG_IGN);
  write_fault_report();
  std::_Exit(internal_fault_status);
}

Error os_error(int code) {
  return Error::os(std::error_code(code, std::system_category()));
}

// Undoes a partly done enter.
Error abandon_enter(Error error) {
  restore_terminal();
  put_back_broken_pipe_action();
  tui::remove_held_signal_restore();
  return error;
}

// Raw mode, the undo steps, then the alternate screen and mouse capture on standard output. On a
// failure the steps pushed so far stay for the caller's restore.
std::expected<void, Error> switch_terminal_on() {
  if (auto raw = tui::enable_raw_mode(); !raw) {
    return std::unexpected(Error::os(raw.error()));
  }
  // Every undo write is registered before the first mode is switched on, so a failure or a fault
  // part-way through (even a sequence written in part) still gets the whole restore sequence.
  for (const std::string_view undo :
       {tui::alternate_screen_off, tui::mouse_capture_off, tui::show_cursor_sequence}) {
    if (auto pushed = tui::push_restore_write(STDOUT_FILENO, undo); !pushed) {
      return std::unexpected(Error::os(pushed.error()));
    }
  }
  for (const std::string_view on : {tui::alternate_screen_on, tui::mouse_capture_on}) {
    if (const int error = tui::write_all(STDOUT_FILENO, on.data(), on.size()); error != 0) {
      return std::unexpected(os_error(error));
    }
  }
  if (std::fflush(stdout) != 0) {
    return std::unexpected(os_error(errno));
  }
  return {};
}

}  // namespace

std::expected<void, Error> install_fault_hook() {
  if (fault_hook_installed) {
    return {};
  }
  std::set_terminate(end_on_internal_fault);
  if (auto installed = tui::install_fatal_signal_restore(); !installed) {
    return std::unexpected(Error::os(installed.error()));
  }
  fault_hook_installed = true;
  return {};
}

std::expected<TerminalSession, Error> enter_terminal(tui::EscapeOptions options) {
  if (auto hook = install_fault_hook(); !hook) {
    return std::unexpected(std::move(hook.error()));
  }
  const auto terminal_fd = tui::controlling_terminal();
  if (!terminal_fd) {
    return std::unexpected(Error::os(terminal_fd.error()));
  }
  // Before the first change, so a signal at any point after it restores the terminal.
  if (auto held = tui::install_held_signal_restore(); !held) {
    return std::unexpected(Error::os(held.error()));
  }
  // A stop or a signal that arrives while entering is taken once the session, with its event
  // source, is whole, so a continue finds the source to report to.
  const tui::HeldSignalsBlocked blocked;
  ignore_broken_pipe();
  if (auto on = switch_terminal_on(); !on) {
    return std::unexpected(abandon_enter(std::move(on.error())));
  }
  auto terminal = tui::Terminal::create(
      std::make_unique<tui::PosixOutputBackend>(STDOUT_FILENO, *terminal_fd), options);
  if (!terminal) {
    return std::unexpected(abandon_enter(Error::os(terminal.error())));
  }
  auto events = tui::EventSource::open(*terminal_fd);
  if (!events) {
    return std::unexpected(abandon_enter(Error::os(events.error())));
  }
  return TerminalSession{std::move(*terminal), std::move(*events)};
}

std::expected<void, Error> resume_terminal(TerminalSession& session) {
  const tui::HeldSignalsBlocked blocked;
  if (auto on = switch_terminal_on(); !on) {
    return std::unexpected(std::move(on.error()));
  }
  session.terminal.invalidate();
  return {};
}

void restore_terminal() noexcept {
  tui::restore_terminal_state();
}

std::expected<void, Error> leave_terminal(TerminalSession session) {
  const auto shown = session.terminal.show_cursor();
  {
    // Released before the restore: its destructor retries a cursor that still counts as hidden.
    const TerminalSession released = std::move(session);
  }
  restore_terminal();
  // After the restore: a signal until then still restores first.
  tui::remove_held_signal_restore();
  put_back_broken_pipe_action();
  if (!shown) {
    return std::unexpected(Error::os(shown.error()));
  }
  return {};
}

}  // namespace qm
