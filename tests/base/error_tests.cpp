#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#include "base/error.hpp"
#include "support/error_printing.hpp"

namespace qm {
namespace {

TEST(ErrorReport, EachKindHasItsStructuredForm) {
  EXPECT_EQ(error_report(Error::message("--session PATH is required")),
            "Custom { kind: Other, error: \"--session PATH is required\" }");
  EXPECT_EQ(error_report(Error::os(ENOENT)),
            "Os { code: 2, kind: NotFound, message: \"No such file or directory\" }");
  EXPECT_EQ(error_report(Error::os(EACCES)),
            "Os { code: 13, kind: PermissionDenied, message: \"Permission denied\" }");
  EXPECT_EQ(
      error_report(Error::json_syntax("recursion limit exceeded", 1, 129)),
      "Custom { kind: Other, error: Error(\"recursion limit exceeded\", line: 1, column: 129) }");
  EXPECT_EQ(error_report(Error::os(9999)),
            "Os { code: 9999, kind: Uncategorized, message: \"Unknown error 9999\" }");
}

TEST(ErrorReport, QuotesLikeADebugString) {
  EXPECT_EQ(quoted_text("plain"), "\"plain\"");
  EXPECT_EQ(quoted_text("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(quoted_text(std::string("\n\r\t\0|", 5)), "\"\\n\\r\\t\\0|\"");
  EXPECT_EQ(quoted_text("\x01\x1b\x7f"), "\"\\u{1}\\u{1b}\\u{7f}\"");
  EXPECT_EQ(quoted_text("'single' quotes stay"), "\"'single' quotes stay\"");
  // Format characters and separators other than the space are shown by number.
  EXPECT_EQ(quoted_text("a\u200bb\u00a0c\u2028d\u00ade"),
            "\"a\\u{200b}b\\u{a0}c\\u{2028}d\\u{ad}e\"");
  EXPECT_EQ(quoted_text("\ue000"), "\"\\u{e000}\"");
  // Printable text outside ASCII stays as it is; an invalid byte becomes U+FFFD.
  EXPECT_EQ(quoted_text("caf\u00e9 \u65e5\u672c \U0001F600"),
            "\"caf\u00e9 \u65e5\u672c \U0001F600\"");
  EXPECT_EQ(quoted_text("bad\xff"), "\"bad\ufffd\"");
  EXPECT_EQ(error_report(Error::message("Unknown argument: --x=\"y\"\n")),
            "Custom { kind: Other, error: \"Unknown argument: --x=\\\"y\\\"\\n\" }");
}

TEST(ErrorReport, NamesTheKindOfCommonErrnoCodes) {
  EXPECT_EQ(os_error_kind_name(ENOENT), "NotFound");
  EXPECT_EQ(os_error_kind_name(EPERM), "PermissionDenied");
  EXPECT_EQ(os_error_kind_name(EISDIR), "IsADirectory");
  EXPECT_EQ(os_error_kind_name(ENOTDIR), "NotADirectory");
  EXPECT_EQ(os_error_kind_name(ELOOP), "FilesystemLoop");
  EXPECT_EQ(os_error_kind_name(EEXIST), "AlreadyExists");
  EXPECT_EQ(os_error_kind_name(EINTR), "Interrupted");
  EXPECT_EQ(os_error_kind_name(EINVAL), "InvalidInput");
  EXPECT_EQ(os_error_kind_name(ENOSPC), "StorageFull");
  EXPECT_EQ(os_error_kind_name(EPIPE), "BrokenPipe");
  EXPECT_EQ(os_error_kind_name(ENAMETOOLONG), "InvalidFilename");
  EXPECT_EQ(os_error_kind_name(EAGAIN), "WouldBlock");
  EXPECT_EQ(os_error_kind_name(ENXIO), "Uncategorized");
  EXPECT_EQ(os_error_kind_name(0), "Uncategorized");
}

TEST(PlainErrorText, ReadsAsASentenceForTheStatusRow) {
  EXPECT_EQ(plain_error_text(Error::message("Unsupported session schema")),
            "Unsupported session schema");
  EXPECT_EQ(plain_error_text(Error::os(ENOENT)), "No such file or directory (os error 2)");
  EXPECT_EQ(plain_error_text(Error::json_syntax("unexpected ']'", 3, 7)),
            "unexpected ']' at line 3 column 7");
}

TEST(ErrorValue, ComesFromAnErrorCodeAndCompares) {
  EXPECT_EQ(Error::os(std::make_error_code(std::errc::no_such_file_or_directory)),
            Error::os(ENOENT));
  EXPECT_NE(Error::os(ENOENT), Error::os(EACCES));
  EXPECT_NE(Error::message("2"), Error::os(2));
}

}  // namespace
}  // namespace qm
