// Runs the viewer at a pseudo-terminal for minutes while its session file is replaced every
// second and random keys, mouse reports and resizes arrive; fails on drift (see soak_failures).
#include <fmt/format.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clocked_document.hpp"
#include "session_generator.hpp"
#include "soak_input.hpp"
#include "soak_judgement.hpp"
#include "tui/sequences.hpp"
#include "viewer_process.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using qm::soak::ClockedDocument;
using qm::soak::Sample;
using qm::soak::shown_rename;

constexpr auto rename_period = 1s;
// A rename is missed when the header shows neither it nor a later one when the next-but-one
// rename is due.
constexpr auto miss_deadline = 2 * rename_period;
constexpr auto first_frame_limit = 60s;

struct Options {
  std::string viewer;
  std::string csv;
  double minutes = 5;
  std::uint64_t seed = 25;
};

std::optional<Options> parse_options(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--viewer") {
      options.viewer = value;
    } else if (name == "--csv") {
      options.csv = value;
    } else if (name == "--minutes") {
      options.minutes = std::atof(value);
    } else if (name == "--seed") {
      options.seed = std::strtoull(value, nullptr, 10);
    } else {
      return std::nullopt;
    }
  }
  if (options.viewer.empty() || options.csv.empty() || options.minutes <= 0) {
    return std::nullopt;
  }
  return options;
}

double since_ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parse_options(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: quillmesh-soak --viewer PATH --csv PATH [--minutes N] [--seed N]\n");
    return 2;
  }
  std::fprintf(stderr, "soak: generating two documents of 31 MiB\n");
  std::vector<ClockedDocument> documents;
  documents.emplace_back(options->seed);
  documents.emplace_back(options->seed + 1);

  std::string folder_template =
      (std::filesystem::temp_directory_path() / "quillmesh-soak-XXXXXX").string();
  if (::mkdtemp(folder_template.data()) == nullptr) {
    std::perror("soak: mkdtemp");
    return 2;
  }
  const std::filesystem::path folder = folder_template;
  // A copy, so that rebuilding during a long run changes nothing under it.
  const std::filesystem::path viewer_copy = folder / "quillmesh-terminal";
  std::filesystem::copy_file(options->viewer, viewer_copy);
  const std::filesystem::path session = folder / "session.json";
  const std::filesystem::path fresh = folder / "session.json.new";
  documents[0].write(session, 0);

  qm::bench::Sequence random(options->seed);
  qm::soak::WindowSize window{160, 40};
  qm::soak::ViewerProcess viewer(viewer_copy.string(), session.string(), window);
  const auto started = Clock::now();
  while (shown_rename(viewer.screen().top_row()) != std::size_t{0}) {
    if (Clock::now() - started > first_frame_limit || !viewer.read(100ms)) {
      std::fprintf(stderr, "soak: the viewer never showed the first document\n");
      std::filesystem::remove_all(folder);
      return 1;
    }
  }

  std::ofstream csv(options->csv, std::ios::trunc);
  csv << "elapsed_s,rss_kib,fds,reload_ms\n";
  std::vector<Sample> samples;
  // Renames whose clock the header has not shown yet, by index.
  std::map<std::size_t, Clock::time_point> pending;
  const auto resolve = [&](Clock::time_point renamed, std::optional<double> reload_ms) {
    Sample sample{std::chrono::duration<double>(renamed - started).count(), viewer.resident_kib(),
                  viewer.open_descriptors(), reload_ms};
    samples.push_back(sample);
    csv << fmt::format("{:.1f},{},{},{}\n", sample.elapsed_s, sample.rss_kib, sample.fds,
                       reload_ms ? fmt::format("{:.0f}", *reload_ms) : "");
    csv.flush();
  };
  // Resolves every pending rename the header has caught up with, and those past their deadline.
  const auto settle = [&](Clock::time_point now) {
    const std::optional<std::size_t> shown = shown_rename(viewer.screen().top_row());
    while (!pending.empty()) {
      const auto [index, renamed] = *pending.begin();
      if (shown && *shown >= index) {
        resolve(renamed, since_ms(renamed, now));
      } else if (now - renamed >= miss_deadline) {
        resolve(renamed, std::nullopt);
      } else {
        break;
      }
      pending.erase(pending.begin());
    }
  };

  const auto duration = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(options->minutes * 60));
  std::size_t renames = 0;
  auto next_rename = started + rename_period;
  auto next_input = started + 100ms;
  bool alive = true;
  while (alive && (next_rename - started <= duration || !pending.empty())) {
    const auto now = Clock::now();
    if (now >= next_rename && next_rename - started <= duration) {
      ++renames;
      documents[renames % 2].write(fresh, renames);
      std::filesystem::rename(fresh, session);
      pending.emplace(renames, Clock::now());
      next_rename += rename_period;
    }
    if (now >= next_input) {
      const qm::soak::InputAction action = qm::soak::random_input(random, window);
      if (action.resize) {
        window = *action.resize;
        viewer.resize(window);
      } else {
        viewer.type(action.bytes);
      }
      // A lone Esc needs a quiet moment to be told from the start of a sequence.
      next_input = now + std::chrono::milliseconds(40 + random.below(200));
    }
    const auto wake = std::min(next_rename, next_input);
    alive = viewer.read(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::max(Clock::duration::zero(), std::min<Clock::duration>(wake - Clock::now(), 50ms))));
    settle(Clock::now());
  }

  // Out of any overlay or entry, then quit.
  for (int i = 0; i < 3 && alive; ++i) {
    viewer.type("\x1b");
    alive = viewer.read(300ms);
  }
  viewer.type("q");
  const std::optional<int> status = viewer.wait_exit(10s);
  const qm::soak::Ending ending{
      .quit_cleanly = status == 0,
      .terminal_restored = viewer.tail().ends_with(std::string(tui::alternate_screen_off) +
                                                   std::string(tui::mouse_capture_off) +
                                                   std::string(tui::show_cursor_sequence))};
  std::filesystem::remove_all(folder);

  std::vector<double> rss;
  std::vector<double> fds;
  std::vector<double> reloads;
  for (const Sample& sample : samples) {
    rss.push_back(static_cast<double>(sample.rss_kib));
    fds.push_back(static_cast<double>(sample.fds));
    if (sample.reload_ms) {
      reloads.push_back(*sample.reload_ms);
    }
  }
  std::printf("soak: %zu renames in %.1f min, samples in %s\n", renames, options->minutes,
              options->csv.c_str());
  std::printf("%-10s %10s %10s %10s\n", "", "min", "median", "max");
  for (const auto& [name, values] :
       {std::pair{"rss KiB", rss}, std::pair{"fds", fds}, std::pair{"reload ms", reloads}}) {
    const qm::soak::Spread spread = qm::soak::spread_of(values);
    std::printf("%-10s %10.0f %10.0f %10.0f\n", name, spread.min, spread.median, spread.max);
  }
  const std::vector<std::string> failures = qm::soak::soak_failures(samples, ending);
  for (const std::string& failure : failures) {
    std::printf("FAIL: %s\n", failure.c_str());
  }
  std::printf("soak: %s\n", failures.empty() ? "passed" : "failed");
  return failures.empty() ? 0 : 1;
}
