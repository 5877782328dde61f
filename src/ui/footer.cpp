#include "ui/footer.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "text/text.hpp"
#include "ui/importance_fit.hpp"
#include "ui/palette.hpp"

namespace qm {

namespace {

constexpr std::string_view rule = "│ ";
constexpr std::size_t rule_width = 2;
// The leading space.
constexpr std::size_t footer_start = 1;
// The spaces around the key and after the label.
constexpr std::size_t hint_frame = 4;

// Which hints a narrow footer keeps longest: how to learn every key and how to leave, then the
// view's own hints, then the other global hints.
constexpr std::array kept_longest = {Command::help, Command::quit};
enum Rank : std::size_t { essential, view_hint, global_hint };

std::size_t rank_of(const KeyBinding& hint) {
  if (std::ranges::find(kept_longest, hint.command) != kept_longest.end()) {
    return essential;
  }
  return hint.view ? view_hint : global_hint;
}

std::size_t hint_width(const KeyBinding& hint) {
  return display_width(hint.key) + display_width(hint.footer_label) + hint_frame;
}

// The footer's width with the `kept` hints: the rule stands between the view's hints and the
// global ones only when both are shown.
std::size_t footer_width(const std::vector<KeyBinding>& hints, std::size_t first_global,
                         const std::vector<bool>& kept) {
  std::size_t width = footer_start;
  bool view_shown = false;
  bool global_shown = false;
  for (std::size_t i = 0; i < hints.size(); ++i) {
    if (kept[i]) {
      width += hint_width(hints[i]);
      (i < first_global ? view_shown : global_shown) = true;
    }
  }
  return width + (view_shown && global_shown ? rule_width : 0);
}

}  // namespace

tui::Line footer_line(View view, uint16_t width) {
  std::vector<KeyBinding> hints = footer_bindings(view);
  const std::size_t first_global = hints.size();
  const std::vector<KeyBinding> global = global_footer_bindings();
  hints.insert(hints.end(), global.begin(), global.end());

  std::vector<std::size_t> ranks;
  for (const KeyBinding& hint : hints) {
    ranks.push_back(rank_of(hint));
  }
  const std::vector<bool> kept =
      keep_most_important(ranks, [&](const std::vector<bool>& candidate) {
        return footer_width(hints, first_global, candidate) <= width;
      });

  tui::Line line;
  line.push(" ");
  // Set once a view hint is shown, until the rule after it is drawn.
  bool rule_due = false;
  for (std::size_t i = 0; i < hints.size(); ++i) {
    if (!kept[i]) {
      continue;
    }
    if (i < first_global) {
      rule_due = true;
    } else if (rule_due) {
      line.push(std::string(rule), tui::fg(palette::rule));
      rule_due = false;
    }
    line.push(" " + std::string(hints[i].key) + " ",
              tui::fg(palette::text_bright).with_bg(palette::bg_key).bold());
    line.push(std::string(hints[i].footer_label) + " ", tui::fg(palette::text_muted));
  }
  return line;
}

}  // namespace qm
