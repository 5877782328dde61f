#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/run_loop.hpp"
#include "model/initial_state.hpp"
#include "support/temp_dir.hpp"

namespace qm::testing {

// A session document in a fresh folder, the state the viewer starts with over it and the watch
// that reloads it when the file changes.
struct SessionOnDisk {
  TempDir dir;
  std::string path = dir.file("session.json");
  AppState state;
  SessionWatch watch;

  explicit SessionOnDisk(const nlohmann::json& document) {
    rewrite(document, 1000);
    state = build_initial_state(*load_session(path), false, false);
    watch.path = path;
    watch.reference = modification_time(path);
  }

  // Writes `text` as the document, modified `seconds` after the epoch.
  void rewrite_text(const std::string& text, long seconds) {
    write_file(path, text);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
      std::abort();
    }
  }
  void rewrite(const nlohmann::json& document, long seconds) {
    rewrite_text(document.dump(), seconds);
  }
};

}  // namespace qm::testing
