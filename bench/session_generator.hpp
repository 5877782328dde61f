#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm::bench {

inline constexpr std::uint64_t default_seed = 0x9e3779b97f4a7c15u;

// A deterministic sequence of numbers for made-up values.
class Sequence {
 public:
  Sequence() = default;
  // Seeds other than the default give other sequences; zero would stay zero.
  explicit Sequence(std::uint64_t seed) : state_(seed == 0 ? 1 : seed) {}
  std::uint64_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }
  double fraction() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }

 private:
  std::uint64_t state_ = default_seed;
};

namespace detail {

inline void append_string(std::string& out, std::string_view text) {
  out += '"';
  out += text;
  out += '"';
}

inline void append_member(std::string& out, std::string_view key) {
  append_string(out, key);
  out += ':';
}

inline constexpr std::string_view robots[] = {"alpha", "bravo", "charlie", "delta", "echo"};
inline constexpr std::string_view parts[] = {"camera",     "lidar",    "imu",    "planner",
                                             "controller", "odometry", "mapper", "gripper",
                                             "battery",    "arm"};
inline constexpr std::string_view message_types[] = {
    "sensor_msgs/msg/Image",   "sensor_msgs/msg/PointCloud2",
    "sensor_msgs/msg/Imu",     "nav_msgs/msg/Odometry",
    "geometry_msgs/msg/Twist", "tf2_msgs/msg/TFMessage",
    "std_msgs/msg/String",     "diagnostic_msgs/msg/DiagnosticArray"};
inline constexpr std::string_view notes[] = {
    "Kamera vorn \u2013 Sensor f\u00fcr Hinderniserkennung",
    "\u524d\u65b9\u30ab\u30e1\u30e9 (front camera)",
    "r\u00e9glage fin du contr\u00f4leur",
    "\u0434\u0430\u0442\u0447\u0438\u043a \u0443\u0433\u043b\u0430 \u2192 rad",
    "battery \U0001F50B at nominal voltage",
    "plain ASCII note about the component"};

// Interface texts as a backend copies them from the message definitions.
inline constexpr std::string_view definitions[] = {
    "# A stamped image\\nstd_msgs/Header header\\n  builtin_interfaces/Time stamp\\n    int32 "
    "sec\\n"
    "    uint32 nanosec\\n  string frame_id\\nuint32 height\\nuint32 width\\nstring encoding\\n"
    "uint8 is_bigendian\\nuint32 step\\nuint8[] data",
    "# Estimated pose and velocity\\nstd_msgs/Header header\\nstring child_frame_id\\n"
    "geometry_msgs/PoseWithCovariance pose\\n  geometry_msgs/Pose pose\\n    geometry_msgs/Point "
    "position\\n    geometry_msgs/Quaternion orientation\\n  float64[36] covariance\\n"
    "geometry_msgs/TwistWithCovariance twist\\n  geometry_msgs/Twist twist\\n  float64[36] "
    "covariance",
    "# Inertial measurement\\nstd_msgs/Header header\\ngeometry_msgs/Quaternion orientation\\n"
    "float64[9] orientation_covariance\\ngeometry_msgs/Vector3 angular_velocity\\n"
    "float64[9] angular_velocity_covariance\\ngeometry_msgs/Vector3 linear_acceleration\\n"
    "float64[9] linear_acceleration_covariance",
    "# Velocity command\\ngeometry_msgs/Vector3 linear\\n  float64 x\\n  float64 y\\n  float64 z\\n"
    "geometry_msgs/Vector3 angular\\n  float64 x\\n  float64 y\\n  float64 z"};

inline std::string node_name(std::size_t index) {
  return "/" + std::string(robots[index % 5]) + "/" + std::string(parts[(index / 5) % 10]) + "_" +
         std::to_string(index);
}

inline std::string topic_name(std::size_t index) {
  return "/" + std::string(robots[index % 5]) + "/" + std::string(parts[(index / 3) % 10]) +
         "/data_" + std::to_string(index);
}

inline void append_node(std::string& out, Sequence& random, std::size_t index,
                        std::size_t topic_count) {
  const std::string name = node_name(index);
  out += '{';
  append_member(out, "details");
  out += '{';
  append_member(out, "description");
  append_string(out, std::string(notes[random.below(std::size(notes))]) +
                         " \u2013 started by the bringup launch of robot " +
                         std::string(robots[index % 5]) + ", restarts on failure");
  out += ',';
  append_member(out, "executable");
  append_string(out, std::string(parts[index % 10]) + "_node");
  out += ',';
  append_member(out, "note");
  append_string(out, notes[random.below(std::size(notes))]);
  out += ',';
  append_member(out, "package");
  append_string(out, std::string(robots[index % 5]) + "_bringup");
  out += ',';
  // Parameters in file order, not sorted.
  append_member(out, "parameters");
  out += '{';
  append_member(out, "use_sim_time");
  out += random.below(2) == 0 ? "false" : "true";
  out += ',';
  append_member(out, "rate_hz");
  out += std::to_string(random.below(200) + 1) + "." + std::to_string(random.below(10));
  out += ',';
  append_member(out, "frame_id");
  append_string(out, "base_link_" + std::to_string(index % 40));
  out += ',';
  append_member(out, "queue_depth");
  out += std::to_string(random.below(100));
  out += ',';
  append_member(out, "offset");
  out += "-" + std::to_string(random.below(5000));
  out += ',';
  append_member(out, "gains");
  out += '[' + std::to_string(random.fraction()) + ',' + std::to_string(random.fraction()) + ',' +
         std::to_string(random.fraction()) + ']';
  out += "},";
  for (std::string_view role : {"publishers", "subscribers"}) {
    append_member(out, role);
    out += '[';
    const std::size_t count = 1 + random.below(4);
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) {
        out += ',';
      }
      append_string(out, topic_name(random.below(topic_count)));
    }
    out += role == "publishers" ? "]," : "]";
  }
  out += "},";
  append_member(out, "id");
  append_string(out, "node:" + name);
  out += ',';
  append_member(out, "kind");
  append_string(out, "node");
  out += ',';
  append_member(out, "name");
  append_string(out, name);
  out += '}';
}

inline void append_topic(std::string& out, Sequence& random, std::size_t index) {
  const std::string name = topic_name(index);
  // Keys unsorted here.
  out += '{';
  append_member(out, "name");
  append_string(out, name);
  out += ',';
  append_member(out, "kind");
  append_string(out, "topic");
  out += ',';
  append_member(out, "id");
  append_string(out, "topic:" + name);
  out += ',';
  append_member(out, "details");
  out += '{';
  append_member(out, "type");
  append_string(out, message_types[random.below(std::size(message_types))]);
  out += ',';
  append_member(out, "qos");
  out += R"({"reliability":")";
  out += random.below(3) == 0 ? "best_effort" : "reliable";
  out += R"(","durability":"volatile","depth":)" + std::to_string(1 + random.below(50)) + '}';
  out += ',';
  append_member(out, "definition");
  append_string(out, definitions[random.below(std::size(definitions))]);
  out += ',';
  append_member(out, "publisher_count");
  out += std::to_string(random.below(5));
  out += ',';
  append_member(out, "subscriber_count");
  out += std::to_string(random.below(8));
  out += "}}";
}

}  // namespace detail

// A session document of about `target_bytes` bytes: node and topic entities with details, a
// baseline copy of part of them, graph edges, topic rates, a frame tree and backend state. Another
// `seed` gives a document of the same size and shape with other names, links and values.
inline std::string generate_session_document(std::size_t target_bytes,
                                             std::uint64_t seed = default_seed) {
  using namespace detail;
  Sequence random(seed);
  // About 1.5 KiB of document for each node with its topic, edges and rates.
  const std::size_t node_count = target_bytes / 1580;
  const std::size_t topic_count = node_count;

  std::string out;
  out.reserve(target_bytes + target_bytes / 8);
  out += R"({"schema":"quillmesh.terminal-session/1","mode":"live","revision":4182,)";
  out += R"("runtime":{"status":"observing","distribution":"jazzy","domain_id":17,)";
  out += R"("updated_at":"2026-03-14T09:26:53.589Z","launch":{"state":"running","log":[)";
  for (std::size_t i = 0; i < target_bytes / 2000; ++i) {
    if (i > 0) {
      out += ',';
    }
    append_string(out, "[INFO] [1710408413." + std::to_string(100000000 + random.below(899999999)) +
                           "] [" + node_name(random.below(target_bytes / 1580 + 1)) +
                           "]: publishing at " + std::to_string(random.below(100)) + " Hz, queue " +
                           std::to_string(random.below(10)) + " of 10");
  }
  out += "]}},";
  out += R"("capabilities":{"export":true,"live":true,"playback":false,"record":true},)";
  out += "\"entities\":[";
  for (std::size_t i = 0; i < node_count; ++i) {
    if (i > 0) {
      out += ',';
    }
    append_node(out, random, i, topic_count);
    out += ',';
    append_topic(out, random, i);
  }
  out += "],\"baseline_entities\":[";
  for (std::size_t i = 0; i < node_count / 10; ++i) {
    if (i > 0) {
      out += ',';
    }
    append_topic(out, random, i);
  }
  out += "],\"current\":{\"label\":\"capture 2026-03-14 \u2013 field test\",\"graph\":{\"edges\":[";
  for (std::size_t i = 0; i < node_count; ++i) {
    for (std::size_t edge = 0; edge < 2; ++edge) {
      if (i > 0 || edge > 0) {
        out += ',';
      }
      out += "{\"direction\":\"";
      out += edge == 0 ? "publish" : "subscribe";
      out += "\",\"node\":\"" + node_name(i) + "\",\"topic\":\"" +
             topic_name(random.below(topic_count)) + "\",\"type\":\"";
      out += message_types[random.below(std::size(message_types))];
      out += "\"}";
    }
  }
  out += "]},\"rates\":{";
  for (std::size_t i = 0; i < topic_count; ++i) {
    if (i > 0) {
      out += ',';
    }
    append_member(out, topic_name(i));
    out += "{\"hz\":" + std::to_string(random.fraction() * 100.0) +
           ",\"window\":" + std::to_string(10 + random.below(200)) +
           ",\"jitter_ms\":" + std::to_string(random.fraction()) + '}';
  }
  out += "},\"tf\":{\"frames\":[";
  const std::size_t frame_count = node_count / 20 + 1;
  for (std::size_t i = 0; i < frame_count; ++i) {
    if (i > 0) {
      out += ',';
    }
    append_string(out, "frame_" + std::to_string(i));
  }
  out += "],\"edges\":[";
  for (std::size_t i = 1; i < frame_count; ++i) {
    if (i > 1) {
      out += ',';
    }
    out += "{\"child\":\"frame_" + std::to_string(i) + "\",\"parent\":\"frame_" +
           std::to_string(random.below(i)) + "\"}";
  }
  out += "]}},\"view_state\":{\"tab\":2,\"filter\":\"\",\"selected_id\":\"node:/alpha/camera_0\"}}";
  return out;
}

}  // namespace qm::bench
