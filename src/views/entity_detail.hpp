#pragma once

#include <string>
#include <vector>

#include "views/detail_page.hpp"

namespace qm {

// Graph, Topics, Nodes and TF: what the selected entity is and how it is connected.
DetailPage entity_page(const AppState& state, const Row* row);

// "Connection k/n: …" and how to choose and follow, for the chosen one of the selected entity's
// connections; empty when none is chosen.
std::string connection_line(const AppState& state, const std::vector<Connection>& connections);

}  // namespace qm
