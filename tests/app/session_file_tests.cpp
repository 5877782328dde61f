#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>
#include <string>

#include "app/session_file.hpp"
#include "json/json_access.hpp"
#include "json/json_text.hpp"
#include "support/error_printing.hpp"
#include "support/pipe.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::Pipe;
using testing::TempDir;
using testing::write_file;

const std::string schema_member = R"("schema":"quillmesh.terminal-session/1")";

std::string document_with(const std::string& members) {
  return "{" + schema_member + (members.empty() ? "" : "," + members) + "}";
}

Error size_error() {
  return Error::message(std::string(session_size_message));
}
Error schema_error() {
  return Error::message(std::string(session_schema_message));
}

std::string nested_arrays(std::size_t depth) {
  return std::string(depth, '[') + std::string(depth, ']');
}

TEST(LoadSession, AcceptsADocumentDirectlyOrThroughALink) {
  TempDir folder;
  const std::string path = folder.file("session.json");
  write_file(path, document_with(R"("zeta":{"k":[1,2]},"alpha":"x")"));
  const std::string link = folder.file("link.json");
  std::filesystem::create_symlink(path, link);

  for (const std::string& candidate : {path, link}) {
    const auto loaded = load_session(candidate);
    ASSERT_TRUE(loaded.has_value()) << error_report(loaded.error());
    // Unknown keys are kept, and members iterate in byte order of their keys.
    EXPECT_EQ(compact_json((*loaded)->root),
              R"({"alpha":"x","schema":"quillmesh.terminal-session/1","zeta":{"k":[1,2]}})");
  }
}

TEST(LoadSession, RefusesWhatIsNotASmallRegularFileBeforeReadingIt) {
  TempDir folder;
  EXPECT_EQ(load_session(folder.file("missing.json")).error(), Error::os(ENOENT));
  EXPECT_EQ(load_session(folder.path().string()).error(), size_error());
  write_file(folder.file("plain"), "{}");
  EXPECT_EQ(load_session(folder.file("plain") + "/inner").error(), Error::os(ENOTDIR));

  // Opening a pipe for reading would wait for a writer; it is refused on its metadata.
  const std::string pipe_path = folder.file("pipe");
  ASSERT_EQ(::mkfifo(pipe_path.c_str(), 0600), 0);
  EXPECT_EQ(load_session(pipe_path).error(), size_error());

  const std::string dangling = folder.file("dangling");
  std::filesystem::create_symlink(folder.file("nowhere"), dangling);
  EXPECT_EQ(load_session(dangling).error(), Error::os(ENOENT));
}

TEST(LoadSession, SizeLimitIsThirtyTwoMebibytesExclusive) {
  TempDir folder;
  const std::string path = folder.file("big.json");
  std::string content = document_with(R"("pad":"")");
  const std::size_t padding = session_size_limit - 1 - content.size();
  content.insert(content.size() - 2, padding, 'x');
  ASSERT_EQ(content.size(), session_size_limit - 1);
  write_file(path, content);
  const auto loaded = load_session(path);
  ASSERT_TRUE(loaded.has_value()) << error_report(loaded.error());
  EXPECT_EQ(member((*loaded)->root, "pad").string().size(), padding);

  content += ' ';
  write_file(path, content);
  EXPECT_EQ(load_session(path).error(), size_error());
}

TEST(LoadSession, SchemaMustBeExactlyTheIdentifier) {
  TempDir folder;
  const std::string path = folder.file("session.json");
  for (const char* text : {"[]", R"(["quillmesh.terminal-session/1"])", "{}",
                           R"({"schema":"quillmesh.terminal-session/2"})",
                           R"({"schema":"quillmesh.terminal-session/1 "})",
                           R"({"schema":" quillmesh.terminal-session/1"})", R"({"schema":1})",
                           R"({"schema":null})", R"({"Schema":"quillmesh.terminal-session/1"})",
                           R"({"nested":{"schema":"quillmesh.terminal-session/1"}})"}) {
    write_file(path, text);
    EXPECT_EQ(load_session(path).error(), schema_error()) << text;
  }
  // A later duplicate decides.
  write_file(path, R"({"schema":"other","schema":"quillmesh.terminal-session/1"})");
  EXPECT_TRUE(load_session(path).has_value());
  write_file(path, R"({"schema":"quillmesh.terminal-session/1","schema":"other"})");
  EXPECT_EQ(load_session(path).error(), schema_error());
}

TEST(LoadSession, EmptyOrBrokenFilesGiveSyntaxErrors) {
  TempDir folder;
  const std::string path = folder.file("session.json");
  write_file(path, "");
  EXPECT_EQ(load_session(path).error(),
            Error::json_syntax(
                "syntax error while parsing value - unexpected end of input; expected '[', '{', "
                "or a literal",
                1, 0));
  write_file(path, document_with("") + " x");
  const Error trailing = load_session(path).error();
  EXPECT_EQ(trailing.kind, ErrorKind::json_syntax);
  EXPECT_EQ(trailing.line, 1u);
  EXPECT_EQ(trailing.column, document_with("").size() + 2);
}

TEST(ParseDocument, NumbersKeepTheirKinds) {
  const auto parsed =
      parse_document(R"({"u":5,"zero":0,"n":-5,"f":5.0,"e":1e2,"max":18446744073709551615,)"
                     R"("min":-9223372036854775808,"signed_max":9223372036854775807})");
  ASSERT_TRUE(parsed.has_value());
  const Json& root = (*parsed)->root;
  EXPECT_TRUE(member(root, "u").is_number_unsigned());
  EXPECT_TRUE(member(root, "zero").is_number_unsigned());
  EXPECT_TRUE(member(root, "signed_max").is_number_unsigned());
  EXPECT_EQ(member(root, "max").unsigned_integer(), 18446744073709551615u);
  EXPECT_TRUE(member(root, "max").is_number_unsigned());
  EXPECT_TRUE(member(root, "n").is_number_integer() && !member(root, "n").is_number_unsigned());
  EXPECT_EQ(member(root, "n").integer(), -5);
  EXPECT_EQ(member(root, "min").integer(), std::numeric_limits<std::int64_t>::min());
  EXPECT_TRUE(member(root, "f").is_number_float());
  EXPECT_TRUE(member(root, "e").is_number_float());
  EXPECT_EQ(member(root, "e").floating(), 100.0);
}

TEST(ParseDocument, AnyValueKeepsItsShapeAndDuplicatesKeepTheLast) {
  const std::string text =
      "{\"b\":1,\"a\":{\"y\":[true,false,null],\"x\":\"caf\u00e9\\n\\u0000\"},\"b\":3}";
  const auto parsed = parse_document(text);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(compact_json((*parsed)->root),
            "{\"a\":{\"x\":\"caf\u00e9\\n\\u0000\",\"y\":[true,false,null]},\"b\":3}");
  // The careful path, taken for an integer beyond 64 bits, builds the same tree.
  const auto careful =
      parse_document(text.substr(0, text.size() - 1) + ",\"huge\":18446744073709551616}");
  ASSERT_TRUE(careful.has_value()) << error_report(careful.error());
  const Json& huge = member((*careful)->root, "huge");
  EXPECT_TRUE(huge.is_number_float());
  EXPECT_DOUBLE_EQ(huge.floating(), 18446744073709551616.0);
  JsonArena arena;
  JsonBuilder expected(arena);
  for (const JsonMember& field : (*parsed)->root.object()) {
    expected.add(field.key(), field.value);
  }
  expected.add("huge", huge);
  EXPECT_EQ((*careful)->root, expected.object());
  EXPECT_TRUE(parse_document(" \t\r\n42 \n").value()->root.is_number_unsigned());
}

TEST(ParseDocument, NestingDeeperThan128IsRefusedWhereItHappens) {
  EXPECT_TRUE(parse_document(nested_arrays(128)).has_value());
  EXPECT_EQ(parse_document(nested_arrays(129)).error(),
            Error::json_syntax("recursion limit exceeded", 1, 129));

  std::string objects;
  std::string closing;
  for (int i = 0; i < 64; ++i) {
    objects += "{\"k\":[";
    closing += "]}";
  }
  EXPECT_TRUE(parse_document(objects + closing).has_value());
  EXPECT_EQ(parse_document(objects + "{}" + closing).error(),
            Error::json_syntax("recursion limit exceeded", 1, 6 * 64 + 1));
  // The 129th level on the second line, after a two-byte character.
  EXPECT_EQ(parse_document("[\n\"\u00e9\"," + std::string(128, '[')).error(),
            Error::json_syntax("recursion limit exceeded", 2, 4 + 128));

  // Deep documents far beyond the limit neither crash nor build anything.
  EXPECT_EQ(parse_document(std::string(1'000'000, '[')).error(),
            Error::json_syntax("recursion limit exceeded", 1, 129));
}

TEST(ParseDocument, EarlierSyntaxErrorWinsOverLaterExcessNesting) {
  EXPECT_EQ(
      parse_document("[1 2," + nested_arrays(300)).error(),
      Error::json_syntax(
          "syntax error while parsing array - unexpected number literal; expected ']'", 1, 4));
  // An error after the 129th bracket is not reached.
  EXPECT_EQ(parse_document(std::string(200, '[') + "1 2").error(),
            Error::json_syntax("recursion limit exceeded", 1, 129));
  // Brackets inside strings do not nest, and a value the fast parser cannot hold still counts.
  EXPECT_TRUE(
      parse_document("[18446744073709551616,\"" + std::string(300, '[') + "\\\"\"]").has_value());
  EXPECT_EQ(parse_document("[18446744073709551616," + nested_arrays(128) + "]").error(),
            Error::json_syntax("recursion limit exceeded", 1, 22 + 128));
}

TEST(ParseDocument, ColumnsCountCharactersOfTheOffendingLine) {
  const Error after_wide = parse_document("{\"\u00e9\u65e5\":x}").error();
  EXPECT_EQ(after_wide.line, 1u);
  EXPECT_EQ(after_wide.column, 7u);
  EXPECT_EQ(
      parse_document("{\n  \"\u00fc\": [1,]\n}").error(),
      Error::json_syntax(
          "syntax error while parsing value - unexpected ']'; expected '[', '{', or a literal", 2,
          11));
  // At the end of the input: the characters of the last line.
  EXPECT_EQ(
      parse_document("[\n  1,").error(),
      Error::json_syntax(
          "syntax error while parsing value - unexpected end of input; expected '[', '{', or a "
          "literal",
          2, 4));
  EXPECT_EQ(parse_document("[\n").error().line, 2u);
  EXPECT_EQ(parse_document("[\n").error().column, 0u);
}

TEST(ParseDocument, RawNulBytesAreErrorsWhereTheyStand) {
  const std::string nul(1, '\0');
  for (const std::string& text : {"123" + nul, document_with("") + nul, "[1," + nul + "]",
                                  "[1]" + nul + "junk", "[\"a" + nul + "\"]"}) {
    const Error error = parse_document(text).error();
    EXPECT_EQ(error.kind, ErrorKind::json_syntax);
    EXPECT_EQ(error.column, text.find('\0') + 1) << error.text;
    EXPECT_NE(error.text.find("U+0000"), std::string::npos) << error.text;
  }
  EXPECT_EQ(parse_document("[1 2" + nul).error().column, 4u);
}

TEST(ParseDocument, MessagesStayValidTextForBadBytes) {
  const Error error = parse_document("[\"a\xff\"]").error();
  EXPECT_EQ(error.kind, ErrorKind::json_syntax);
  EXPECT_EQ(error.column, 4u);
  EXPECT_NE(error.text.find("ill-formed UTF-8"), std::string::npos);
  EXPECT_NE(error.text.find("\ufffd"), std::string::npos);
  EXPECT_EQ(error.text.find('\xff'), std::string::npos);
  EXPECT_EQ(parse_document("1e400").error().text, "number overflow parsing '1e400'");
}

TEST(ReadDocumentBytes, NeverReadsPastTheLimitWhenMoreArrives) {
  const auto read_piped = [](Pipe& pipe, ReadBuffer& buffer, const std::string& bytes,
                             std::size_t hint, std::size_t limit) {
    pipe.write_and_close(bytes);
    return read_document_bytes(pipe.reader(), hint, buffer, limit);
  };
  Pipe under, at, grown;
  ReadBuffer under_bytes, at_bytes, grown_bytes;
  EXPECT_TRUE(read_piped(under, under_bytes, std::string(99, 'a'), 0, 100).has_value());
  EXPECT_EQ(under_bytes.text(), std::string(99, 'a'));
  EXPECT_EQ(read_piped(at, at_bytes, std::string(100, 'a'), 99, 100).error(), size_error());
  // The file was small when examined and grew before it was read.
  EXPECT_EQ(read_piped(grown, grown_bytes, std::string(50'000, 'a'), 10, 100).error(),
            size_error());
  EXPECT_GE(grown.read_available().size(), 50'000u - 100u);
  // A hint too small or too large only changes the allocations.
  for (std::size_t hint : {0u, 10u, 100'000u}) {
    Pipe pipe;
    ReadBuffer buffer;
    EXPECT_TRUE(
        read_piped(pipe, buffer, std::string(30'000, 'b'), hint, session_size_limit).has_value());
    EXPECT_EQ(buffer.size(), 30'000u);
  }
  ReadBuffer unread;
  EXPECT_EQ(read_document_bytes(-1, 0, unread, 100).error(), Error::os(EBADF));
}

TEST(ReadDocumentBytes, ABufferReadAgainHoldsOnlyTheNewBytes) {
  ReadBuffer buffer;
  struct Read {
    std::string bytes;
    std::size_t limit;
    std::string expected;  // the text afterwards
    bool succeeds;
  };
  const Read reads[] = {
      {std::string(30'000, 'a'), session_size_limit, std::string(30'000, 'a'), true},
      {"bbbbb", session_size_limit, "bbbbb", true},
      {std::string(200, 'c'), 100, "", false},
      {"", session_size_limit, "", true},
      {"[1]", session_size_limit, "[1]", true},
  };
  for (const Read& read : reads) {
    Pipe pipe;
    pipe.write_and_close(read.bytes);
    EXPECT_EQ(read_document_bytes(pipe.reader(), 0, buffer, read.limit).has_value(), read.succeeds)
        << read.bytes.size();
    EXPECT_EQ(buffer.text(), read.expected) << read.bytes.size();
  }
}

TEST(SessionLoader, DocumentsOutliveLaterLoadsOfTheSameLoader) {
  TempDir folder;
  const std::string path = folder.file("session.json");
  SessionLoader loader;
  write_file(path, document_with(R"("text":")" + std::string(5'000, 'x') + R"(","n":[1,2])"));
  const auto first = loader.load(path);
  ASSERT_TRUE(first.has_value()) << error_report(first.error());
  const std::string first_text = compact_json((*first)->root);

  // A shorter document, a broken one, plain text and a refused schema through the same loader.
  write_file(path, document_with(R"("text":"y")"));
  const auto second = loader.load(path);
  ASSERT_TRUE(second.has_value()) << error_report(second.error());
  write_file(path, "{\"schema\":");
  EXPECT_EQ(loader.load(path).error().kind, ErrorKind::json_syntax);
  const auto parsed = loader.parse(R"({"text":"zzz","n":18446744073709551616})");
  ASSERT_TRUE(parsed.has_value()) << error_report(parsed.error());
  write_file(path, R"({"schema":"other"})");
  EXPECT_EQ(loader.load(path).error(), schema_error());

  EXPECT_EQ(compact_json((*first)->root), first_text);
  EXPECT_EQ(member((*first)->root, "text").string(), std::string(5'000, 'x'));
  EXPECT_EQ(compact_json((*second)->root),
            R"({"schema":"quillmesh.terminal-session/1","text":"y"})");
  EXPECT_EQ(compact_json((*parsed)->root), R"({"n":1.8446744073709552e+19,"text":"zzz"})");
}

TEST(ModificationTime, CarriesNanosecondsAndIsAbsentWithoutMetadata) {
  TempDir folder;
  const std::string path = folder.file("session.json");
  write_file(path, "{}");
  const timespec times[2] = {{1'700'000'000, 123'456'789}, {1'700'000'000, 987'654'321}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  const std::optional<ModificationTime> stamp = modification_time(path);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->seconds, 1'700'000'000);
  EXPECT_EQ(stamp->nanoseconds, 987'654'321);
  // Another file renamed over the name differs even with the same time.
  write_file(folder.file("next"), "{}");
  ASSERT_EQ(::utimensat(AT_FDCWD, folder.file("next").c_str(), times, 0), 0);
  std::filesystem::rename(folder.file("next"), path);
  EXPECT_NE(modification_time(path), stamp);
  EXPECT_EQ(modification_time(folder.file("missing")), std::nullopt);
}

}  // namespace
}  // namespace qm
