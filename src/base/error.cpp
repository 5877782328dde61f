#include "base/error.hpp"

#include <utf8proc.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "base/unicode.hpp"

namespace qm {

namespace {

struct KindName {
  int code;
  std::string_view name;
};

constexpr std::array kind_names{
    KindName{ENOENT, "NotFound"},
    KindName{EACCES, "PermissionDenied"},
    KindName{EPERM, "PermissionDenied"},
    KindName{EISDIR, "IsADirectory"},
    KindName{ENOTDIR, "NotADirectory"},
    KindName{ELOOP, "FilesystemLoop"},
    KindName{EEXIST, "AlreadyExists"},
    KindName{EINTR, "Interrupted"},
    KindName{EINVAL, "InvalidInput"},
    KindName{ENOMEM, "OutOfMemory"},
    KindName{ENOSPC, "StorageFull"},
    KindName{EPIPE, "BrokenPipe"},
    KindName{EROFS, "ReadOnlyFilesystem"},
    KindName{ENAMETOOLONG, "InvalidFilename"},
    KindName{EBUSY, "ResourceBusy"},
    KindName{ETIMEDOUT, "TimedOut"},
    KindName{EAGAIN, "WouldBlock"},
    KindName{EFBIG, "FileTooLarge"},
    KindName{ENOSYS, "Unsupported"},
    KindName{EXDEV, "CrossesDevices"},
    KindName{ETXTBSY, "ExecutableFileBusy"},
    KindName{ESPIPE, "NotSeekable"},
    KindName{EMLINK, "TooManyLinks"},
    KindName{ENOTEMPTY, "DirectoryNotEmpty"},
    KindName{EDEADLK, "Deadlock"},
    KindName{EDQUOT, "FilesystemQuotaExceeded"},
    KindName{ESTALE, "StaleNetworkFileHandle"},
    KindName{E2BIG, "ArgumentListTooLong"},
    KindName{EADDRINUSE, "AddrInUse"},
    KindName{EADDRNOTAVAIL, "AddrNotAvailable"},
    KindName{ECONNABORTED, "ConnectionAborted"},
    KindName{ECONNREFUSED, "ConnectionRefused"},
    KindName{ECONNRESET, "ConnectionReset"},
    KindName{EHOSTUNREACH, "HostUnreachable"},
    KindName{ENETDOWN, "NetworkDown"},
    KindName{ENETUNREACH, "NetworkUnreachable"},
    KindName{ENOTCONN, "NotConnected"},
    KindName{EINPROGRESS, "InProgress"},
};

// Characters shown as \u{…}: controls, format characters, separators other than the space,
// surrogates, private-use and unassigned code points.
bool is_hidden_character(char32_t c) {
  if (c == U' ') {
    return false;
  }
  switch (utf8proc_category(static_cast<utf8proc_int32_t>(c))) {
    case UTF8PROC_CATEGORY_CC:
    case UTF8PROC_CATEGORY_CF:
    case UTF8PROC_CATEGORY_CS:
    case UTF8PROC_CATEGORY_CO:
    case UTF8PROC_CATEGORY_CN:
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
      return true;
    default:
      return false;
  }
}

void append_hex_escape(std::string& out, char32_t c) {
  constexpr std::string_view digits = "0123456789abcdef";
  std::string hex;
  do {
    hex.insert(hex.begin(), digits[c & 0xF]);
    c >>= 4;
  } while (c != 0);
  out += "\\u{";
  out += hex;
  out += '}';
}

}  // namespace

Error Error::message(std::string text) {
  Error error;
  error.text = std::move(text);
  return error;
}

Error Error::os(int code) {
  Error error;
  error.kind = ErrorKind::os;
  error.code = code;
  return error;
}

Error Error::os(std::error_code code) {
  return os(code.value());
}

Error Error::json_syntax(std::string message, std::size_t line, std::size_t column) {
  Error error;
  error.kind = ErrorKind::json_syntax;
  error.text = std::move(message);
  error.line = line;
  error.column = column;
  return error;
}

std::string quoted_text(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  std::size_t offset = 0;
  while (offset < text.size()) {
    const base::DecodedChar decoded = base::decode_utf8(text, offset);
    const char32_t c = decoded.value;
    switch (c) {
      case U'"':
        out += "\\\"";
        break;
      case U'\\':
        out += "\\\\";
        break;
      case U'\n':
        out += "\\n";
        break;
      case U'\r':
        out += "\\r";
        break;
      case U'\t':
        out += "\\t";
        break;
      case U'\0':
        out += "\\0";
        break;
      default:
        if (is_hidden_character(c)) {
          append_hex_escape(out, c);
        } else {
          base::append_utf8(out, c);
        }
    }
    offset += decoded.length;
  }
  out += '"';
  return out;
}

std::string_view os_error_kind_name(int code) {
  for (const KindName& entry : kind_names) {
    if (entry.code == code) {
      return entry.name;
    }
  }
  return "Uncategorized";
}

std::string os_error_message(int code) {
  std::array<char, 256> buffer{};
  // The GNU form may return a static text instead of filling the buffer.
  const char* text = strerror_r(code, buffer.data(), buffer.size());
  return text;
}

std::string error_report(const Error& error) {
  switch (error.kind) {
    case ErrorKind::os:
      return "Os { code: " + std::to_string(error.code) +
             ", kind: " + std::string(os_error_kind_name(error.code)) +
             ", message: " + quoted_text(os_error_message(error.code)) + " }";
    case ErrorKind::json_syntax:
      return "Custom { kind: Other, error: Error(" + quoted_text(error.text) +
             ", line: " + std::to_string(error.line) + ", column: " + std::to_string(error.column) +
             ") }";
    case ErrorKind::message:
      break;
  }
  return "Custom { kind: Other, error: " + quoted_text(error.text) + " }";
}

std::string plain_error_text(const Error& error) {
  switch (error.kind) {
    case ErrorKind::os:
      return os_error_message(error.code) + " (os error " + std::to_string(error.code) + ")";
    case ErrorKind::json_syntax:
      return error.text + " at line " + std::to_string(error.line) + " column " +
             std::to_string(error.column);
    case ErrorKind::message:
      break;
  }
  return error.text;
}

}  // namespace qm
