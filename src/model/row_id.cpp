#include "model/row_id.hpp"

#include <array>

namespace qm {

namespace {

struct KindEntry {
  RowKind kind;
  std::string_view prefix;
  View home;
};

constexpr std::array kind_table = {
    KindEntry{RowKind::node, "node:", View::nodes},
    KindEntry{RowKind::topic, "topic:", View::topics},
    KindEntry{RowKind::frame, "frame:", View::tf},
    KindEntry{RowKind::problem, "problem:", View::health},
    KindEntry{RowKind::run, "run:", View::results},
    KindEntry{RowKind::check, "check:", View::results},
    KindEntry{RowKind::experiment, "experiment:", View::project},
};

const KindEntry& kind_entry(RowKind kind) {
  return kind_table[static_cast<std::size_t>(kind)];
}

}  // namespace

std::string_view row_prefix(RowKind kind) {
  return kind_entry(kind).prefix;
}

std::optional<RowKind> kind_of(std::string_view id) {
  for (const KindEntry& entry : kind_table) {
    if (id.starts_with(entry.prefix)) {
      return entry.kind;
    }
  }
  return std::nullopt;
}

std::string_view name_of(std::string_view id) {
  const std::optional<RowKind> kind = kind_of(id);
  return kind ? id.substr(row_prefix(*kind).size()) : id;
}

std::optional<std::string_view> name_of(std::string_view id, RowKind kind) {
  if (!id.starts_with(row_prefix(kind))) {
    return std::nullopt;
  }
  return id.substr(row_prefix(kind).size());
}

std::string row_id(RowKind kind, std::string_view name) {
  std::string id(row_prefix(kind));
  id += name;
  return id;
}

View home_view(RowKind kind) {
  return kind_entry(kind).home;
}

}  // namespace qm
