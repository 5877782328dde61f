// Writes the seed inputs of every fuzz target from session documents (the examples, the test
// documents, the demo backend's output): make_fuzz_seeds OUTPUT_FOLDER DOCUMENT...
// Each document is cut down to three items per array first, so that the targets explore it many
// times a second.
#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

void cut_arrays(json& value) {
  if (value.is_array() && value.size() > 3) {
    value.erase(value.begin() + 3, value.end());
  }
  if (value.is_structured()) {
    for (json& item : value) {
      cut_arrays(item);
    }
  }
}

bool write(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

using namespace std::string_view_literals;

// Key scripts in the event encoding of fuzz_keys, each reaching one mode and working in it.
constexpr std::array key_scripts = {
    "jjkk\x81\x81\x86\x85\x82\x82"sv,              // move, panes, pan, views
    "/cam\x83\x83\x80j\x84"sv,                     // filter entry, edit, leave
    ":topic\x88\x87\x80"sv,                        // palette, choose, run
    "0nthe question\x80hypothesis\x80\x80\x84"sv,  // project: plan form
    "0jj\x80"
    "fconclusion\x80\x84ou"sv,  // project: conclude form
    "Aihello\x83\x80ykjvS\x84"
    "Am"sv,                                   // assistant prompt and keys
    "L/error\x80nNew\x8b\x8c\x89\x8a\x84"sv,  // launch log and its search
    "3ite\x80\xb4\x00\x10\x05\xb0\x00\x05\x06\xa8j\xa4"
    "c"sv,                              // topic keys, mouse, release
    "7sgca8px\x8d\x86\x86\x89?\x84"sv,  // results, playback, help
    "\xc0\x21\x05]]][[\xc1\xc0\x63\x1e\xc2"
    "b\xc3\xc4\xc5\xc8pasted"sv,  // resize, views, reloads, baseline
    "1jjy\x83\x80gy4d5b9v"sv,     // health: copy, follow; more views
};

// Terminal bytes; the first byte of each says where the target splits the rest.
constexpr std::array terminal_bytes = {
    "\x01"
    "abc\x1b[A\x1b[1;5B\x1bOP\x1b[15~"sv,
    "\x02\x1b[<0;10;5M\x1b[<0;10;5m\x1b[<64;3;3M"sv,
    "\x03\x1b[M !!\x1b[32;5;7M"sv,
    "\x01\x1b[200~pasted\ntext\x1b[201~"sv,
    "\x04\x1b[97;5u\x1b[13;2:3u"sv,
    "\x01\x1b[I\x1b[O\x1b"sv,
    "\x05\xc3\xa9\xe4\xb8\x96\xf0\x9f\xa4\x96\x1bx\x7f\x08\r\t"sv,
    "\x02\x1b[[A\x1b[1~\x1b[4~\x1b[Z"sv,
    "\x03\xff\xc3\x1b[999999999999;1H"sv,
    "\x06\x1b\x1b[A\x1bO"sv,
    "\x07\x1b[200~\x1b[201"sv,
    "\x08\x1b[<35;300;200M\x1b[<65;1;1M\x00"sv,
};

constexpr std::array request_texts = {
    R"({"action":"refresh"})"sv,
    R"({"action":"export","entity_id":"topic:/scan","side":"baseline"})"sv,
    R"({"action":"launch_log","query":"error","severity":"warn","limit":40,"context":2})"sv,
    R"({"action":"seek","position_s":12.5})"sv,
    R"({"action":"ai_send","prompt":"why is /odom slow?"})"sv,
    R"({"action":"plan_experiment","question":"q","hypothesis":"h","variables":"{}"})"sv,
    R"({"action":"save_view","view_state":{"tab":"topics","filter":"","selected_id":""}})"sv,
    "{\"action\":\"refresh\"}\n{\"action\":\"nope\"}\nnot json\n{\"action\":\"run_check\""sv,
    "\n\n   \n{\"action\":3}\n[1,2]\n"sv,
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: make_fuzz_seeds OUTPUT_FOLDER DOCUMENT...\n";
    return 2;
  }
  const fs::path out = argv[1];
  for (std::string_view target : {"loader", "pipeline", "keys", "event_decoder", "requests"}) {
    fs::create_directories(out / target);
  }
  bool ok = true;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    json document = json::parse(text.str(), nullptr, false);
    if (!in || document.is_discarded()) {
      std::cerr << "make_fuzz_seeds: " << argv[i] << " is not a JSON document\n";
      return 1;
    }
    const std::string name = "document-" + std::to_string(i - 1);
    cut_arrays(document);
    const std::string small = document.dump();
    ok = ok && write(out / "loader" / name, small) && write(out / "pipeline" / name, small);
    for (std::size_t k = 0; k < key_scripts.size(); ++k) {
      const std::string input = small + '\0' + std::string(key_scripts[k]);
      ok = ok && write(out / "keys" / (name + "-keys-" + std::to_string(k)), input);
    }
  }
  for (std::size_t k = 0; k < terminal_bytes.size(); ++k) {
    ok = ok && write(out / "event_decoder" / ("bytes-" + std::to_string(k)), terminal_bytes[k]);
  }
  for (std::size_t k = 0; k < request_texts.size(); ++k) {
    ok = ok && write(out / "requests" / ("request-" + std::to_string(k)), request_texts[k]);
  }
  if (!ok) {
    std::cerr << "make_fuzz_seeds: cannot write the seeds under " << out << "\n";
    return 1;
  }
  return 0;
}
