#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "header_screen.hpp"
#include "soak_input.hpp"

namespace qm::soak {

// The viewer running on a session file at a pseudo-terminal of its own, and what it drew.
class ViewerProcess {
 public:
  ViewerProcess(const std::string& program, const std::string& session, WindowSize size);
  ~ViewerProcess();
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  pid_t pid() const { return pid_; }
  const HeaderScreen& screen() const { return screen_; }
  // The last few KiB the viewer wrote.
  const std::string& tail() const { return tail_; }
  // How many bytes the viewer wrote so far.
  std::size_t received() const { return received_; }

  // Reads what arrives within `timeout`; false once the terminal's other side is gone.
  bool read(std::chrono::milliseconds timeout);
  void type(std::string_view bytes);
  // Changes the terminal's size; the kernel signals the viewer.
  void resize(WindowSize size);
  // Waits for the viewer to end, reading what it writes; its exit status, or none after `limit`
  // or when a signal ended it.
  std::optional<int> wait_exit(std::chrono::seconds limit);

  // The viewer's resident memory in KiB and its open descriptors now.
  long resident_kib() const;
  // The viewer's peak resident memory so far in KiB.
  long peak_resident_kib() const;
  long open_descriptors() const;

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  bool running_ = true;
  HeaderScreen screen_;
  std::string tail_;
  std::size_t received_ = 0;
};

}  // namespace qm::soak
