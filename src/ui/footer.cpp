#include "ui/footer.hpp"

#include <string>

#include "text/text.hpp"
#include "ui/palette.hpp"

namespace qm {

namespace {

constexpr std::string_view rule = "│ ";
constexpr std::size_t rule_width = 2;

}  // namespace

tui::Line footer_line(View view, uint16_t width) {
  std::vector<KeyBinding> hints = footer_bindings(view);
  const std::size_t first_global = hints.size();
  const std::vector<KeyBinding> global = global_footer_bindings();
  hints.insert(hints.end(), global.begin(), global.end());

  tui::Line line;
  line.push(" ");
  std::size_t used = 1;
  for (std::size_t i = 0; i < hints.size(); ++i) {
    // The rule before the global hints counts as part of the first of them.
    const std::size_t lead = i == first_global && first_global > 0 ? rule_width : 0;
    const std::size_t hint_width =
        display_width(hints[i].key) + display_width(hints[i].footer_label);
    if (hint_width + used + lead + 4 > width) {
      break;
    }
    if (lead > 0) {
      line.push(std::string(rule), tui::fg(palette::rule));
    }
    line.push(" " + std::string(hints[i].key) + " ",
              tui::fg(palette::text_bright).with_bg(palette::bg_key).bold());
    line.push(std::string(hints[i].footer_label) + " ", tui::fg(palette::text_muted));
    used += lead + hint_width + 4;
  }
  return line;
}

}  // namespace qm
