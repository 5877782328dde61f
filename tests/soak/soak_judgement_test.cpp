#include "soak_judgement.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::soak {
namespace {

using ::testing::HasSubstr;

struct JudgementCase {
  std::string name;
  std::vector<Sample> samples;
  Ending ending;
  // Empty: the run passes; otherwise each failure holds the matching text, in order.
  std::vector<std::string> failures;
};

const Ending clean{.quit_cleanly = true, .terminal_restored = true};

// A steady run of three minutes, one rename a second, with `change` applied to each sample.
template <class Change>
std::vector<Sample> run(Change change) {
  std::vector<Sample> samples;
  for (int second = 1; second < 180; ++second) {
    Sample sample{static_cast<double>(second), 100'000 + (second % 7) * 1'000, 9, 250.0};
    change(sample);
    samples.push_back(sample);
  }
  return samples;
}

std::vector<JudgementCase> cases() {
  return {
      {"Steady", run([](Sample&) {}), clean, {}},
      {"SpikeInWarmupIsTheReference",
       run([](Sample& s) { s.rss_kib = s.elapsed_s == 30 ? 120'000 : s.rss_kib + 15'000; }),
       clean,
       {}},
      {"GrowthOfTenPercentPasses",
       run([](Sample& s) { s.rss_kib = s.elapsed_s < 60 ? 100'000 : 110'000; }),
       clean,
       {}},
      {"SlowLeakFailsInTheLastMinute",
       run([](Sample& s) { s.rss_kib = 100'000 + static_cast<long>(s.elapsed_s) * 200; }),
       clean,
       {"minute 3"}},
      {"OneLateOutlierIsNotGrowth",
       run([](Sample& s) { s.rss_kib = s.elapsed_s == 150 ? 500'000 : 100'000; }),
       clean,
       {}},
      {"DescriptorAboveWarmup",
       run([](Sample& s) { s.fds = s.elapsed_s == 170 ? 10 : 9; }),
       clean,
       {"descriptors leaked: 10 open at 170.0 s against 9"}},
      {"DescriptorBackToWarmupLevel",
       run([](Sample& s) { s.fds = s.elapsed_s == 20 ? 10 : 9; }),
       clean,
       {}},
      {"MissedReloads",
       run([](Sample& s) {
         if (s.elapsed_s == 12 || s.elapsed_s == 100) {
           s.reload_ms.reset();
         }
       }),
       clean,
       {"2 reload(s) missed, the first of the rename at 12.0 s"}},
      {"NotRestored",
       run([](Sample&) {}),
       Ending{.quit_cleanly = true, .terminal_restored = false},
       {"restore sequences"}},
      {"DidNotQuit",
       run([](Sample&) {}),
       Ending{.quit_cleanly = false, .terminal_restored = true},
       {"quit cleanly"}},
      {"TooShort",
       {Sample{1, 1, 1, 1.0}, Sample{59, 1, 1, 1.0}},
       clean,
       {"after the first minute"}},
  };
}

TEST(SoakJudgement, Table) {
  for (const JudgementCase& test : cases()) {
    SCOPED_TRACE(test.name);
    const std::vector<std::string> failures = soak_failures(test.samples, test.ending);
    ASSERT_EQ(failures.size(), test.failures.size()) << ::testing::PrintToString(failures);
    for (std::size_t i = 0; i < failures.size(); ++i) {
      EXPECT_THAT(failures[i], HasSubstr(test.failures[i]));
    }
  }
}

TEST(SoakJudgement, SpreadOfValues) {
  const Spread even = spread_of({4, 1, 3, 2});
  EXPECT_EQ(even.min, 1);
  EXPECT_EQ(even.median, 2.5);
  EXPECT_EQ(even.max, 4);
  EXPECT_EQ(spread_of({}).max, 0);
}

}  // namespace
}  // namespace qm::soak
