#include "ui/footer.hpp"

#include <array>
#include <string>

#include "text/text.hpp"
#include "ui/text/palette.hpp"

namespace qm {

namespace {

constexpr std::array<KeyHint, 5> global_hints = {
    KeyHint{":", "command"}, KeyHint{"/", "filter"}, KeyHint{"Tab", "pane"},
    KeyHint{"?", "keys"},    KeyHint{"q", "quit"},
};

constexpr std::string_view rule = "│ ";
constexpr std::size_t rule_width = 2;

}  // namespace

std::vector<KeyHint> view_hints(View view) {
  switch (view) {
    case View::health:
      return {{"Enter", "go to"}, {"y", "copy check"}, {"L", "launch log"}, {"r", "refresh"}};
    case View::graph:
      return {{"Enter", "follow"}, {"Bksp", "back"}, {"←/→", "pan"}, {"e", "export"}};
    case View::topics:
      return {{"Enter", "follow"}, {"i", "inspect"}, {"t", "message TF"}, {"e", "export"}};
    case View::nodes:
      return {{"Enter", "follow"}, {"d", "param diff"}, {"e", "export"}};
    case View::tf:
      return {{"e", "export"}, {"b", "baseline"}};
    case View::changes:
      return {{"b", "baseline"}, {"e", "export"}};
    case View::results:
      return {{"s", "status"}, {"g", "run check"}, {"c", "cancel"}, {"a", "attach"}};
    case View::playback:
      return {{"p", "play"}, {"Space", "pause"}, {"←/→", "seek"}, {"x", "stop"}};
    case View::capture:
      return {{"e", "export"}, {"v", "raw"}};
    case View::project:
      return {{"n", "plan"}, {"f", "conclude"}, {"g", "run"}, {"u", "task"}};
  }
  return {};
}

tui::Line footer_line(View view, uint16_t width) {
  std::vector<KeyHint> hints = view_hints(view);
  const std::size_t first_global = hints.size();
  hints.insert(hints.end(), global_hints.begin(), global_hints.end());

  tui::Line line;
  line.push(" ");
  std::size_t used = 1;
  for (std::size_t i = 0; i < hints.size(); ++i) {
    // The rule before the global hints counts as part of the first of them.
    const std::size_t lead = i == first_global && first_global > 0 ? rule_width : 0;
    const std::size_t hint_width = display_width(hints[i].key) + display_width(hints[i].label);
    if (hint_width + used + lead + 4 > width) {
      break;
    }
    if (lead > 0) {
      line.push(std::string(rule), tui::fg(palette::rule));
    }
    line.push(" " + std::string(hints[i].key) + " ",
              tui::fg(palette::text_bright).with_bg(palette::bg_key).bold());
    line.push(std::string(hints[i].label) + " ", tui::fg(palette::text_muted));
    used += lead + hint_width + 4;
  }
  return line;
}

}  // namespace qm
