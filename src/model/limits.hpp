#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

// The limits of what the user types and of how far one key moves, each written once.
namespace qm::limits {

// Text entries; a saved filter and a saved id are counted in characters, and in bytes when
// restored.
inline constexpr std::size_t filter_length = 256;
inline constexpr std::size_t palette_query_characters = 128;
// The backend takes at most this many bytes of a launch-log search.
inline constexpr std::size_t log_search_bytes = 128;
inline constexpr std::size_t form_answer_bytes = 4096;
// Variables are a JSON object, which may well be longer than a sentence.
inline constexpr std::size_t form_variables_bytes = 16384;
inline constexpr std::size_t prompt_bytes = 8192;

// Saved and restored places.
inline constexpr std::size_t selected_id_length = 512;
inline constexpr std::size_t history_entries = 64;
// Status messages kept for the message log.
inline constexpr std::size_t logged_messages = 100;

// Steps of the keys and the mouse wheel.
inline constexpr uint16_t pan_step = 8;
inline constexpr uint16_t detail_page_step = 12;
inline constexpr uint16_t assistant_scroll_step = 8;
inline constexpr uint16_t wheel_step = 3;

// Rate samples kept per topic, one per reload: five minutes of a backend that rewrites once a
// second.
inline constexpr std::size_t rate_history_samples = 300;

// A live document not rewritten for this long shows its age: its backend may have stopped.
inline constexpr std::chrono::seconds stale_after{30};

}  // namespace qm::limits
