#pragma once

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "input/key_dispatch.hpp"

namespace qm::testing {

// A small session: two nodes and two topics joined by three edges, a TF pair, two findings, two
// runs with stages, a playback at 58 of 60 seconds, a baseline, and every capability granted.
inline nlohmann::json dispatch_document() {
  return nlohmann::json::parse(R"({
    "capabilities": {"refresh": true, "project": true, "export": true, "inspect": true,
                     "checks": true, "playback": true, "task": true, "assistant": true},
    "entities": [
      {"id": "node:/planner", "kind": "node", "name": "/planner"},
      {"id": "node:/controller", "kind": "node", "name": "/controller"},
      {"id": "topic:/scan", "kind": "topic", "name": "/scan"},
      {"id": "topic:/cmd_vel", "kind": "topic", "name": "/cmd_vel"}
    ],
    "current": {
      "graph": {"edges": [
        {"node": "/planner", "topic": "/scan", "direction": "sub"},
        {"node": "/controller", "topic": "/cmd_vel", "direction": "sub"},
        {"node": "/planner", "topic": "/cmd_vel", "direction": "pub"}
      ]},
      "tf": {"frames": ["map", "odom"], "edges": [{"parent": "map", "child": "odom"}]}
    },
    "baseline": {"graph": {"edges": []}},
    "baseline_entities": [{"id": "node:/old_planner", "kind": "node", "name": "/old_planner"}],
    "problems": {"findings": [
      {"id": "problem:stale-scan", "severity": "warning", "title": "Scan is stale",
       "detector": "rates", "target": "topic:/scan"},
      {"id": "problem:ghost", "severity": "info", "title": "Ghost node", "detector": "graph",
       "target": "node:/ghost"}
    ]},
    "runs": [
      {"retained_id": "r-1", "status": "pass", "title": "Smoke",
       "stages": [{"status": "pass", "label": "boot"}, {"status": "fail", "label": "nav"}]},
      {"status": "fail", "title": "Second", "stages": [{"status": "fail", "label": "x"}]}
    ],
    "runtime": {"playback": {"seek": true, "recording": {"duration_s": 60.0},
                             "position_s": 58.0, "state": "playing"}}
  })");
}

// Presses `keys` one after the other.
inline void press(AppState& state, std::initializer_list<tui::KeyEvent> keys) {
  for (const tui::KeyEvent& key : keys) {
    handle_key(state, key);
  }
}

// The lines of a file's text, without their line feeds.
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace qm::testing
