#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "session_generator.hpp"
#include "support/json_test_suite.hpp"
#include "support/run_process.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::ProcessResult;

const std::string demo = std::string(QM_SOURCE_DIR) + "/examples/demo-session.json";

ProcessResult run(const std::vector<std::string>& arguments) {
  return testing::run_process(QM_BINARY, arguments);
}

std::string golden_path(const std::string& name) {
  return std::string(QM_TEST_DATA) + "/e2e/golden/print_" + name + ".txt";
}

// Compares `text` with the golden file `name`; QM_UPDATE_GOLDEN=1 writes the file instead.
::testing::AssertionResult matches_golden(const std::string& text, const std::string& name) {
  const std::string path = golden_path(name);
  const char* update = std::getenv("QM_UPDATE_GOLDEN");
  if (update != nullptr && std::string_view(update) == "1") {
    testing::write_file(path, text);
    return ::testing::AssertionSuccess();
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return ::testing::AssertionFailure() << "no golden file " << path << "; printed:\n" << text;
  }
  std::ostringstream expected;
  expected << in.rdbuf();
  if (expected.str() != text) {
    return ::testing::AssertionFailure() << path << " differs; printed:\n" << text;
  }
  return ::testing::AssertionSuccess();
}

// Every byte is printable text: no escape or other control character but the line feeds.
bool plain_text(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n') || byte == 0x7F) {
      return false;
    }
  }
  return true;
}

// The outcomes allowed on any document: the view printed as plain text, or one error line.
void expect_orderly(const ProcessResult& result, const std::string& what) {
  ASSERT_EQ(result.signal, 0) << what;
  if (result.status == 0) {
    EXPECT_EQ(result.err, "") << what;
    EXPECT_TRUE(result.out.ends_with('\n')) << what;
    EXPECT_TRUE(plain_text(result.out)) << what;
    return;
  }
  EXPECT_EQ(result.status, 1) << what;
  EXPECT_EQ(result.out, "") << what;
  EXPECT_TRUE(result.err.starts_with("Error: ")) << what << ": " << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << what << ": " << result.err;
}

struct GoldenCase {
  std::string name;
  std::vector<std::string> options;
};

TEST(Print, DemoViewsMatchTheirGoldenText) {
  const GoldenCase cases[] = {
      {"health", {"--print", "health"}},
      {"graph", {"--print", "2"}},
      {"topics", {"--print", "Topics"}},
      {"nodes", {"--print", "4"}},
      {"tf", {"--print", "TF"}},
      {"changes", {"--print", "6"}},
      {"results", {"--print", "results"}},
      {"playback", {"--print", "8"}},
      {"capture", {"--print", "CAPTURE"}},
      {"project", {"--print", "0"}},
      {"topics_scan_80", {"--print", "topics", "--select", "/scan", "--width", "80"}},
      {"nodes_bt_navigator_60",
       {"--print", "nodes", "--select", "node:/bt_navigator", "--width", "60"}},
      {"graph_40", {"--print", "graph", "--width", "40"}},
  };
  for (const GoldenCase& golden : cases) {
    std::vector<std::string> arguments{"--session", demo};
    arguments.insert(arguments.end(), golden.options.begin(), golden.options.end());
    const ProcessResult result = run(arguments);
    ASSERT_EQ(result.status, 0) << golden.name << ": " << result.err;
    EXPECT_EQ(result.err, "") << golden.name;
    EXPECT_TRUE(plain_text(result.out)) << golden.name;
    EXPECT_TRUE(matches_golden(result.out, golden.name)) << golden.name;
  }
}

TEST(Print, SelectedRowIsMarkedAndNamedAboveItsDetail) {
  const ProcessResult result = run({"--session", demo, "--print", "3", "--select", "topic:/scan"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::istringstream lines(result.out);
  int marked = 0;
  bool named = false;
  // The detail text may hold lines of its own that start with "›".
  for (std::string line; !named && std::getline(lines, line);) {
    marked += line.starts_with("›") ? 1 : 0;
    named = line == "Detail · /scan";
  }
  EXPECT_EQ(marked, 1);
  EXPECT_TRUE(named) << result.out;
}

TEST(Print, WidthBoundsEveryLine) {
  for (const std::string width : {"20", "57", "100", "1000"}) {
    for (const std::string view : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}) {
      const ProcessResult result = run({"--session", demo, "--print", view, "--width", width});
      ASSERT_EQ(result.status, 0) << view << " at " << width << ": " << result.err;
      std::istringstream lines(result.out);
      for (std::string line; std::getline(lines, line);) {
        // Every character of these texts is one column wide, but for a few wide ones.
        std::size_t columns = 0;
        for (const char c : line) {
          columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        }
        EXPECT_LE(columns, std::stoul(width)) << view << ": " << line;
      }
    }
  }
}

TEST(Print, ColourOnlyWhenAskedForAlways) {
  const ProcessResult plain = run({"--session", demo, "--print", "topics"});
  const ProcessResult never = run({"--session", demo, "--print", "topics", "--color", "never"});
  const ProcessResult always = run({"--session", demo, "--print", "topics", "--color", "always"});
  ASSERT_EQ(plain.status, 0);
  EXPECT_TRUE(plain_text(plain.out));
  EXPECT_EQ(never.out, plain.out);
  ASSERT_EQ(always.status, 0) << always.err;
  EXPECT_NE(always.out.find("\x1b[1;38;5;"), std::string::npos);
  // Every coloured line ends with its attributes reset.
  std::istringstream lines(always.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.find('\x1b') != std::string::npos) {
      EXPECT_TRUE(line.ends_with("\x1b[0m")) << line;
    }
  }
}

TEST(Print, FailuresAreOneErrorLine) {
  testing::TempDir folder;
  const std::string broken = folder.file("broken.json");
  testing::write_file(broken, "{\"schema\": }");
  const std::string wrong = folder.file("wrong.json");
  testing::write_file(wrong, R"({"schema":"quillmesh.terminal-session/2"})");
  const std::string missing = folder.file("missing.json");
  const auto custom = [](const std::string& message) {
    return "Error: Custom { kind: Other, error: \"" + message + "\" }\n";
  };
  const auto width_error = [&](const std::string& width) {
    return custom("--width must be a whole number from 20 to 1000: " + width);
  };
  const struct {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{"--session", demo, "--print", "bogus"}, custom("Unknown view: bogus")},
      {{"--session", demo, "--print", "11"}, custom("Unknown view: 11")},
      {{"--session", demo, "--print", ""}, custom("Unknown view: ")},
      {{"--session", demo, "--print", "topics", "--select", "/nowhere"},
       custom("No row /nowhere in Topics")},
      {{"--session", demo, "--print", "playback", "--select", "x"}, custom("No row x in Playback")},
      {{"--session", demo, "--print", "1", "--width", "19"}, width_error("19")},
      {{"--session", demo, "--print", "1", "--width", "1001"}, width_error("1001")},
      {{"--session", demo, "--print", "1", "--width", "-80"}, width_error("-80")},
      {{"--session", demo, "--print", "1", "--width", "8O"}, width_error("8O")},
      {{"--session", demo, "--print", "1", "--width", "0000000100"}, width_error("0000000100")},
      {{"--session", demo, "--print", "1", "--color", "auto"},
       custom("--color must be always or never: auto")},
      {{"--session", demo, "--width", "80"},
       custom("--select, --width and --color need --print VIEW")},
      {{"--session", demo, "--print", "1", "--requests", missing},
       custom("--print cannot be combined with --requests")},
      {{"--print", "1"}, custom("--session PATH is required")},
      {{"--check-session", demo, "--print", "1"},
       custom("--check-session cannot be combined with UI options")},
      {{"--session", broken, "--print", "1"},
       "Error: Custom { kind: Other, error: Error(\"syntax error while parsing value - "
       "unexpected '}'; expected '[', '{', or a literal\", line: 1, column: 12) }\n"},
      {{"--session", wrong, "--print", "topics"}, custom("Unsupported session schema")},
      {{"--session", missing, "--print", "topics"},
       "Error: Os { code: 2, kind: NotFound, message: \"No such file or directory\" }\n"},
  };
  for (const auto& failure : cases) {
    const ProcessResult result = run(failure.arguments);
    EXPECT_EQ(result.status, 1) << failure.err;
    EXPECT_EQ(result.out, "") << failure.err;
    EXPECT_EQ(result.err, failure.err);
  }
}

// An output that cannot take the text is a failure, not a printed view.
TEST(Print, AFailedWriteIsReported) {
  const ProcessResult result = testing::run_process(
      "/bin/sh", {"-c", "exec \"$0\" --session \"$1\" --print health >/dev/full", QM_BINARY, demo});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "Error: Os { code: 28, kind: StorageFull, message: \"No space left on device\" }\n");
}

const char* const every_view[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};

TEST(Print, GeneratedDocumentsPrintEveryView) {
  testing::TempDir folder;
  for (const std::uint64_t seed : {1u, 7u, 1234u}) {
    const std::string path = folder.file("generated-" + std::to_string(seed) + ".json");
    const std::string document = bench::generate_session_document(200 * 1024, seed);
    testing::write_file(path, document);
    // The same document cut short must fail in good order too.
    const std::string cut = folder.file("cut-" + std::to_string(seed) + ".json");
    testing::write_file(cut, document.substr(0, document.size() / 3));
    for (const char* view : every_view) {
      const std::string what = path + " view " + view;
      const ProcessResult result = run({"--session", path, "--print", view, "--width", "70"});
      expect_orderly(result, what);
      EXPECT_EQ(result.status, 0) << what << ": " << result.err;
      expect_orderly(run({"--session", cut, "--print", view}), cut);
    }
  }
}

// Each file of the public JSON suite, on its own and as the value of the members every view
// reads, so that odd values reach the views.
TEST(Print, JsonTestSuiteFilesEndInAnOrderlyWay) {
  const auto suite = testing::json_test_suite_folder();
  if (!suite) {
    GTEST_SKIP() << "no copy of the JSON test suite beside the checkout";
  }
  testing::TempDir folder;
  const std::string wrapped = folder.file("wrapped.json");
  std::size_t index = 0;
  for (const auto& file : testing::json_test_suite_files(*suite)) {
    const std::string view = every_view[index++ % std::size(every_view)];
    expect_orderly(run({"--session", file.string(), "--print", view}), file.string());
    const std::string value = testing::read_file(file.string());
    std::string document = R"({"schema":"quillmesh.terminal-session/1")";
    for (const char* member : {"entities", "current", "runtime", "problems", "runs", "project",
                               "comparison", "baseline", "task"}) {
      document += std::string(",\"") + member + "\":" + value;
    }
    document += "}";
    testing::write_file(wrapped, document);
    // A document around a file the parser refuses is refused as a whole: one view shows that.
    // Around the others, half the views in turn, so that every view meets every kind of file.
    const std::size_t views = file.filename().string().starts_with("n_") ? 1 : 5;
    for (std::size_t k = 0; k < views; ++k) {
      const char* each = every_view[(index + 2 * k) % std::size(every_view)];
      expect_orderly(run({"--session", wrapped, "--print", each}),
                     file.filename().string() + " view " + each);
    }
  }
}

}  // namespace
}  // namespace qm
