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

// The Changes detail's list of differing fields: how many lines it shows before "… N more", and
// how wide a value or a path may be on one of them.
inline constexpr std::size_t changed_fields_shown = 50;
inline constexpr std::size_t changed_value_columns = 40;
inline constexpr std::size_t changed_path_columns = 80;

// Steps of the keys and the mouse wheel.
inline constexpr uint16_t pan_step = 8;
inline constexpr uint16_t detail_page_step = 12;
inline constexpr uint16_t assistant_scroll_step = 8;
inline constexpr uint16_t wheel_step = 3;

// Detail pages kept built: enough that moving between a few rows (a summary and a problem, and
// back) finds each page already made.
inline constexpr std::size_t detail_pages_kept = 6;

// The columns of a printed view: the default, and the narrowest and widest a user may ask for.
inline constexpr uint16_t print_width = 100;
inline constexpr uint16_t print_width_min = 20;
inline constexpr uint16_t print_width_max = 1000;

// Rate samples kept per topic, one per reload: five minutes of a backend that rewrites once a
// second.
inline constexpr std::size_t rate_history_samples = 300;
// The whole rate history, samples and index, stays within 2 % of the largest session file
// (32 MiB): with many topics each keeps fewer samples, never fewer than two.
inline constexpr std::size_t rate_history_bytes = 33'554'432 / 50;

// A live document not rewritten for this long shows its age: its backend may have stopped.
inline constexpr std::chrono::seconds stale_after{30};

// A seek the document does not yet report is the start of the next one for this long; after it
// the backend is taken to have dropped it.
inline constexpr std::chrono::seconds seek_pending_for{2};

// End in the launch log asks for at most this many pages in a row, so a huge log cannot fill the
// request channel with one key.
inline constexpr std::size_t log_end_pages = 1000;

}  // namespace qm::limits
