#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/request_writer.hpp"
#include "app/session_file.hpp"
#include "model/app_state.hpp"
#include "tui/backend.hpp"
#include "tui/osc52.hpp"
#include "tui/terminal.hpp"

namespace qm::fuzz {

inline std::string_view bytes_of(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A finding: the program broke a promise without crashing. Aborting makes libFuzzer keep the input.
[[noreturn]] inline void broken(const char* what) {
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

// A folder of the process's own under the temporary folder, removed when the process ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string_view name) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      broken("cannot make a scratch folder");
    }
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A session document as the viewer takes one: parsed, then checked for the schema.
inline std::optional<DocumentPtr> session_of(std::string_view text) {
  auto document = parse_document(text);
  if (!document || !check_schema((*document)->root)) {
    return std::nullopt;
  }
  return *document;
}

// Request lines kept in memory, each checked to be one whole line.
struct MemoryChannel final : RequestWriter {
  std::string text;
  std::expected<void, std::string> append(std::string_view line) override {
    if (line.empty() || line.back() != '\n' || line.find('\n') != line.size() - 1) {
      broken("a request is not exactly one line");
    }
    text += line;
    return {};
  }
};

// Does what the state's outbox holds, as the run loop does: its lines go to `channel`, its
// clipboard text to `terminal`.
inline void deliver(AppState& state, RequestWriter& channel, tui::Terminal& terminal) {
  for (const Request& request : std::exchange(state.outbox.requests, {})) {
    note_request_outcome(state, request, channel.append(request_line(request)));
  }
  if (state.outbox.clipboard) {
    static_cast<void>(
        terminal.write_between_frames(tui::clipboard_sequence(*state.outbox.clipboard)));
    state.outbox.clipboard.reset();
  }
}

// A terminal that swallows every frame.
class DiscardingOutput final : public tui::OutputBackend {
 public:
  tui::Size window{120, 36};
  std::expected<void, std::error_code> write(std::string_view) override { return {}; }
  std::expected<void, std::error_code> flush() override { return {}; }
  std::expected<tui::Size, std::error_code> size() override { return window; }
};

}  // namespace qm::fuzz
