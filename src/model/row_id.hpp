#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/view.hpp"

namespace qm {

// Row ids carry their kind as a prefix ("node:" and the node's name); three ids are fixed.
enum class RowKind : unsigned char { node, topic, frame, problem, run, check, experiment };

inline constexpr std::string_view health_summary_id = "health:summary";
inline constexpr std::string_view project_summary_id = "project:summary";
inline constexpr std::string_view task_history_id = "task:history";

// The prefix of a kind, colon included ("node:").
std::string_view row_prefix(RowKind kind);
// The kind whose prefix `id` begins with, if any.
std::optional<RowKind> kind_of(std::string_view id);
// The part of `id` after its kind's prefix; `id` itself when it has none.
std::string_view name_of(std::string_view id);
// The part of `id` after the prefix of `kind`, when `id` is a row of that kind.
std::optional<std::string_view> name_of(std::string_view id, RowKind kind);
// The id of `name` as a row of `kind`.
std::string row_id(RowKind kind, std::string_view name);
// The view that lists rows of `kind`.
View home_view(RowKind kind);

}  // namespace qm
