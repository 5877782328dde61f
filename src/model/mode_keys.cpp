#include "model/mode_keys.hpp"

#include <array>

namespace qm {

namespace {

using E = EntryCommand;
using Log = LogCommand;
using Pal = PaletteCommand;
using Ast = AssistantCommand;

constexpr std::array reader_table = {
    ModeKey<ReaderCommand>{"↑", ReaderCommand::line_up},
    ModeKey<ReaderCommand>{"k", ReaderCommand::line_up},
    ModeKey<ReaderCommand>{"↓", ReaderCommand::line_down},
    ModeKey<ReaderCommand>{"j", ReaderCommand::line_down},
    ModeKey<ReaderCommand>{"PgUp", ReaderCommand::page_up},
    ModeKey<ReaderCommand>{"PgDn", ReaderCommand::page_down},
    ModeKey<ReaderCommand>{"Any", ReaderCommand::close},
};

constexpr std::array filter_entry_table = {
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
    ModeKey<E>{"Enter", E::submit},
    ModeKey<E>{"Esc", E::cancel},
};

// In the order of the legend; keys that share an entry follow the one that shows it.
constexpr std::array log_table = {
    ModeKey<Log>{"/", Log::search, "/", "search"},
    ModeKey<Log>{"e", Log::severity_error, "e/w/a", "severity"},
    ModeKey<Log>{"w", Log::severity_warning},
    ModeKey<Log>{"a", Log::severity_all},
    ModeKey<Log>{"c", Log::toggle_context, "c", "context"},
    ModeKey<Log>{"f", Log::full_log, "f", "full"},
    ModeKey<Log>{"r", Log::refresh, "r", "refresh"},
    ModeKey<Log>{"PgUp", Log::previous_page, "PgUp/PgDn", "page"},
    ModeKey<Log>{"PgDn", Log::next_page},
    ModeKey<Log>{"↑", Log::previous_page},
    ModeKey<Log>{"↓", Log::next_page},
    ModeKey<Log>{"j", Log::scroll_down, "j/k", "scroll"},
    ModeKey<Log>{"k", Log::scroll_up},
    ModeKey<Log>{"←", Log::pan_left, "←/→", "pan"},
    ModeKey<Log>{"→", Log::pan_right},
    ModeKey<Log>{"Esc", Log::close, "Esc", "close"},
    ModeKey<Log>{"L", Log::close},
};

constexpr std::array log_search_table = {
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
    ModeKey<E>{"Enter", E::submit},
    ModeKey<E>{"Esc", E::cancel},
};

constexpr std::array palette_table = {
    ModeKey<Pal>{"↑", Pal::up, "↑/↓", "choose"},
    ModeKey<Pal>{"↓", Pal::down},
    ModeKey<Pal>{"Enter", Pal::run, "Enter", "runs"},
    ModeKey<Pal>{"Esc", Pal::close, "Esc", "closes"},
    ModeKey<Pal>{"Char", Pal::type},
    ModeKey<Pal>{"Bksp", Pal::erase},
};

constexpr std::array form_table = {
    ModeKey<E>{"Enter", E::submit, "Enter", "continues / saves"},
    ModeKey<E>{"Esc", E::cancel, "Esc", "cancels"},
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
};

// In the order of the legend, one legend line per `line`.
constexpr std::array assistant_table = {
    ModeKey<Ast>{"C", Ast::connect, "C", "connect AI with masked setup", 0},
    ModeKey<Ast>{"m", Ast::toggle_enabled, "m", "enable/disable", 0},
    ModeKey<Ast>{"l", Ast::login, "l", "managed login separately", 0},
    ModeKey<Ast>{"S", Ast::setup_subscription, "S", "sets up ChatGPT subscription", 1},
    ModeKey<Ast>{"s", Ast::attach_selection, "s", "attach selection", 1},
    ModeKey<Ast>{"i", Ast::compose, "i", "prompt", 1},
    ModeKey<Ast>{"y", Ast::approve, "y", "approve once", 2},
    ModeKey<Ast>{"n", Ast::deny, "n", "deny", 2},
    ModeKey<Ast>{"c", Ast::cancel, "c", "cancel", 2},
    ModeKey<Ast>{"p", Ast::next_connection, "p", "connection", 2},
    ModeKey<Ast>{"d", Ast::models, "d", "models", 2},
    ModeKey<Ast>{"t", Ast::probe, "t", "tool probe", 3},
    ModeKey<Ast>{"u", Ast::account, "u", "account (provider actions require review)", 3},
    ModeKey<Ast>{"w", Ast::acquire_worker, "w", "request isolated worker", 4},
    ModeKey<Ast>{"K", Ast::checkpoint, "K", "checkpoint", 4},
    ModeKey<Ast>{"r", Ast::resume, "r", "validate resume (fresh consent required)", 4},
    ModeKey<Ast>{"e", Ast::raw_evidence, "e", "raw evidence", 5},
    ModeKey<Ast>{"v", Ast::raw_state, "v", "raw state", 5},
    ModeKey<Ast>{"PgUp", Ast::scroll_up, "PgUp/PgDn", "scroll", 5},
    ModeKey<Ast>{"PgDn", Ast::scroll_down},
    ModeKey<Ast>{"↑", Ast::scroll_up},
    ModeKey<Ast>{"k", Ast::scroll_up},
    ModeKey<Ast>{"↓", Ast::scroll_down},
    ModeKey<Ast>{"j", Ast::scroll_down},
    ModeKey<Ast>{"Home", Ast::scroll_top},
    ModeKey<Ast>{"Esc", Ast::close, "Esc / A", "close", 5},
    ModeKey<Ast>{"A", Ast::close},
    ModeKey<Ast>{"q", Ast::close},
};

constexpr std::array prompt_table = {
    ModeKey<E>{"Enter", E::submit, "Enter", "prepares disclosure for review"},
    ModeKey<E>{"Esc", E::cancel, "Esc", "finishes editing"},
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
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
