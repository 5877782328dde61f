#include "term/restore.hpp"

#include <signal.h>
#include <termios.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "term/posix_io.hpp"

namespace tui {
namespace {

enum class StepKind { settings, write };

struct Step {
  std::atomic<bool> pending{false};
  StepKind kind = StepKind::write;
  int fd = -1;
  ::termios settings{};
  std::array<char, restore_bytes_capacity> bytes{};
  std::size_t size = 0;
};

static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<std::size_t>::is_always_lock_free);

std::array<Step, restore_step_capacity> steps;
std::atomic<std::size_t> step_count{0};

bool same_settings(const ::termios& a, const ::termios& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool is_duplicate(const Step& step, StepKind kind, int fd, const ::termios* settings,
                  std::string_view bytes) {
  if (!step.pending.load() || step.kind != kind || step.fd != fd) {
    return false;
  }
  if (kind == StepKind::settings) {
    return same_settings(step.settings, *settings);
  }
  return std::string_view(step.bytes.data(), step.size) == bytes;
}

std::expected<void, std::error_code> push_step(StepKind kind, int fd, const ::termios* settings,
                                               std::string_view bytes) {
  std::size_t count = step_count.load();
  bool any_pending = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (is_duplicate(steps[i], kind, fd, settings, bytes)) {
      return {};
    }
    any_pending = any_pending || steps[i].pending.load();
  }
  if (!any_pending) {
    // Every earlier step has run: reuse the storage from the start.
    step_count.store(0);
    count = 0;
  }
  if (count == restore_step_capacity) {
    return std::unexpected(std::make_error_code(std::errc::no_buffer_space));
  }
  Step& step = steps[count];
  step.kind = kind;
  step.fd = fd;
  if (settings != nullptr) {
    step.settings = *settings;
  }
  if (!bytes.empty()) {
    std::memcpy(step.bytes.data(), bytes.data(), bytes.size());
  }
  step.size = bytes.size();
  step.pending.store(true);
  // Published last, so a signal handler never sees a half-written step.
  step_count.store(count + 1);
  return {};
}

constexpr std::array fatal_signals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t alternate_stack_size = 64 * 1024;
alignas(16) char alternate_stack[alternate_stack_size];
bool fatal_handlers_installed = false;

// For the fatal signals and the termination signals alike.
extern "C" void restore_then_take_default_action(int signal_number) {
  const int saved_errno = errno;
  restore_terminal_state();
  errno = saved_errno;
  // SA_RESETHAND put the default action back. The signal is blocked while this handler runs, so
  // it is delivered on return; a fault from an instruction also repeats on return.
  ::raise(signal_number);
}

// The signals of install_held_signal_restore(), and SIGCONT, whose handler sets the terminal up
// again.
sigset_t held_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : termination_signals) {
    sigaddset(&set, signal_number);
  }
  sigaddset(&set, SIGTSTP);
  sigaddset(&set, SIGCONT);
  return set;
}

// The actions replaced by install_held_signal_restore(), to put back; indexed like
// termination_signals, with SIGTSTP last.
constexpr std::size_t held_signal_count = termination_signals.size() + 1;
std::array<struct sigaction, held_signal_count> held_actions_before{};
std::array<bool, held_signal_count> held_action_replaced{};
bool held_handlers_installed = false;

int held_signal(std::size_t index) {
  return index < termination_signals.size() ? termination_signals[index] : SIGTSTP;
}

extern "C" void restore_and_stop(int) {
  const int saved_errno = errno;
  restore_terminal_state();
  // Stopped by the default action itself, so a job-control shell reports a stopped job.
  struct sigaction stop_action {};
  stop_action.sa_handler = SIG_DFL;
  sigemptyset(&stop_action.sa_mask);
  struct sigaction this_action {};
  ::sigaction(SIGTSTP, &stop_action, &this_action);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigset_t during{};
  ::sigprocmask(SIG_UNBLOCK, &stop, &during);
  // Returns once continued, or at once when the process group is orphaned.
  ::raise(SIGTSTP);
  ::sigprocmask(SIG_SETMASK, &during, nullptr);
  ::sigaction(SIGTSTP, &this_action, nullptr);
  // Blocked until this handler returns; the kernel sends no SIGCONT when it did not stop us.
  ::raise(SIGCONT);
  errno = saved_errno;
}

}  // namespace

std::expected<void, std::error_code> push_restore_settings(int fd, const ::termios& settings) {
  return push_step(StepKind::settings, fd, &settings, {});
}

std::expected<void, std::error_code> push_restore_write(int fd, std::string_view bytes) {
  if (bytes.size() > restore_bytes_capacity) {
    return std::unexpected(std::make_error_code(std::errc::value_too_large));
  }
  return push_step(StepKind::write, fd, nullptr, bytes);
}

void restore_terminal_state() noexcept {
  const std::size_t count = step_count.load();
  bool writes_failed = false;
  for (std::size_t i = 0; i < count; ++i) {
    Step& step = steps[i];
    // Each step runs at most once, even if a signal handler interrupts a restore in progress.
    if (!step.pending.exchange(false)) {
      continue;
    }
    if (step.kind == StepKind::settings) {
      ::tcsetattr(step.fd, TCSANOW, &step.settings);
    } else if (!writes_failed) {
      writes_failed = write_all(step.fd, step.bytes.data(), step.size) != 0;
    }
  }
}

void discard_restore_steps() noexcept {
  const std::size_t count = step_count.load();
  for (std::size_t i = 0; i < count; ++i) {
    steps[i].pending.store(false);
  }
}

std::size_t pending_restore_steps() noexcept {
  const std::size_t count = step_count.load();
  std::size_t pending = 0;
  for (std::size_t i = 0; i < count; ++i) {
    pending += steps[i].pending.load() ? 1 : 0;
  }
  return pending;
}

std::expected<void, std::error_code> install_fatal_signal_restore() {
  if (fatal_handlers_installed) {
    return {};
  }
  stack_t current{};
  if (::sigaltstack(nullptr, &current) != 0) {
    return std::unexpected(std::error_code(errno, std::system_category()));
  }
  // Keep an alternate stack someone else set up; it serves the same purpose.
  if ((current.ss_flags & SS_DISABLE) != 0) {
    stack_t stack{};
    stack.ss_sp = alternate_stack;
    stack.ss_size = alternate_stack_size;
    if (::sigaltstack(&stack, nullptr) != 0) {
      return std::unexpected(std::error_code(errno, std::system_category()));
    }
  }
  struct sigaction action {};
  action.sa_handler = restore_then_take_default_action;
  action.sa_flags = SA_RESETHAND | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : fatal_signals) {
    if (::sigaction(signal_number, &action, nullptr) != 0) {
      return std::unexpected(std::error_code(errno, std::system_category()));
    }
  }
  fatal_handlers_installed = true;
  return {};
}

std::expected<void, std::error_code> install_held_signal_restore() {
  if (held_handlers_installed) {
    return {};
  }
  struct sigaction action {};
  // A blocked SIGTTOU lets a restore set and write the terminal from the background instead of
  // stopping the process part-way.
  action.sa_mask = held_signal_set();
  sigaddset(&action.sa_mask, SIGTTOU);
  sigaddset(&action.sa_mask, SIGTTIN);
  for (std::size_t i = 0; i < held_signal_count; ++i) {
    const int signal_number = held_signal(i);
    struct sigaction before {};
    if (::sigaction(signal_number, nullptr, &before) != 0) {
      const std::error_code error(errno, std::system_category());
      remove_held_signal_restore();
      return std::unexpected(error);
    }
    if ((before.sa_flags & SA_SIGINFO) != 0 || before.sa_handler != SIG_DFL) {
      continue;
    }
    if (signal_number == SIGTSTP) {
      action.sa_handler = restore_and_stop;
      action.sa_flags = SA_RESTART;
    } else {
      // SA_RESETHAND: the handler raises the signal again, to end with its default action.
      action.sa_handler = restore_then_take_default_action;
      action.sa_flags = SA_RESETHAND;
    }
    if (::sigaction(signal_number, &action, nullptr) != 0) {
      const std::error_code error(errno, std::system_category());
      remove_held_signal_restore();
      return std::unexpected(error);
    }
    held_actions_before[i] = before;
    held_action_replaced[i] = true;
  }
  held_handlers_installed = true;
  return {};
}

void remove_held_signal_restore() noexcept {
  for (std::size_t i = 0; i < held_signal_count; ++i) {
    if (held_action_replaced[i]) {
      ::sigaction(held_signal(i), &held_actions_before[i], nullptr);
      held_action_replaced[i] = false;
    }
  }
  held_handlers_installed = false;
}

HeldSignalsBlocked::HeldSignalsBlocked() noexcept : previous() {
  const sigset_t set = held_signal_set();
  ::sigprocmask(SIG_BLOCK, &set, &previous);
}

HeldSignalsBlocked::~HeldSignalsBlocked() {
  ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace tui
