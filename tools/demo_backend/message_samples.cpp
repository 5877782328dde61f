#include "message_samples.hpp"

#include <array>

#include "robot_tables.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct FramePrefix {
  std::string_view prefix;
  std::string_view frame;
};

constexpr std::array<FramePrefix, 14> frames = {{
    {"/scan", "base_laser"},
    {"/camera/scan", "camera_depth_frame"},
    {"/imu/", "imu_link"},
    {"/camera/color/", "camera_color_optical_frame"},
    {"/camera/depth/", "camera_depth_optical_frame"},
    {"/camera/aligned", "camera_color_optical_frame"},
    {"/odom", "odom"},
    {"/diff_drive_controller/odom", "odom"},
    {"/local_", "odom"},
    {"/global_costmap/", "map"},
    {"/map", "map"},
    {"/amcl_pose", "map"},
    {"/plan", "map"},
    {"/particle_cloud", "map"},
}};

json body_of(std::string_view type, std::size_t index, std::mt19937_64& random) {
  std::normal_distribution<double> noise(0.0, 1.0);
  const double step = static_cast<double>(index);
  if (type == "nav_msgs/msg/Odometry") {
    return {{"child_frame_id", "base_link"},
            {"pose",
             {{"position", {{"x", round_to(12.418 + 0.012 * step, 3)}, {"y", 3.106}, {"z", 0.0}}},
              {"yaw", 0.0412}}},
            {"twist",
             {{"angular_z", 0.012}, {"linear_x", round_to(0.352 + 0.003 * noise(random), 3)}}}};
  }
  if (type == "sensor_msgs/msg/LaserScan") {
    return {{"angle_increment", 0.0087},
            {"angle_max", 3.1416},
            {"angle_min", -3.1416},
            {"nearest_m", round_to(0.64 + 0.01 * noise(random), 3)},
            {"range_max", 16.0},
            {"range_min", 0.15},
            {"ranges", "720 floats, not shown"}};
  }
  if (type == "sensor_msgs/msg/Imu") {
    return {{"angular_velocity", {{"z", round_to(0.012 + 0.002 * noise(random), 4)}}},
            {"covariance", "27 floats, not shown"},
            {"linear_acceleration",
             {{"x", round_to(0.05 * noise(random), 3)},
              {"z", round_to(9.806 + 0.01 * noise(random), 3)}}}};
  }
  if (type == "sensor_msgs/msg/Image") {
    return {
        {"data", "921600 bytes, not shown"}, {"encoding", "rgb8"}, {"height", 480}, {"width", 640}};
  }
  if (type == "geometry_msgs/msg/Twist") {
    return {{"angular", {{"z", round_to(0.05 * noise(random), 3)}}},
            {"linear", {{"x", round_to(0.35 + 0.01 * noise(random), 3)}}}};
  }
  return {{"data", "fields not decoded in this sample"}};
}

}  // namespace

std::string frame_of_topic(std::string_view topic, std::string_view type) {
  if (is_unstamped(type)) {
    return "";
  }
  for (const FramePrefix& entry : frames) {
    if (topic.starts_with(entry.prefix)) {
      return std::string(entry.frame);
    }
  }
  return "base_link";
}

json sample_messages(std::string_view topic, std::string_view type, double rate_hz, double stamp_s,
                     std::mt19937_64& random) {
  const std::string frame = frame_of_topic(topic, type);
  const double period = rate_hz > 0.0 ? 1.0 / rate_hz : 0.1;
  json messages = json::array();
  for (std::size_t index = 0; index < 3; ++index) {
    json message = body_of(type, index, random);
    if (!frame.empty()) {
      message["header"] = {{"frame_id", frame},
                           {"stamp", round_to(stamp_s + period * static_cast<double>(index), 3)}};
    }
    message["sequence"] = index;
    messages.push_back(std::move(message));
  }
  return messages;
}

json message_shape(std::string_view type) {
  if (type == "nav_msgs/msg/Odometry") {
    return {{"covariance", "36 floats each, not shown"},
            {"fields", {"header", "child_frame_id", "pose", "twist"}}};
  }
  if (type == "sensor_msgs/msg/LaserScan") {
    return {{"fields",
             {"header", "angle_min", "angle_max", "angle_increment", "time_increment", "scan_time",
              "range_min", "range_max", "ranges", "intensities"}}};
  }
  if (type == "sensor_msgs/msg/Imu") {
    return {{"fields", {"header", "orientation", "angular_velocity", "linear_acceleration"}}};
  }
  if (type == "geometry_msgs/msg/Twist") {
    return {{"fields", {"linear", "angular"}}};
  }
  return {{"fields", "not decoded by the demo backend"}, {"type", type}};
}

}  // namespace qm::demo
