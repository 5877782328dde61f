#include "views/topic_rates.hpp"

#include <algorithm>

#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/observation_text.hpp"

namespace qm {

namespace {

std::string expected_text(const Json& expected) {
  const Json& min = member(expected, "min_hz");
  const Json& max = member(expected, "max_hz");
  if (min.is_number() && max.is_number()) {
    return " · expected " + format_number(min) + "–" + format_number(max) + " Hz";
  }
  if (min.is_number()) {
    return " · expected at least " + format_number(min) + " Hz";
  }
  if (max.is_number()) {
    return " · expected at most " + format_number(max) + " Hz";
  }
  return {};
}

std::string joined_value_texts(std::span<const Json> values) {
  std::string out;
  for (const Json& value : values) {
    if (!out.empty()) {
      out += ", ";
    }
    out += value_display_text(value);
  }
  return out;
}

void append_messages_line(std::string& out, const Json& measurement, double window) {
  out += "Messages: " + value_display_text(member(measurement, "count")) + " in " +
         format_fixed(number_of(member(measurement, "duration_s")).value_or(window), 2) + " s";
  const auto min_gap = number_of(member(measurement, "min_gap_s"));
  const auto max_gap = number_of(member(measurement, "max_gap_s"));
  if (min_gap && max_gap) {
    out += " · gaps " + format_fixed(*min_gap, 3) + "–" + format_fixed(*max_gap, 3) + " s";
  }
  const auto size = number_of(member(measurement, "mean_size_bytes"));
  const auto throughput = number_of(member(measurement, "bytes_per_s"));
  if (size && throughput) {
    out += " · " + format_fixed(*size, 0) + " B per message · " +
           format_fixed(*throughput / 1000, 1) + " KB/s";
  }
  out += '\n';
}

void append_measured_lines(std::string& out, const Json& rates, std::string_view name,
                           const Json& measurement) {
  const Json& status = member(measurement, "status");
  const auto mean = number_of(member(measurement, "mean_rate_hz"));
  out += "Rate: ";
  out +=
      mean ? format_fixed(*mean, 1) + " Hz" : value_display_text(member(measurement, "rate_note"));
  out += expected_text(member(member(rates, "expected"), name));
  out += " · status: " + value_display_text(status) + "\n";

  const auto samples = array_of(member_path(member(rates, "checks"), {name, "samples"}));
  if (samples && !samples->empty()) {
    out += "Recent samples against the declared rate: " + joined_value_texts(*samples) + "\n";
  }
  append_messages_line(out, measurement, rates_window(rates));
  if (const auto age = number_of(member(measurement, "last_receipt_age_s"))) {
    out += "Last receipt: " + format_fixed(*age, 2) + " s before the sample ended\n";
  }
  if (const auto offset = number_of(member(measurement, "stamp_offset_unverified_s"))) {
    out += "Stamp offset (unverified): " + format_fixed(*offset, 3) +
           " s; a shared clock is not established\n";
  } else if (const auto note = string_of(member(measurement, "stamp_note"))) {
    out += "Stamp: " + display_safe(*note) + "\n";
  }
  if (is_string_equal(status, "observer_limited")) {
    out += value_display_text(member(measurement, "reason")) + "\n";
  }
}

// Why a topic without a measurement was not sampled.
std::string not_sampled_reason(const Json& rates, std::string_view name, const Row& row) {
  if (const auto skipped = array_of(member(rates, "skipped"))) {
    const auto entry = std::find_if(skipped->begin(), skipped->end(), [&](const Json& item) {
      return is_string_equal(member(item, "topic"), name);
    });
    if (entry != skipped->end()) {
      return ": " + value_display_text(member(*entry, "reason"));
    }
  }
  if (name == "/rosout" || name == "/parameter_events") {
    return ": infrastructure topic; never sampled";
  }
  if (unsigned_of(member_path(*row.value, {"details", "publisher_count"})) == 0U) {
    return ": no publisher in this capture; nothing to sample";
  }
  return "; it is sampled on the next refresh while selected";
}

}  // namespace

std::string live_rate_section(const Json& document, const Row& row, bool baseline_shown) {
  if (baseline_shown) {
    return {};
  }
  const std::string_view name = name_of(row.id, RowKind::topic).value_or(row.id);
  const Json& rates = member_path(document, {"current", "rates"});
  const Json& measurement = member(member(rates, "topics"), name);
  if (!measurement.is_object()) {
    return "\nLIVE RATE  not sampled this refresh" + not_sampled_reason(rates, name, row) + "\n";
  }
  std::string out = "\nLIVE RATE  received at this observer · " + rates_window_text(rates) +
                    " s sample · best-effort, volatile QoS\n";
  const Json& status = member(measurement, "status");
  if (is_string_equal(status, "type_unavailable") || is_string_equal(status, "not_found")) {
    out += "Not measured: " + value_display_text(member(measurement, "reason")) + "\n";
  } else if (is_string_equal(status, "no_publisher")) {
    out += "No publisher in discovery; nothing to measure.\n";
  } else {
    append_measured_lines(out, rates, name, measurement);
  }
  if (const auto reason = string_of(member_path(rates, {"plan", "reasons", name}))) {
    out += "Sampled because: " + display_safe(*reason) + "\n";
  }
  return out;
}

}  // namespace qm
