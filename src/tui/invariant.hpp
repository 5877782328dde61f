#pragma once

#include <cstddef>

namespace tui {

// Internal faults: a condition the program relies on turned out false. The program cannot go on
// safely, so it ends through std::terminate, whose handler (installed by the application) puts
// the terminal back and reports the message.

inline constexpr std::size_t internal_fault_message_capacity = 1024;

// Keeps `message` (cut to internal_fault_message_capacity - 1 bytes) for the terminate handler
// and calls std::terminate. Allocates nothing.
[[noreturn]] void internal_fault(const char* message) noexcept;

// The message of the internal fault in progress, or nullptr when none was raised.
const char* internal_fault_message() noexcept;

}  // namespace tui

#define QM_CHECK_TEXT_(text) #text
#define QM_CHECK_TEXT(text) QM_CHECK_TEXT_(text)

// Ends the program as an internal fault when the condition is false, with a message naming the
// condition and where it stands. Takes the condition as variadic arguments, so commas inside
// template arguments need no extra parentheses.
#define QM_CHECK(...)                                                                         \
  ((__VA_ARGS__) ? static_cast<void>(0)                                                       \
                 : ::tui::internal_fault("internal check failed: " #__VA_ARGS__ " (" __FILE__ \
                                         ":" QM_CHECK_TEXT(__LINE__) ")"))
