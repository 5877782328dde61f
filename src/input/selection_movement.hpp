#pragma once

#include "model/app_state.hpp"

namespace qm {

// Up and Down: move the connection cursor while the detail of a Graph, Topics or Nodes entity has
// the focus, else the selected row, else scroll the detail pane by a line.
void move_up(AppState& state);
void move_down(AppState& state);

// Enter: shows the peer of the connection under the cursor in Nodes or Topics, remembering the
// current place first. Nothing happens when the cursor names no connection.
void follow_connection(AppState& state);

}  // namespace qm
