// quillmesh-demo-backend: a live stand-in backend for trying quillmesh-terminal by hand.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <span>
#include <string>

#include "atomic_writer.hpp"
#include "backend.hpp"
#include "command_line.hpp"
#include "demo_document.hpp"
#include "instant.hpp"
#include "request_reader.hpp"

namespace {

using namespace qm::demo;

constexpr double poll_interval_s = 0.1;

volatile std::sig_atomic_t stop_requested = 0;

extern "C" void request_stop(int) {
  stop_requested = 1;
}

void install_stop_handlers() {
  struct sigaction action {};
  action.sa_handler = request_stop;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: the sleep between polls ends at once.
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void sleep_until(double steady_s) {
  const double remaining = steady_s - instant_now().steady_s;
  if (remaining <= 0.0 || stop_requested != 0) {
    return;
  }
  timespec pause{};
  pause.tv_sec = static_cast<time_t>(remaining);
  pause.tv_nsec = static_cast<long>((remaining - static_cast<double>(pause.tv_sec)) * 1e9);
  nanosleep(&pause, nullptr);
}

// The viewer appends to the channel and never resets it; the session's opener does.
bool empty_channel(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    std::fprintf(stderr, "quillmesh-demo-backend: cannot open %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
  }
  ::close(fd);
  return true;
}

int serve(const CommandLine& line) {
  if (!empty_channel(line.requests)) {
    return 1;
  }
  BackendOptions options;
  options.seed = line.seed ? *line.seed : std::random_device{}();
  options.live = !line.quiet;
  options.session_path = line.session;
  Backend backend(options, instant_now());
  RequestReader reader(line.requests);
  install_stop_handlers();
  std::fprintf(stderr, "quillmesh-demo-backend: writing %s, following %s (Ctrl+C stops)\n",
               line.session.c_str(), line.requests.c_str());
  std::string last_error;
  while (stop_requested == 0) {
    const Instant now = instant_now();
    ReadResult read = reader.poll();
    backend.note_overlong_lines(read.overlong);
    for (const std::string& request : read.lines) {
      backend.handle_line(request, now);
    }
    backend.step(now);
    if (backend.due(now)) {
      const auto written = write_atomically(line.session, backend.render(now));
      if (written) {
        backend.written(now);
        last_error.clear();
      } else if (written.error() != last_error) {
        // Tried again on the next poll; said once.
        last_error = written.error();
        std::fprintf(stderr, "quillmesh-demo-backend: %s\n", last_error.c_str());
      }
    }
    sleep_until(now.steady_s + poll_interval_s);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto line = parse_command_line(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  if (!line) {
    std::fprintf(stderr, "quillmesh-demo-backend: %s\n\n%s", line.error().c_str(),
                 usage_text().c_str());
    return 2;
  }
  if (line->help) {
    std::fputs(usage_text().c_str(), stdout);
    return 0;
  }
  if (line->write_example) {
    const auto written =
        write_atomically(*line->write_example, document_text(build_demo_document()));
    if (!written) {
      std::fprintf(stderr, "quillmesh-demo-backend: %s\n", written.error().c_str());
      return 1;
    }
    return 0;
  }
  return serve(*line);
}
