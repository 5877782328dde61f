#pragma once

#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <string_view>

namespace qm::demo {

// The frame a topic's messages are stamped in; empty for a type without a header.
std::string frame_of_topic(std::string_view topic, std::string_view type);

// Three sampled messages of a topic, stamped from `stamp_s` on at the topic's rate.
nlohmann::json sample_messages(std::string_view topic, std::string_view type, double rate_hz,
                               double stamp_s, std::mt19937_64& random);

// The fields of a message type, for the inspection's shape.
nlohmann::json message_shape(std::string_view type);

}  // namespace qm::demo
