#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/view.hpp"

namespace qm {

// One line of help: the keys of one command in one table, as help names them, and the words
// that say what they do.
struct HelpEntry {
  std::vector<std::string_view> keys;
  std::string_view words;
};

// The keys of one table under a short upper-case heading.
struct HelpGroup {
  std::string heading;
  std::vector<HelpEntry> entries;
};

// Every key help lists while `view` is shown, read from the key tables: the view's own bindings,
// those of every view, then the keys of each mode. Keys of one command in one table share an
// entry, in the table's order; bindings that do nothing are left out.
std::vector<HelpGroup> key_help(View view);

// How help names a key of a table: "typing" for any typed character, "other" for every key the
// table does not name, else the table's own name.
std::string_view help_key_name(std::string_view key);

}  // namespace qm
