#pragma once

#include <string>
#include <string_view>

#include "demo_state.hpp"
#include "instant.hpp"

namespace qm::demo {

// The assistant's answer to a prompt, drawn from the evidence of the demo. It names likely
// causes only, as the assistant must.
std::string canned_answer(std::string_view prompt);

// Adds the assistant's answer once it is due. True when it did.
bool deliver_due_reply(DemoState& state, const Instant& now);

}  // namespace qm::demo
