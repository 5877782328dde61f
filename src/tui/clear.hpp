#pragma once

#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace tui {

// Resets every cell of `area` (clipped to the buffer) to a blank cell with default colours. A wide
// character cut by the area's edge is blanked whole, so no half of it is left.
void clear(Rect area, Buffer& buffer);

}  // namespace tui
