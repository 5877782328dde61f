#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "support/temp_dir.hpp"

namespace qm::testing {

// Runs a shell command in a detached tmux session of its own server, to drive the real program in
// a real terminal: keys in, the visible screen out.
class TmuxSession {
 public:
  TmuxSession(const std::string& command, int width, int height)
      : socket_("quillmesh-test-" + std::to_string(::getpid()) + "-" +
                std::to_string(counter()++)) {
    run("new-session -d -x " + std::to_string(width) + " -y " + std::to_string(height) + " " +
        quote(command));
  }
  ~TmuxSession() { run("kill-server"); }
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  // Key names as tmux knows them ("q", "C-c", "Down", "Enter").
  void send_keys(const std::string& keys) { run("send-keys -t 0 " + keys); }
  // Bytes typed as they are, for escape sequences such as mouse reports.
  void send_text(const std::string& text) { run("send-keys -t 0 -l " + quote(text)); }
  void resize(int width, int height) {
    run("resize-window -t 0 -x " + std::to_string(width) + " -y " + std::to_string(height));
  }
  std::string screen() { return output("capture-pane -p -t 0"); }
  // The screen with each cell's colours and attributes as SGR sequences.
  std::string styled_screen() { return output("capture-pane -p -e -t 0"); }
  // Lets programs set tmux's paste buffer with the clipboard sequence, as `set-clipboard on` does.
  void accept_clipboard() { run("set-option -s set-clipboard on"); }
  // The newest paste buffer, where a clipboard sequence lands.
  std::string paste_buffer() { return output("show-buffer"); }

  // Waits until the screen satisfies `condition`; false after `timeout`.
  bool wait_for(const std::function<bool(const std::string&)>& condition,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (condition(screen())) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition(screen());
  }
  bool wait_for_text(const std::string& text,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
    return wait_for([&](const std::string& s) { return s.find(text) != std::string::npos; },
                    timeout);
  }

 private:
  static int& counter() {
    static int value = 0;
    return value;
  }
  static std::string quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
      if (c == '\'') {
        out += "'\\''";
      } else {
        out += c;
      }
    }
    return out + "'";
  }
  std::string command_line(const std::string& arguments) const {
    return "tmux -L " + socket_ + " -f /dev/null " + arguments + " 2>/dev/null";
  }
  void run(const std::string& arguments) {
    const int ignored = std::system(command_line(arguments).c_str());
    static_cast<void>(ignored);
  }
  std::string output(const std::string& arguments) {
    std::string out;
    if (FILE* pipe = ::popen(command_line(arguments).c_str(), "r")) {
      char buffer[4096];
      std::size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
      }
      ::pclose(pipe);
    }
    return out;
  }

  std::string socket_;
};

// Waits for a command run in tmux to write `exit_line` to `status_file`, then compares the terminal
// settings it wrote to `status_file`.stty with those noted in `status_file`.before.
inline ::testing::AssertionResult ended_with_terminal_restored(
    TmuxSession& tmux, const std::string& status_file, const std::string& exit_line,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
  if (!tmux.wait_for([&](const std::string&) { return read_file(status_file) == exit_line; },
                     timeout)) {
    return ::testing::AssertionFailure() << "no " << exit_line << " in " << status_file;
  }
  const std::string before = read_file(status_file + ".before");
  const std::string after = read_file(status_file + ".stty");
  if (before != after) {
    return ::testing::AssertionFailure() << "settings before:\n" << before << "after:\n" << after;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace qm::testing
