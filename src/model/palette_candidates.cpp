#include "model/palette_candidates.hpp"

#include <algorithm>
#include <optional>
#include <tuple>

#include "model/key_bindings.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"

namespace qm {

namespace {

// Where a candidate comes from, in the order candidates are gathered.
enum class Source : unsigned char { view, action, problem, entity, frame };

// A candidate that matched, before it is made: enough to rank it and to find it again.
struct Match {
  int tier = 0;
  std::size_t length = 0;
  Source source = Source::view;
  // The position among the candidates of its source; for entities the entity's address, which
  // follows the document's order of entities across the node and topic lists.
  std::uintptr_t order = 0;
  const Row* row = nullptr;
};

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view spaces = " \t\n\r\f\v";
  const std::size_t begin = text.find_first_not_of(spaces);
  if (begin == std::string_view::npos) {
    return {};
  }
  return text.substr(begin, text.find_last_not_of(spaces) - begin + 1);
}

// 0: the label begins with the query; 1: its last path segment does; 2: it contains it.
std::optional<int> tier_of(std::string_view lowered_label, std::string_view query) {
  if (lowered_label.starts_with(query)) {
    return 0;
  }
  const std::size_t slash = lowered_label.rfind('/');
  if (slash != std::string_view::npos && lowered_label.substr(slash + 1).starts_with(query)) {
    return 1;
  }
  if (lowered_label.find(query) != std::string_view::npos) {
    return 2;
  }
  return std::nullopt;
}

// The rows of `list` whose lower-cased label contains `query` (a match in the id alone does not
// count; each row's label comes before its id in the search text).
void match_rows(const RowList& list, std::string_view query, Source source,
                std::vector<Match>& out) {
  const std::string_view text = list.search_text;
  list.for_each_match(query, [&](std::size_t index, std::size_t offset) {
    const std::size_t start = list.search_start(index);
    const std::string_view label = text.substr(start, text.find('\n', start) - start);
    if (offset >= start + label.size()) {
      return;
    }
    const Row& row = list.rows[index];
    const auto order = source == Source::entity ? reinterpret_cast<std::uintptr_t>(row.value)
                                                : static_cast<std::uintptr_t>(index);
    out.push_back({*tier_of(label, query), row.label.size(), source, order, &row});
  });
}

PaletteCandidate candidate_of(const Match& match, const std::vector<KeyBinding>& commands) {
  switch (match.source) {
    case Source::view: {
      const View view = all_views[match.order];
      return {std::string(view_name(view)) + " view", std::string(1, view_key(view)), "view", view};
    }
    case Source::action: {
      const KeyBinding& command = commands[match.order];
      return {std::string(command.palette_label), std::string(command.key), "action",
              static_cast<char32_t>(command.key.front())};
    }
    case Source::problem:
      return {std::string(match.row->label), {}, "problem", std::string(match.row->id)};
    case Source::entity: {
      const bool node = kind_of(match.row->id) == RowKind::node;
      return {
          std::string(match.row->label), {}, node ? "node" : "topic", std::string(match.row->id)};
    }
    case Source::frame: {
      std::string_view id = match.row->id;
      return {std::string(name_of(id)), {}, "frame", std::string(id)};
    }
  }
  return {};
}

}  // namespace

std::vector<PaletteCandidate> palette_matches(const AppState& state, std::string_view query) {
  const std::string q = lowercase_full(trimmed(query));
  const std::vector<KeyBinding> commands = palette_bindings();
  std::vector<Match> matches;
  const auto add_fixed = [&](std::string_view label, Source source, std::size_t index) {
    if (const auto tier = q.empty() ? std::optional<int>(0) : tier_of(lowercase_full(label), q)) {
      matches.push_back({*tier, label.size(), source, index, nullptr});
    }
  };
  for (std::size_t i = 0; i < all_views.size(); ++i) {
    add_fixed(std::string(view_name(all_views[i])) + " view", Source::view, i);
  }
  for (std::size_t i = 0; i < commands.size(); ++i) {
    add_fixed(commands[i].palette_label, Source::action, i);
  }
  if (!q.empty()) {
    const SessionModel& model = state.model;
    match_rows(model.list(ListKind::health), q, Source::problem, matches);
    // The Health list begins with the summary row, which is no problem.
    std::erase_if(matches, [](const Match& m) {
      return m.source == Source::problem && m.row->id == health_summary_id;
    });
    match_rows(model.list(ListKind::topics), q, Source::entity, matches);
    match_rows(model.list(ListKind::nodes), q, Source::entity, matches);
    const std::vector<Row>& frames = model.tf_rows();
    for (std::size_t i = 0; i < frames.size(); ++i) {
      const std::string_view name = name_of(frames[i].id);
      if (const auto tier = tier_of(lowercase_full(name), q)) {
        matches.push_back({*tier, name.size(), Source::frame, i, &frames[i]});
      }
    }
  }
  const auto rank = [&](const Match& m) {
    return std::tuple(m.tier, q.empty() ? 0 : m.length, m.source, m.order);
  };
  const std::size_t kept = std::min(matches.size(), palette_match_limit);
  std::partial_sort(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(kept),
                    matches.end(),
                    [&](const Match& a, const Match& b) { return rank(a) < rank(b); });
  std::vector<PaletteCandidate> out;
  out.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    out.push_back(candidate_of(matches[i], commands));
  }
  return out;
}

}  // namespace qm
