#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "backend.hpp"
#include "scratch_folder.hpp"

namespace qm::demo::test {

// A fixed moment, so seeded runs are the same on every machine.
inline Instant at(double seconds) {
  return {1'800'000'000.0 + seconds, 1000.0 + seconds};
}

inline Backend make_backend(bool live, const std::string& name = "session") {
  BackendOptions options;
  options.seed = 7;
  options.live = live;
  options.session_path = scratch_folder(name) / "session.json";
  return Backend(options, at(0));
}

// Where two documents differ: top-level keys, and inside `runtime` its members as
// "runtime.{member}". The revision and update time change with every write and are left out.
inline std::set<std::string> changed_keys(const nlohmann::json& before,
                                          const nlohmann::json& after) {
  std::set<std::string> keys;
  auto differing = [](const nlohmann::json& a, const nlohmann::json& b, const std::string& prefix,
                      std::set<std::string>& out, const std::set<std::string>& ignored) {
    std::set<std::string> names;
    for (const auto& [key, value] : a.items()) {
      names.insert(key);
    }
    for (const auto& [key, value] : b.items()) {
      names.insert(key);
    }
    for (const std::string& name : names) {
      if (!ignored.contains(name) &&
          a.value(name, nlohmann::json()) != b.value(name, nlohmann::json())) {
        out.insert(prefix + name);
      }
    }
  };
  differing(before, after, "", keys, {"revision", "runtime"});
  differing(before["runtime"], after["runtime"], "runtime.", keys, {"updated_at"});
  return keys;
}

}  // namespace qm::demo::test
