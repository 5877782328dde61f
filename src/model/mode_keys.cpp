#include "model/mode_keys.hpp"

#include <array>

namespace qm {

namespace {

using E = EntryCommand;
using Log = LogCommand;
using Pal = PaletteCommand;
using Ast = AssistantCommand;

constexpr std::array reader_table = {
    ModeKey<ReaderCommand>{"↑", ReaderCommand::line_up, "", "", 0, "scrolls up a line"},
    ModeKey<ReaderCommand>{"k", ReaderCommand::line_up},
    ModeKey<ReaderCommand>{"↓", ReaderCommand::line_down, "", "", 0, "scrolls down a line"},
    ModeKey<ReaderCommand>{"j", ReaderCommand::line_down},
    ModeKey<ReaderCommand>{"PgUp", ReaderCommand::page_up, "", "", 0, "scrolls up a page"},
    ModeKey<ReaderCommand>{"PgDn", ReaderCommand::page_down, "", "", 0, "scrolls down a page"},
    ModeKey<ReaderCommand>{"Any", ReaderCommand::close, "", "", 0, "closes"},
};

constexpr std::array filter_entry_table = {
    ModeKey<E>{"Char", E::type, "", "", 0, "narrows the list"},
    ModeKey<E>{"Bksp", E::erase, "", "", 0, "erases a character"},
    ModeKey<E>{"Enter", E::submit, "", "", 0, "keeps the filter"},
    ModeKey<E>{"Esc", E::cancel, "", "", 0, "clears the filter"},
};

// In the order of the legend; keys that share an entry follow the one that shows it.
constexpr std::array log_table = {
    ModeKey<Log>{"/", Log::search, "/", "search", 0, "searches the retained log"},
    ModeKey<Log>{"e", Log::severity_error, "e/w/a", "severity", 0, "shows errors"},
    ModeKey<Log>{"w", Log::severity_warning, "", "", 0, "shows warnings"},
    ModeKey<Log>{"a", Log::severity_all, "", "", 0, "shows every severity"},
    ModeKey<Log>{"c", Log::toggle_context, "c", "context", 0,
                 "toggles context lines around matches"},
    ModeKey<Log>{"f", Log::full_log, "f", "full", 0,
                 "shows the full log, every severity, no search"},
    ModeKey<Log>{"r", Log::refresh, "r", "refresh", 0, "reads the page again"},
    ModeKey<Log>{"PgUp", Log::previous_page, "PgUp/PgDn", "page", 0, "previous page"},
    ModeKey<Log>{"PgDn", Log::next_page, "", "", 0, "next page"},
    ModeKey<Log>{"↑", Log::previous_page},
    ModeKey<Log>{"↓", Log::next_page},
    ModeKey<Log>{"j", Log::scroll_down, "j/k", "scroll", 0, "scrolls down a line"},
    ModeKey<Log>{"k", Log::scroll_up, "", "", 0, "scrolls up a line"},
    ModeKey<Log>{"←", Log::pan_left, "←/→", "pan", 0, "pans left"},
    ModeKey<Log>{"→", Log::pan_right, "", "", 0, "pans right"},
    ModeKey<Log>{"Esc", Log::close, "Esc", "close", 0, "closes the launch log"},
    ModeKey<Log>{"L", Log::close},
    // Not in the legend.
    ModeKey<Log>{"End", Log::last_page, {}, {}, 0, "shows the newest lines"},
    ModeKey<Log>{"G", Log::last_page},
    ModeKey<Log>{"Home", Log::first_page, {}, {}, 0, "shows the first lines"},
    ModeKey<Log>{"g", Log::first_page},
    ModeKey<Log>{"W", Log::toggle_wrap, {}, {}, 0, "wraps long lines or pans them"},
    ModeKey<Log>{"y", Log::copy_line, "", "", 0, "copies the line at the top of the page"},
};

constexpr std::array log_search_table = {
    ModeKey<E>{"Char", E::type, "", "", 0, "types the search"},
    ModeKey<E>{"Bksp", E::erase, "", "", 0, "erases a character"},
    ModeKey<E>{"Enter", E::submit, "", "", 0, "applies the search"},
    ModeKey<E>{"Esc", E::cancel, "", "", 0, "stops typing; the applied search stays"},
};

constexpr std::array palette_table = {
    ModeKey<Pal>{"↑", Pal::up, "↑/↓", "choose", 0, "chooses the entry above"},
    ModeKey<Pal>{"↓", Pal::down, "", "", 0, "chooses the entry below"},
    ModeKey<Pal>{"Enter", Pal::run, "Enter", "runs", 0, "runs the chosen entry"},
    ModeKey<Pal>{"Esc", Pal::close, "Esc", "closes", 0, "closes the palette"},
    ModeKey<Pal>{"Char", Pal::type, "", "", 0, "narrows the entries"},
    ModeKey<Pal>{"Bksp", Pal::erase, "", "", 0, "erases a character"},
};

constexpr std::array form_table = {
    ModeKey<E>{"Enter", E::submit, "Enter", "continues / saves", 0,
               "answers; the last answer saves"},
    ModeKey<E>{"Esc", E::cancel, "Esc", "cancels", 0, "cancels the form"},
    ModeKey<E>{"Char", E::type, "", "", 0, "types the answer"},
    ModeKey<E>{"Bksp", E::erase, "", "", 0, "erases a character"},
};

// In the order of the legend, one legend line per `line`.
constexpr std::array assistant_table = {
    ModeKey<Ast>{"C", Ast::connect, "C", "connect AI with masked setup", 0,
                 "ends the viewer to connect AI with masked setup"},
    ModeKey<Ast>{"m", Ast::toggle_enabled, "m", "enable/disable", 0, "enables or disables AI"},
    ModeKey<Ast>{"l", Ast::login, "l", "managed login separately", 0},
    ModeKey<Ast>{"S", Ast::setup_subscription, "S", "sets up ChatGPT subscription", 1},
    ModeKey<Ast>{"s", Ast::attach_selection, "s", "attach selection", 1,
                 "attaches the selected evidence"},
    ModeKey<Ast>{"i", Ast::compose, "i", "prompt", 1, "edits the prompt"},
    ModeKey<Ast>{"y", Ast::approve, "y", "approve once", 2},
    ModeKey<Ast>{"n", Ast::deny, "n", "deny", 2},
    ModeKey<Ast>{"c", Ast::cancel, "c", "cancel", 2, "cancels the assistant request"},
    ModeKey<Ast>{"p", Ast::next_connection, "p", "connection", 2,
                 "chooses the next named connection"},
    ModeKey<Ast>{"d", Ast::models, "d", "models", 2, "requests model discovery"},
    ModeKey<Ast>{"t", Ast::probe, "t", "tool probe", 3},
    ModeKey<Ast>{"u", Ast::account, "u", "account (provider actions require review)", 3},
    ModeKey<Ast>{"w", Ast::acquire_worker, "w", "request isolated worker", 4},
    ModeKey<Ast>{"K", Ast::checkpoint, "K", "checkpoint", 4},
    ModeKey<Ast>{"r", Ast::resume, "r", "validate resume (fresh consent required)", 4},
    ModeKey<Ast>{"e", Ast::raw_evidence, "e", "raw evidence", 5,
                 "closes the panel and shows raw evidence"},
    ModeKey<Ast>{"v", Ast::raw_state, "v", "raw state", 5},
    ModeKey<Ast>{"PgUp", Ast::scroll_up, "PgUp/PgDn", "scroll", 5, "scrolls up"},
    ModeKey<Ast>{"PgDn", Ast::scroll_down, "", "", 0, "scrolls down"},
    ModeKey<Ast>{"↑", Ast::scroll_up},
    ModeKey<Ast>{"k", Ast::scroll_up},
    ModeKey<Ast>{"↓", Ast::scroll_down},
    ModeKey<Ast>{"j", Ast::scroll_down},
    ModeKey<Ast>{"Home", Ast::scroll_top, "", "", 0, "scrolls to the top"},
    ModeKey<Ast>{"Esc", Ast::close, "Esc / A", "close", 5, "closes the panel"},
    ModeKey<Ast>{"A", Ast::close},
    ModeKey<Ast>{"q", Ast::close},
};

constexpr std::array prompt_table = {
    ModeKey<E>{"Enter", E::submit, "Enter", "prepares disclosure for review"},
    ModeKey<E>{"Esc", E::cancel, "Esc", "finishes editing"},
    ModeKey<E>{"Char", E::type, "", "", 0, "types the prompt"},
    ModeKey<E>{"Bksp", E::erase, "", "", 0, "erases a character"},
};

using Rate = RateHistoryCommand;

constexpr std::array rate_history_table = {
    ModeKey<Rate>{"←", Rate::older, "←/→", "cursor", 0, "moves the cursor to an older sample"},
    ModeKey<Rate>{"→", Rate::newer, {}, {}, 0, "moves the cursor to a newer sample"},
    ModeKey<Rate>{"Esc", Rate::close, "Esc / h", "close", 0, "closes the rate history"},
    ModeKey<Rate>{"h", Rate::close},
};

}  // namespace

std::span<const ModeKey<ReaderCommand>> reader_keys() {
  return reader_table;
}
std::span<const ModeKey<EntryCommand>> filter_entry_keys() {
  return filter_entry_table;
}
std::span<const ModeKey<LogCommand>> log_keys() {
  return log_table;
}
std::span<const ModeKey<EntryCommand>> log_search_keys() {
  return log_search_table;
}
std::span<const ModeKey<PaletteCommand>> palette_keys() {
  return palette_table;
}
std::span<const ModeKey<EntryCommand>> form_keys() {
  return form_table;
}
std::span<const ModeKey<AssistantCommand>> assistant_keys() {
  return assistant_table;
}
std::span<const ModeKey<EntryCommand>> prompt_keys() {
  return prompt_table;
}

std::span<const ModeKey<RateHistoryCommand>> rate_history_keys() {
  return rate_history_table;
}

std::string log_legend() {
  return legend_text(log_keys(), " · ");
}

std::string palette_legend() {
  return legend_text(palette_keys(), " · ");
}

std::string form_legend() {
  return legend_text(form_keys(), " · ");
}

std::string assistant_legend() {
  return legend_text(assistant_keys(), " · ");
}

std::string prompt_legend() {
  return legend_text(prompt_keys(), "; ");
}

std::string rate_history_legend() {
  return legend_text(rate_history_keys(), " · ");
}

}  // namespace qm
