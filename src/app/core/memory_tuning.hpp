#pragma once

namespace qm {

// Sets up the C library's allocator for a program whose big allocations are document trees of
// millions of small values. Call once, first thing in main.
void tune_allocator_for_documents();

// The allocator's own settings, for measuring against them.
void restore_default_allocator();

}  // namespace qm
