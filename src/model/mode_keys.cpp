#include "model/mode_keys.hpp"

#include <array>

namespace qm {

namespace {

using E = EntryCommand;
using Log = LogCommand;
using P = PaletteCommand;
using A = AssistantCommand;

constexpr std::array help = {ModeKey<HelpCommand>{"Any", HelpCommand::close}};

constexpr std::array filter_entry = {
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
    ModeKey<E>{"Enter", E::submit},
    ModeKey<E>{"Esc", E::cancel},
};

// In the order of the legend; keys that share an entry follow the one that shows it.
constexpr std::array log = {
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

constexpr std::array log_search = {
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
    ModeKey<E>{"Enter", E::submit},
    ModeKey<E>{"Esc", E::cancel},
};

constexpr std::array palette = {
    ModeKey<P>{"↑", P::up, "↑/↓", "choose"},
    ModeKey<P>{"↓", P::down},
    ModeKey<P>{"Enter", P::run, "Enter", "runs"},
    ModeKey<P>{"Esc", P::close, "Esc", "closes"},
    ModeKey<P>{"Char", P::type},
    ModeKey<P>{"Bksp", P::erase},
};

constexpr std::array form = {
    ModeKey<E>{"Enter", E::submit, "Enter", "continues / saves"},
    ModeKey<E>{"Esc", E::cancel, "Esc", "cancels"},
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
};

// In the order of the legend, one legend line per `line`.
constexpr std::array assistant = {
    ModeKey<A>{"C", A::connect, "C", "connect AI with masked setup", 0},
    ModeKey<A>{"m", A::toggle_enabled, "m", "enable/disable", 0},
    ModeKey<A>{"l", A::login, "l", "managed login separately", 0},
    ModeKey<A>{"S", A::setup_subscription, "S", "sets up ChatGPT subscription", 1},
    ModeKey<A>{"s", A::attach_selection, "s", "attach selection", 1},
    ModeKey<A>{"i", A::compose, "i", "prompt", 1},
    ModeKey<A>{"y", A::approve, "y", "approve once", 2},
    ModeKey<A>{"n", A::deny, "n", "deny", 2},
    ModeKey<A>{"c", A::cancel, "c", "cancel", 2},
    ModeKey<A>{"p", A::next_connection, "p", "connection", 2},
    ModeKey<A>{"d", A::models, "d", "models", 2},
    ModeKey<A>{"t", A::probe, "t", "tool probe", 3},
    ModeKey<A>{"u", A::account, "u", "account (provider actions require review)", 3},
    ModeKey<A>{"w", A::acquire_worker, "w", "request isolated worker", 4},
    ModeKey<A>{"K", A::checkpoint, "K", "checkpoint", 4},
    ModeKey<A>{"r", A::resume, "r", "validate resume (fresh consent required)", 4},
    ModeKey<A>{"e", A::raw_evidence, "e", "raw evidence", 5},
    ModeKey<A>{"v", A::raw_state, "v", "raw state", 5},
    ModeKey<A>{"PgUp", A::scroll_up, "PgUp/PgDn", "scroll", 5},
    ModeKey<A>{"PgDn", A::scroll_down},
    ModeKey<A>{"↑", A::scroll_up},
    ModeKey<A>{"k", A::scroll_up},
    ModeKey<A>{"↓", A::scroll_down},
    ModeKey<A>{"j", A::scroll_down},
    ModeKey<A>{"Home", A::scroll_top},
    ModeKey<A>{"Esc", A::close, "Esc / A", "close", 5},
    ModeKey<A>{"A", A::close},
    ModeKey<A>{"q", A::close},
};

constexpr std::array prompt = {
    ModeKey<E>{"Enter", E::submit, "Enter", "prepares disclosure for review"},
    ModeKey<E>{"Esc", E::cancel, "Esc", "finishes editing"},
    ModeKey<E>{"Char", E::type},
    ModeKey<E>{"Bksp", E::erase},
};

}  // namespace

std::span<const ModeKey<HelpCommand>> help_keys() {
  return help;
}
std::span<const ModeKey<EntryCommand>> filter_entry_keys() {
  return filter_entry;
}
std::span<const ModeKey<LogCommand>> log_keys() {
  return log;
}
std::span<const ModeKey<EntryCommand>> log_search_keys() {
  return log_search;
}
std::span<const ModeKey<PaletteCommand>> palette_keys() {
  return palette;
}
std::span<const ModeKey<EntryCommand>> form_keys() {
  return form;
}
std::span<const ModeKey<AssistantCommand>> assistant_keys() {
  return assistant;
}
std::span<const ModeKey<EntryCommand>> prompt_keys() {
  return prompt;
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

}  // namespace qm
