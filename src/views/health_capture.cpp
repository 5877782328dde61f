#include "views/health_capture.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>
#include <string_view>

#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/observation_text.hpp"

namespace qm {

namespace {

constexpr std::size_t kRateColumn = 11;
constexpr std::size_t kEdgeLimit = 8;
constexpr std::size_t kLineExtraBytes = 48;
// display_safe keeps this many characters; a longer text must go through it to be cut.
constexpr std::size_t kSafeLimit = 200'000;

// True when every byte is printable ASCII (0x20 to 0x7E), which display_safe keeps as it is.
// Names are checked on every frame, so eight bytes are tested at once: taking 0x20 from each byte
// sets the top bit of one below 0x20 or from 0xA0 up, and adding 1 sets it for 0x7F to 0x9F. The
// lowest failing byte receives no borrow or carry from below, so it is always caught.
bool is_printable_ascii(std::string_view text) {
  constexpr std::uint64_t kBytes = 0x0101010101010101;
  constexpr std::uint64_t kTopBits = 0x8080808080808080;
  const auto outside = [](const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return (((word - kBytes * 0x20) | (word + kBytes)) & kTopBits) != 0;
  };
  if (text.size() < sizeof(std::uint64_t)) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
  }
  for (std::size_t offset = 0; offset + 8 < text.size(); offset += 8) {
    if (outside(text.data() + offset)) {
      return false;
    }
  }
  // The last eight bytes, overlapping the words before them.
  return !outside(text.data() + text.size() - 8);
}

// Appends the display-safe form of `text`; a printable ASCII name goes in without a copy.
void append_safe(std::string& out, std::string_view text) {
  if (text.size() <= kSafeLimit && is_printable_ascii(text)) {
    out += text;
  } else {
    out += display_safe(text);
  }
}

std::size_t array_size(const Json& value) {
  const auto elements = array_of(value);
  return elements.has_value() ? elements->size() : 0;
}

// "  expected 5–20 Hz", "  expected ≥ 5 Hz", "  expected ≤ 20 Hz", or nothing.
void append_expected(std::string& out, const Json& expected) {
  const Json& min = member(expected, "min_hz");
  const Json& max = member(expected, "max_hz");
  if (min.is_number() && max.is_number()) {
    out += "  expected ";
    out += format_number(min);
    out += "–";
    out += format_number(max);
    out += " Hz";
  } else if (min.is_number()) {
    out += "  expected ≥ ";
    out += format_number(min);
    out += " Hz";
  } else if (max.is_number()) {
    out += "  expected ≤ ";
    out += format_number(max);
    out += " Hz";
  }
}

// The rate text padded to its column and one space. Rate texts are nearly always ASCII, where
// bytes are characters; any other goes through pad_right, which counts characters.
void append_rate_column(std::string& out, const RateEntry& entry, std::string_view window) {
  const std::size_t start = out.size();
  append_topic_rate_text(out, entry, window);
  const std::string_view rate = std::string_view(out).substr(start);
  if (is_printable_ascii(rate)) {
    out.append(kRateColumn - std::min(kRateColumn, rate.size()), ' ');
  } else {
    const std::string padded = pad_right(rate, kRateColumn);
    out.replace(start, std::string::npos, padded);
  }
  out += ' ';
}

// The names of frames with two parents: an object's `frame`, or the element itself.
void append_multi_parent_frames(std::string& out, const Json& frames) {
  const auto elements = array_of(frames);
  bool first = true;
  for (const Json& element : elements.value_or(std::span<const Json>{})) {
    auto name = string_of(member(element, "frame"));
    if (!name.has_value()) {
      name = string_of(element);
    }
    if (!name.has_value()) {
      continue;
    }
    out += first ? "two parents: " : ", ";
    first = false;
    append_safe(out, *name);
  }
  if (first) {
    out += "no frame with two parents";
  }
}

}  // namespace

std::size_t live_rates_bytes(const Json& capture) {
  const auto topics = object_of(member_path(capture, {"rates", "topics"}));
  std::size_t bytes = 0;
  for (const auto& topic : topics.value_or(std::span<const JsonMember>{})) {
    // The name, the rate column and a short expected range.
    bytes += topic.key().size() + kLineExtraBytes;
  }
  return bytes;
}

// The list has no bound, so each line is appended in pieces, without temporary lines.
void append_live_rates(std::string& out, const Json& capture) {
  const Json& rates = member(capture, "rates");
  const auto topics = object_of(member(rates, "topics"));
  if (!topics.has_value() || topics->empty()) {
    if (is_string_equal(member(rates, "status"), "unavailable")) {
      out += "\nLIVE RATES  ";
      out += value_display_text(member(rates, "reason"));
      out += '\n';
    }
    return;
  }
  const std::string window = rates_window_text(rates);
  out += "\nLIVE RATES  ";
  out += window;
  out += " s samples received at this observer\n";
  for (const JsonMember& topic : *topics) {
    const std::string_view name = topic.key();
    const RateEntry fields = read_rate_entry(topic.value);
    out += "  ";
    append_rate_column(out, fields, window);
    append_safe(out, name);
    append_expected(out, *fields.expected);
    out += '\n';
  }
}

void append_tf_frames(std::string& out, const Json& capture) {
  const Json& tf = member(capture, "tf");
  if (!tf.is_object()) {
    return;
  }
  fmt::format_to(std::back_inserter(out), "\nTF FRAMES  {} frames · {} roots · ",
                 array_size(member(tf, "frames")), array_size(member(tf, "roots")));
  append_multi_parent_frames(out, member(tf, "multi_parent_frames"));
  out += '\n';
  const auto edges = array_of(member(tf, "edges"));
  if (!edges.has_value()) {
    return;
  }
  for (const Json& edge : edges->first(std::min(edges->size(), kEdgeLimit))) {
    out += "  ";
    out += value_display_text(member(edge, "parent"));
    out += " → ";
    out += value_display_text(member(edge, "child"));
    out += "  ";
    if (is_true(member(edge, "static"))) {
      out += "static";
    } else if (const auto rate = number_of(member(edge, "rate_hz"))) {
      out += format_fixed(*rate, 1);
      out += " Hz";
    } else {
      out += "rate unknown";
    }
    out += '\n';
  }
}

}  // namespace qm
