#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_process.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::ProcessResult;
using testing::TempDir;

const std::string usage =
    "quillmesh-terminal --session PATH [--requests PATH]\n"
    "quillmesh-terminal --check-session PATH\n"
    "quillmesh-terminal --session PATH --print VIEW [--select ID] [--width N] [--color always]\n"
    "Use quillmesh-tui workspace to create a validated session. 0\u20139 views, / search, ? "
    "help.\n";

ProcessResult run(const std::vector<std::string>& arguments) {
  return testing::run_process(QM_BINARY, arguments);
}

std::string custom(const std::string& quoted) {
  return "Error: Custom { kind: Other, error: " + quoted + " }\n";
}

const std::string not_found =
    "Error: Os { code: 2, kind: NotFound, message: \"No such file or directory\" }\n";

// Expects a failure with exactly `err` on the error stream and nothing on the output.
void expect_failure(const std::vector<std::string>& arguments, const std::string& err) {
  const ProcessResult result = run(arguments);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, err);
  EXPECT_EQ(result.status, 1);
}

class Sessions : public ::testing::Test {
 protected:
  Sessions() {
    testing::write_file(valid, R"({"schema":"quillmesh.terminal-session/1","entities":[]})");
    testing::write_file(wrong_schema, R"({"schema":"quillmesh.terminal-session/2"})");
    testing::write_file(broken, "{\"schema\": }");
  }
  TempDir folder;
  const std::string valid = folder.file("valid.json");
  const std::string wrong_schema = folder.file("wrong.json");
  const std::string broken = folder.file("broken.json");
  const std::string missing = folder.file("missing.json");
};

TEST(CommandLine, HelpPrintsTheUsageAndStopsTheScan) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"-h"},
                                                    {"--help"},
                                                    {"-h", "--bogus"},
                                                    {"--help", "\xff"},
                                                    {"--session", "x", "-h"}}) {
    const ProcessResult result = run(arguments);
    EXPECT_EQ(result.out, usage);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST(CommandLine, ArgumentErrorsNameTheArgument) {
  expect_failure({}, custom("\"--session PATH is required\""));
  expect_failure({"--bogus", "-h"}, custom("\"Unknown argument: --bogus\""));
  expect_failure({"--x=y"}, custom("\"Unknown argument: --x=y\""));
  expect_failure({"--session=a.json"}, custom("\"Unknown argument: --session=a.json\""));
  expect_failure({"a.json"}, custom("\"Unknown argument: a.json\""));
  expect_failure({"-"}, custom("\"Unknown argument: -\""));
  expect_failure({"--requests", "r.jsonl"}, custom("\"--session PATH is required\""));
  expect_failure({"say \"hi\"\t"}, custom("\"Unknown argument: say \\\"hi\\\"\\t\""));
  expect_failure({"--session", "\xff"}, custom("\"Argument is not valid UTF-8: \ufffd\""));
  expect_failure({"caf\xc3"}, custom("\"Argument is not valid UTF-8: caf\ufffd\""));
}

TEST_F(Sessions, TheLastOptionWinsAndATrailingOptionHasNoValue) {
  expect_failure({"--session", valid, "--session"}, custom("\"--session PATH is required\""));
  expect_failure({"--session", valid, "--session", missing}, not_found);
  // The later, valid path is the one opened.
  const ProcessResult later_valid = run({"--session", missing, "--session", valid});
  EXPECT_EQ(later_valid.err.find("NotFound"), std::string::npos) << later_valid.err;
  // A value may itself look like an option.
  expect_failure({"--check-session", "-h"}, not_found);
  expect_failure({"--check-session", valid, "--check-session"},
                 custom("\"--session PATH is required\""));
}

TEST_F(Sessions, CheckCannotBeCombinedWithViewerOptions) {
  const std::string combined = custom("\"--check-session cannot be combined with UI options\"");
  // Neither file exists, so reading either would report it.
  expect_failure({"--check-session", missing, "--session", missing}, combined);
  expect_failure({"--session", missing, "--check-session", missing}, combined);
  expect_failure({"--check-session", valid, "--requests", missing}, combined);
}

TEST_F(Sessions, CheckReportsEachKindOfLoadFailure) {
  const ProcessResult accepted = run({"--check-session", valid});
  EXPECT_EQ(accepted.out, "");
  EXPECT_EQ(accepted.err, "");
  EXPECT_EQ(accepted.status, 0);

  expect_failure({"--check-session", wrong_schema}, custom("\"Unsupported session schema\""));
  expect_failure({"--check-session", missing}, not_found);
  expect_failure({"--check-session", folder.path().string()},
                 custom("\"Session must be a regular file smaller than 32 MiB\""));
  expect_failure({"--check-session", broken},
                 "Error: Custom { kind: Other, error: Error(\"syntax error while parsing value - "
                 "unexpected '}'; expected '[', '{', or a literal\", line: 1, column: 12) }\n");
  expect_failure({"--check-session", valid + "/inside"},
                 "Error: Os { code: 20, kind: NotADirectory, message: \"Not a directory\" }\n");
}

// Running out of memory while loading is a load failure like any other: one line, status 1.
TEST_F(Sessions, CheckReportsMemoryRunningOut) {
#ifdef QM_SANITIZED_BUILD
  GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
#endif
  const std::string large = folder.file("large.json");
  std::string text = R"({"schema":"quillmesh.terminal-session/1","x":[)";
  while (text.size() < 30'000'000) {
    text += R"("some text",)";
  }
  text += "0]}";
  testing::write_file(large, text);
  const ProcessResult result = testing::run_process(
      "/bin/sh",
      {"-c", "ulimit -v 200000 && exec \"$0\" --check-session \"$1\"", QM_BINARY, large});
  EXPECT_EQ(result.err,
            "Error: Os { code: 12, kind: OutOfMemory, message: \"Cannot allocate memory\" }\n");
  EXPECT_EQ(result.status, 1);
}

}  // namespace
}  // namespace qm
