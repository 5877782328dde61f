// Both ends of the request channel. The input, when it is a JSON object with a text `action`, is
// sent by the viewer as that request (the other members its payload); the line must reach the
// demo backend whole and be answered. Then the raw input is appended to the channel in two
// pieces, and the backend's reader must hand over exactly its complete lines, each answered or
// skipped without harm.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/request_file.hpp"
#include "app/session_file.hpp"
#include "backend.hpp"
#include "demo_document.hpp"
#include "fuzz_support.hpp"
#include "input/request_channel.hpp"
#include "model/initial_state.hpp"
#include "request_reader.hpp"

namespace {

namespace fs = std::filesystem;
using qm::demo::LineOutcome;

struct Scratch {
  qm::fuzz::ScratchFolder folder{"qm-fuzz-requests"};
  fs::path session = folder.path() / "session.json";
  fs::path channel = folder.path() / "requests.jsonl";
};

const Scratch& scratch() {
  static const Scratch paths;
  return paths;
}

// The backend as it starts, standing still, copied afresh for every input.
const qm::demo::Backend& fresh_backend() {
  static const qm::demo::Backend backend(
      qm::demo::BackendOptions{.seed = 1, .live = false, .session_path = scratch().session},
      qm::demo::Instant{1'765'000'000.0, 0.0});
  return backend;
}

// The backend's document as the viewer reads it.
const qm::DocumentPtr& viewer_document() {
  static const qm::DocumentPtr document = [] {
    auto parsed = qm::parse_document(fresh_backend().document().dump());
    if (!parsed) {
      qm::fuzz::broken("the demo document does not load");
    }
    return *parsed;
  }();
  return document;
}

void empty_channel() {
  std::error_code ignored;
  fs::remove(scratch().channel, ignored);
}

void append_raw(std::string_view bytes) {
  std::FILE* file = std::fopen(scratch().channel.c_str(), "ab");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    qm::fuzz::broken("cannot append to the channel");
  }
}

// The complete lines of `bytes`, as a reader must hand them over.
std::vector<std::string> complete_lines(std::string_view bytes) {
  std::vector<std::string> lines;
  for (std::size_t end = bytes.find('\n'); end != std::string_view::npos; end = bytes.find('\n')) {
    lines.emplace_back(bytes.substr(0, end));
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

void send_as_viewer(std::string_view text, qm::demo::Backend& backend,
                    const qm::demo::Instant& now) {
  const nlohmann::json request = nlohmann::json::parse(text, nullptr, false);
  if (!request.is_object() || !request.contains("action") || !request["action"].is_string()) {
    return;
  }
  empty_channel();
  const std::optional<qm::RequestAction> action =
      qm::action_named(request["action"].get<std::string>());
  if (!action) {
    return;
  }
  qm::AppState state = qm::build_initial_state(viewer_document(), true, false);
  nlohmann::json members = request;
  members.erase("action");
  const auto parsed = qm::parse_document(members.dump());
  qm::RequestPayload payload;
  for (const qm::JsonMember& member : (*parsed)->root.object()) {
    payload.value(member.key(), member.value);
  }
  if (!qm::send_request(state, *action, payload)) {
    return;
  }
  qm::RequestFile file(scratch().channel.string());
  for (const qm::Request& queued : std::exchange(state.outbox.requests, {})) {
    if (!file.append(qm::request_line(queued))) {
      return;
    }
  }
  qm::demo::RequestReader reader(scratch().channel);
  const qm::demo::ReadResult read = reader.poll();
  if (read.lines.size() != 1 || read.overlong != 0) {
    qm::fuzz::broken("a request sent is not read back as one line");
  }
  if (backend.handle_line(read.lines.front(), now) != LineOutcome::answered) {
    qm::fuzz::broken("the backend does not answer a request the viewer sent");
  }
}

void append_as_bytes(std::string_view bytes, qm::demo::Backend& backend,
                     const qm::demo::Instant& now) {
  empty_channel();
  qm::demo::RequestReader reader(scratch().channel);
  std::vector<std::string> lines;
  const std::size_t half = bytes.size() / 2;
  for (std::string_view piece : {bytes.substr(0, half), bytes.substr(half)}) {
    append_raw(piece);
    qm::demo::ReadResult read = reader.poll();
    for (std::string& line : read.lines) {
      backend.handle_line(line, now);
      lines.push_back(std::move(line));
    }
  }
  if (lines != complete_lines(bytes)) {
    qm::fuzz::broken("the reader's lines differ from the lines appended");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = qm::fuzz::bytes_of(data, size);
  const qm::demo::Instant now{1'765'000'010.0, 10.0};
  qm::demo::Backend backend = fresh_backend();
  send_as_viewer(text, backend, now);
  append_as_bytes(text, backend, now);
  return 0;
}
