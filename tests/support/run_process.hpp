#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace qm::testing {

// How a finished child process ended and what it wrote.
struct ProcessResult {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, or -1 when a signal ended it
  int signal = 0;   // the signal that ended it, or 0
};

// Runs `program` with `arguments` (after the program name) in a new session without a
// controlling terminal, with standard input from /dev/null, and waits for it.
inline ProcessResult run_process(const std::string& program,
                                 const std::vector<std::string>& arguments) {
  ProcessResult result;
  int out_pipe[2];
  int err_pipe[2];
  if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
    std::abort();
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  if (spawned != 0) {
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    return result;
  }

  std::array<pollfd, 2> streams{pollfd{out_pipe[0], POLLIN, 0}, pollfd{err_pipe[0], POLLIN, 0}};
  std::array<std::string*, 2> sinks{&result.out, &result.err};
  int open_streams = 2;
  while (open_streams > 0) {
    if (::poll(streams.data(), streams.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;
    }
    for (std::size_t i = 0; i < streams.size(); ++i) {
      if (streams[i].fd < 0 || streams[i].revents == 0) {
        continue;
      }
      std::array<char, 4096> chunk;
      const ssize_t count = ::read(streams[i].fd, chunk.data(), chunk.size());
      if (count > 0) {
        sinks[i]->append(chunk.data(), static_cast<std::size_t>(count));
      } else if (count == 0 || errno != EINTR) {
        ::close(streams[i].fd);
        streams[i].fd = -1;
        --open_streams;
      }
    }
  }
  int wait_status = 0;
  while (::waitpid(child, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wait_status)) {
    result.status = WEXITSTATUS(wait_status);
  } else if (WIFSIGNALED(wait_status)) {
    result.signal = WTERMSIG(wait_status);
  }
  return result;
}

}  // namespace qm::testing
