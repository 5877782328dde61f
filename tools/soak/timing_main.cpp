// Times the viewer at a pseudo-terminal on a generated 31 MiB document: a rename over its session
// file to the redrawn header, a filter keystroke in Topics, one-row moves in Health and Topics
// (key to first byte) and the peak resident memory over the reloads against the document's size.
#include <fmt/format.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "clocked_document.hpp"
#include "session_generator.hpp"
#include "soak_judgement.hpp"
#include "viewer_process.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using qm::soak::ViewerProcess;

constexpr auto first_frame_limit = 60s;
constexpr auto reload_limit = 5s;
constexpr auto key_limit = 2s;
// Output has settled once nothing came for this long.
constexpr auto quiet = 60ms;
// Two problems below the Health summary row, for its one-row moves.
constexpr std::string_view findings =
    R"("problems":{"findings":[{"id":"problem:timing-1","severity":"warning","title":"Timing )"
    R"(finding one"},{"id":"problem:timing-2","severity":"info","title":"Timing finding two"}]})";
// Memory is read after this many reloads.
constexpr std::size_t memory_reloads = 10;

struct Options {
  std::string viewer;
  std::size_t renames = 21;
  std::size_t keys = 40;
  std::uint64_t seed = 24;
};

std::optional<Options> parse_options(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--viewer") {
      options.viewer = value;
    } else if (name == "--renames") {
      options.renames = std::strtoull(value, nullptr, 10);
    } else if (name == "--keys") {
      options.keys = std::strtoull(value, nullptr, 10);
    } else if (name == "--seed") {
      options.seed = std::strtoull(value, nullptr, 10);
    } else {
      return std::nullopt;
    }
  }
  if (options.viewer.empty() || options.renames < memory_reloads || options.keys == 0) {
    return std::nullopt;
  }
  return options;
}

double since_ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

[[noreturn]] void fail(const std::filesystem::path& folder, const char* what) {
  std::fprintf(stderr, "timing: %s\n", what);
  std::filesystem::remove_all(folder);
  std::exit(1);
}

// Reads until the viewer wrote nothing for `quiet`.
void settle(ViewerProcess& viewer) {
  std::size_t before = 0;
  do {
    before = viewer.received();
    viewer.read(std::chrono::duration_cast<std::chrono::milliseconds>(quiet));
  } while (viewer.received() != before);
}

// Types `key` on a settled terminal and times it to the first byte the viewer writes back.
std::optional<double> first_byte_ms(ViewerProcess& viewer, std::string_view key) {
  settle(viewer);
  const std::size_t before = viewer.received();
  const auto typed = Clock::now();
  viewer.type(key);
  while (viewer.received() == before) {
    if (Clock::now() - typed > key_limit || !viewer.read(5ms)) {
      return std::nullopt;
    }
  }
  return since_ms(typed, Clock::now());
}

// Times `count` keys, alternating between the two given.
std::vector<double> time_keys(ViewerProcess& viewer, std::string_view first,
                              std::string_view second, std::size_t count) {
  std::vector<double> times;
  for (std::size_t i = 0; i < count; ++i) {
    if (const auto took = first_byte_ms(viewer, i % 2 == 0 ? first : second)) {
      times.push_back(*took);
    }
  }
  return times;
}

void print_line(std::string_view name, const std::vector<double>& values, std::size_t asked) {
  const qm::soak::Spread spread = qm::soak::spread_of(values);
  std::printf("%-34s %9.2f %9.2f %9.2f %5zu/%zu\n", std::string(name).c_str(), spread.min,
              spread.median, spread.max, values.size(), asked);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parse_options(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: quillmesh-timing --viewer PATH [--renames N (>= 10)] [--keys N] "
                 "[--seed N]\n");
    return 2;
  }
  std::fprintf(stderr, "timing: generating two documents of 31 MiB\n");
  std::vector<qm::soak::ClockedDocument> documents;
  documents.emplace_back(options->seed);
  documents.emplace_back(options->seed + 1);
  for (qm::soak::ClockedDocument& document : documents) {
    document.insert_member(findings);
  }

  std::string folder_template =
      (std::filesystem::temp_directory_path() / "quillmesh-timing-XXXXXX").string();
  if (::mkdtemp(folder_template.data()) == nullptr) {
    std::perror("timing: mkdtemp");
    return 2;
  }
  const std::filesystem::path folder = folder_template;
  const std::filesystem::path session = folder / "session.json";
  const std::filesystem::path fresh = folder / "session.json.new";
  documents[0].write(session, 0);

  ViewerProcess viewer(options->viewer, session.string(), qm::soak::WindowSize{160, 40});
  const auto started = Clock::now();
  while (qm::soak::shown_rename(viewer.screen().top_row()) != std::size_t{0}) {
    if (Clock::now() - started > first_frame_limit || !viewer.read(100ms)) {
      fail(folder, "the viewer never showed the first document");
    }
  }

  // Renames at a random moment after the last one was drawn, so no phase of the viewer's wait
  // is favoured.
  qm::bench::Sequence random(options->seed);
  std::vector<double> reloads;
  long peak_after_ten = 0;
  for (std::size_t index = 1; index <= options->renames; ++index) {
    settle(viewer);
    std::this_thread::sleep_for(std::chrono::milliseconds(random.below(250)));
    documents[index % 2].write(fresh, index);
    std::filesystem::rename(fresh, session);
    const auto renamed = Clock::now();
    while (qm::soak::shown_rename(viewer.screen().top_row()).value_or(0) < index) {
      if (Clock::now() - renamed > reload_limit || !viewer.read(5ms)) {
        fail(folder, "the viewer did not draw a renamed document");
      }
    }
    reloads.push_back(since_ms(renamed, Clock::now()));
    if (index == memory_reloads) {
      settle(viewer);
      peak_after_ten = viewer.peak_resident_kib();
    }
  }

  // Topics: the filter, then one-row moves; Health: between the summary row and a problem.
  static_cast<void>(first_byte_ms(viewer, "3"));
  static_cast<void>(first_byte_ms(viewer, "/"));
  const std::vector<double> filter = time_keys(viewer, "a", "\x7f", options->keys);
  // Esc alone needs a quiet moment to be told from the start of a sequence.
  static_cast<void>(first_byte_ms(viewer, "\x1b"));
  static_cast<void>(first_byte_ms(viewer, "\x1b"));
  const std::vector<double> topics_moves = time_keys(viewer, "j", "k", options->keys);
  static_cast<void>(first_byte_ms(viewer, "1"));
  static_cast<void>(first_byte_ms(viewer, "\x1b[H"));
  const std::vector<double> health_moves = time_keys(viewer, "j", "k", options->keys);

  viewer.type("q");
  const std::optional<int> status = viewer.wait_exit(10s);
  std::filesystem::remove_all(folder);

  const double document_kib = static_cast<double>(qm::soak::document_bytes) / 1024.0;
  std::printf("%-34s %9s %9s %9s %8s\n", "figure (ms)", "min", "median", "max", "count");
  print_line("rename -> redrawn header", reloads, options->renames);
  print_line("filter keystroke in Topics", filter, options->keys);
  print_line("one-row move in Topics", topics_moves, options->keys);
  print_line("one-row move in Health", health_moves, options->keys);
  std::printf("peak resident after %zu reloads: %.1f MiB, %.2fx the document\n", memory_reloads,
              static_cast<double>(peak_after_ten) / 1024.0,
              static_cast<double>(peak_after_ten) / document_kib);
  if (status != 0) {
    std::printf("timing: the viewer did not quit cleanly\n");
    return 1;
  }
  return 0;
}
