#include "ui/help_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/key_bindings.hpp"
#include "model/key_help.hpp"
#include "model/mode_keys.hpp"
#include "text/text.hpp"

namespace qm {
namespace {

// One group of the generated part as the reader sees it: the heading and, per line, the keys
// before the two-space gap and the words after the padding.
struct ShownLine {
  std::vector<std::string> keys;
  std::string words;

  bool operator==(const ShownLine&) const = default;
};
using ShownGroups = std::map<std::string, std::vector<ShownLine>, std::less<>>;

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  while (true) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) {
      return parts;
    }
    text.remove_prefix(at + separator.size());
  }
}

ShownGroups shown_groups(std::string_view generated) {
  ShownGroups groups;
  for (const std::string_view block : split(generated, "\n\n")) {
    const std::vector<std::string_view> lines = split(block, "\n");
    std::vector<ShownLine>& entries = groups[std::string(lines.front())];
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::string_view line = lines[i];
      EXPECT_TRUE(line.starts_with("  ")) << line;
      line.remove_prefix(2);
      if (line.starts_with(" ") && !entries.empty()) {
        // Words that go on below their column.
        entries.back().words += " " + std::string(line.substr(line.find_first_not_of(' ')));
        continue;
      }
      const std::size_t gap = line.find("  ");
      ShownLine shown;
      for (const std::string_view key : split(line.substr(0, gap), " ")) {
        shown.keys.emplace_back(key);
      }
      const std::size_t words = line.find_first_not_of(' ', gap);
      shown.words = words == std::string_view::npos ? "" : std::string(line.substr(words));
      entries.push_back(shown);
    }
  }
  return groups;
}

// Wide enough that no words go on below.
constexpr uint16_t wide = 1000;

std::string generated_part(View view, uint16_t width = wide) {
  const std::string text = help_text(view, width);
  EXPECT_TRUE(text.starts_with(help_sentences()));
  std::string rest = text.substr(help_sentences().size());
  EXPECT_TRUE(rest.starts_with("\n\n"));
  return rest.substr(2);
}

// The keys a group must show, once each.
std::vector<std::string> bound_keys(std::optional<View> view) {
  std::vector<std::string> keys;
  for (const KeyBinding& binding : key_bindings()) {
    if (binding.view == view && binding.command != Command::none) {
      keys.emplace_back(help_key_name(binding.key));
    }
  }
  return keys;
}

template <class C>
std::vector<std::string> mode_table_keys(std::span<const ModeKey<C>> table) {
  std::vector<std::string> keys;
  for (const ModeKey<C>& binding : table) {
    keys.emplace_back(help_key_name(binding.key));
  }
  return keys;
}

std::string upper(std::string_view name) {
  std::string out(name);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  });
  return out;
}

class HelpOfView : public ::testing::TestWithParam<View> {};

// Every key of the view's own table, of every view and of each mode shows exactly once in its
// group, and every line says what its keys do.
TEST_P(HelpOfView, ListsEveryBoundKeyOnceInItsGroup) {
  const View view = GetParam();
  const ShownGroups groups = shown_groups(generated_part(view));
  const struct {
    std::string heading;
    std::vector<std::string> keys;
  } expected[] = {
      {upper(view_name(view)) + " VIEW", bound_keys(view)},
      {"EVERY VIEW (a key of the view above comes first)", bound_keys(std::nullopt)},
      {"LAUNCH LOG", mode_table_keys(log_keys())},
      {"LOG SEARCH", mode_table_keys(log_search_keys())},
      {"COMMAND PALETTE", mode_table_keys(palette_keys())},
      {"FILTER ENTRY", mode_table_keys(filter_entry_keys())},
      {"EXPERIMENT FORM", mode_table_keys(form_keys())},
      {"ASSISTANT PANEL", mode_table_keys(assistant_keys())},
      {"ASSISTANT PROMPT", mode_table_keys(prompt_keys())},
      {"HELP AND MESSAGE LOG", mode_table_keys(reader_keys())},
  };
  for (const auto& group : expected) {
    const auto found = groups.find(group.heading);
    ASSERT_NE(found, groups.end()) << group.heading;
    std::vector<std::string> shown;
    for (const ShownLine& line : found->second) {
      EXPECT_FALSE(line.words.empty()) << group.heading << ": " << line.keys.front();
      shown.insert(shown.end(), line.keys.begin(), line.keys.end());
    }
    std::vector<std::string> keys = group.keys;
    std::sort(keys.begin(), keys.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, keys) << group.heading;
  }
  // The two legends close the text.
  EXPECT_EQ(groups.size(), std::size(expected) + 2);
}

INSTANTIATE_TEST_SUITE_P(AllViews, HelpOfView, ::testing::ValuesIn(all_views),
                         [](const ::testing::TestParamInfo<View>& param_info) {
                           return std::string(view_name(param_info.param));
                         });

// The prescribed sentences come first, word for word, whatever the view.
TEST(HelpText, OpensWithTheFixedSentences) {
  constexpr std::string_view fixed =
      "WORKSPACE CONTROLS\n"
      "\n"
      "1–9, 0 select view (1 Health)    [ / ] previous / next view · click a view in the rail\n"
      ": command palette: views, problems, topics, nodes, frames and actions\n"
      "Health: Enter or g goes to the problem's topic or frame; y copies its check command\n"
      "Below 100 columns one pane shows at a time: Tab switches, Esc returns to the list\n"
      "↑ / ↓ or j / k select row; Tab switches navigator/inspector\n"
      "/ search name or typed ID; Enter applies; Esc clears filter\n"
      "Tab, ↑/↓ choose connection; Enter follows; Backspace returns\n"
      "PgUp / PgDn scroll details; Home / End select first / last\n"
      "Graph: ← / → pan long connections\n"
      "b switches baseline/current; Results: s cycles status filter; g runs check; c cancels\n"
      "Topics: i inspects messages; t queries message-time TF\n"
      "Nodes: d compares declared/live parameters\n"
      "Project: r refreshes source; u refreshes task\n"
      "v toggles raw data; e exports selected entity evidence\n"
      "m lists the recent status messages in full, newest first\n"
      "r requests capture refresh; L opens the owned launch log\n"
      "Playback: p starts the configured recording; Space pauses/resumes; x stops\n"
      "q quits UI; it stops a launch started by this invocation, but not a detached owned player\n"
      "\n"
      "Saved sessions remain point-in-time evidence. Live refresh is\n"
      "backend-driven; the terminal does not subscribe to all payloads.\n"
      "\n"
      "Any key closes help.";
  for (const View view : all_views) {
    for (const uint16_t width : {uint16_t{30}, uint16_t{58}, wide}) {
      EXPECT_TRUE(help_text(view, width).starts_with(fixed)) << view_name(view);
    }
  }
}

// Keys of one command in one table share a line; a key that does nothing is not listed.
TEST(HelpText, JoinsTheKeysOfOneCommand) {
  const struct {
    View view;
    std::string_view heading;
    std::vector<std::string> keys;
    bool listed;
  } cases[] = {
      {View::health, "HEALTH VIEW", {"Enter", "g"}, true},
      {View::topics, "EVERY VIEW (a key of the view above comes first)", {"↑", "k"}, true},
      {View::topics, "EVERY VIEW (a key of the view above comes first)", {"BackTab", "["}, true},
      {View::topics, "LAUNCH LOG", {"PgDn", "↓"}, true},
      {View::topics, "ASSISTANT PANEL", {"Esc", "A", "q"}, true},
      {View::topics, "FILTER ENTRY", {"typing"}, true},
      {View::topics, "HELP AND MESSAGE LOG", {"other"}, true},
      {View::changes, "CHANGES VIEW", {"Enter"}, false},
  };
  for (const auto& c : cases) {
    const ShownGroups groups = shown_groups(generated_part(c.view));
    const auto group = groups.find(c.heading);
    ASSERT_NE(group, groups.end()) << c.heading;
    const bool listed = std::any_of(group->second.begin(), group->second.end(),
                                    [&](const ShownLine& line) { return line.keys == c.keys; });
    EXPECT_EQ(listed, c.listed) << c.heading << ": " << c.keys.front();
  }
}

// In a narrower panel long words go on below their own column, none lost and no key line past
// the width; too narrow for a useful column, the panel's own wrapping takes over.
TEST(HelpText, LongWordsContinueUnderTheirColumn) {
  const struct {
    uint16_t width;
    bool fits;
  } cases[] = {{58, true}, {44, true}, {24, false}};
  for (const View view : all_views) {
    const ShownGroups wide_groups = shown_groups(generated_part(view));
    for (const auto& c : cases) {
      const std::string generated = generated_part(view, c.width);
      EXPECT_EQ(shown_groups(generated), wide_groups) << view_name(view) << " at " << c.width;
      std::size_t longest = 0;
      for (const std::string_view line : split(generated, "\n")) {
        // Headings are left to the panel.
        if (line.starts_with("  ")) {
          longest = std::max(longest, display_width(line));
        }
      }
      EXPECT_EQ(longest <= c.width, c.fits) << view_name(view) << " at " << c.width;
    }
  }
}

// The legends name each row marker and each form of the text beside a topic.
TEST(HelpText, ExplainsMarkersAndRates) {
  const ShownGroups groups = shown_groups(generated_part(View::topics));
  const struct {
    std::string_view heading;
    std::vector<std::string_view> shown;
  } cases[] = {
      {"ROW MARKERS", {"●", "○", "✕", "▲", "?", "·"}},
      {"RATES BESIDE TOPICS", {"12.5 Hz", "3 in 1 s", "limited", "15→15"}},
  };
  for (const auto& c : cases) {
    const auto group = groups.find(c.heading);
    ASSERT_NE(group, groups.end()) << c.heading;
    for (const std::string_view shown : c.shown) {
      const bool found =
          std::any_of(group->second.begin(), group->second.end(), [&](const ShownLine& line) {
            std::string joined;
            for (const std::string& part : line.keys) {
              joined += joined.empty() ? part : " " + part;
            }
            return joined == shown && !line.words.empty();
          });
      EXPECT_TRUE(found) << c.heading << ": " << shown;
    }
  }
}

}  // namespace
}  // namespace qm
