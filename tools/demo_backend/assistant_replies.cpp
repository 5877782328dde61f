#include "assistant_replies.hpp"

#include <algorithm>
#include <array>

namespace qm::demo {

namespace {

struct Topic {
  std::array<std::string_view, 4> words;
  std::string_view answer;
};

constexpr std::array<Topic, 6> reply_topics = {{
    {{"launch log", "child failure", "ament index", "nav2_container"},
     "From the disclosed launch log lines: the tag filter failed to load into /nav2_container "
     "('Could not find requested resource in ament index'), so nothing publishes "
     "/detected_dock_pose, and the lidar driver respawned twice before it could open its port. "
     "The first is the likely cause of the docking time-out, not proof of it."},
    {{"battery", "clock", "sim_time", "power"},
     "From the reviewed evidence: /battery_monitor runs with use_sim_time true and nothing "
     "publishes /clock, so its timers never fire and /battery_state stays silent. Setting "
     "use_sim_time false in power.yaml is the likely fix; this is not proof."},
    {{"tf", "frame", "camera_link", "transform"},
     "From the reviewed evidence: camera_link has two parents, camera_mount from the URDF and "
     "base_link from /static_tf_camera, so lookups through it can flip. Removing the static "
     "publisher is the likely fix; verify with tf2_echo."},
    {{"lidar", "scan", "serial", "respawn"},
     "From the reviewed evidence: the lidar driver failed twice to open /dev/ttyUSB0 and runs "
     "since its third attempt; /scan is now near 10 Hz. Another process holding the port at "
     "start-up is a likely cause, not a proven one."},
    {{"qos", "image", "detector", "reliab"},
     "From the reviewed evidence: the camera publishes its colour stream best effort and "
     "/apriltag_detector subscribes reliably, so they never match and /detections stays silent. "
     "Subscribing with the sensor-data profile is the likely fix."},
    {{"dock", "detect", "tag", "filter"},
     "From the reviewed evidence: /detected_dock_pose has no publisher since /docking_tag_filter "
     "failed to load into /nav2_container, and the detector gets no images. Both are likely "
     "causes, not proof; exp-3 tests the first."},
}};

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool mentions(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [](char a, char b) { return lower(a) == b; }) != text.end();
}

}  // namespace

std::string canned_answer(std::string_view prompt) {
  for (const Topic& topic : reply_topics) {
    for (const std::string_view word : topic.words) {
      if (mentions(prompt, word)) {
        return std::string(topic.answer);
      }
    }
  }
  return "From the reviewed evidence: the capture has one QoS error and four items to review; "
         "the docking server waits on /detected_dock_pose, which nobody publishes. Start with "
         "the first problem in the Health view. These are likely causes, not a verdict.";
}

bool deliver_due_reply(DemoState& state, const Instant& now) {
  if (!state.reply || now.steady_s < state.reply->due_s) {
    return false;
  }
  nlohmann::json& assistant = state.document["assistant"];
  assistant["messages"].push_back(
      {{"role", "assistant"}, {"text", canned_answer(state.reply->prompt)}});
  assistant["state"] = "idle";
  nlohmann::json& usage = assistant["usage"];
  usage["requests"] = usage.value("requests", 0) + 1;
  state.reply.reset();
  return true;
}

}  // namespace qm::demo
