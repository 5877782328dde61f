#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

namespace qm {

enum class ErrorKind {
  message,      // a message of this program
  os,           // an operating-system error, by errno code
  json_syntax,  // a JSON syntax error of the session document
};

// A failure as a plain value; nothing is printed where it arises.
struct Error {
  ErrorKind kind = ErrorKind::message;
  std::string text;  // the message, or the parser's message of a syntax error
  int code = 0;      // errno, for operating-system errors
  std::size_t line = 0;
  std::size_t column = 0;

  static Error message(std::string text);
  static Error os(int code);
  static Error os(std::error_code code);
  // `line` is 1-based; `column` counts characters (see the session document loader).
  static Error json_syntax(std::string message, std::size_t line, std::size_t column);

  bool operator==(const Error&) const = default;
};

// The structured form written after "Error: " when a failure ends the program, e.g.
// Custom { kind: Other, error: "--session PATH is required" }.
std::string error_report(const Error& error);
// The plain form shown inside the viewer: the message; "{system message} (os error {code})";
// "{parser message} at line {line} column {column}".
std::string plain_error_text(const Error& error);

// The text in double quotes with backslash escapes; invalid UTF-8 becomes U+FFFD.
std::string quoted_text(std::string_view text);
// The name of the kind of an errno code, e.g. "NotFound"; "Uncategorized" when it has none.
std::string_view os_error_kind_name(int code);
// The system's description of an errno code.
std::string os_error_message(int code);

}  // namespace qm
