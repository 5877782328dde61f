#include "robot_tables.hpp"

#include <algorithm>
#include <functional>

namespace qm::demo {

const std::vector<TopicSpec>& topic_specs() {
  static const std::vector<TopicSpec> topics = {
      {"/amcl_pose", "geometry_msgs/msg/PoseWithCovarianceStamped", "latched", RateKind::hz, 5.0},
      {"/battery_state", "sensor_msgs/msg/BatteryState", "default", RateKind::hz, 1.0},
      {"/behavior_tree_log", "nav2_msgs/msg/BehaviorTreeLog", "default", RateKind::hz, 3.6},
      {"/bond", "bond/msg/Status", "default", RateKind::none, 0.0},
      {"/camera/color/camera_info", "sensor_msgs/msg/CameraInfo", "sensor", RateKind::hz, 15.0},
      {"/camera/color/image_raw", "sensor_msgs/msg/Image", "sensor", RateKind::hz, 15.0},
      {"/camera/color/image_raw/compressed", "sensor_msgs/msg/CompressedImage", "sensor",
       RateKind::hz, 15.0},
      {"/camera/depth/camera_info", "sensor_msgs/msg/CameraInfo", "sensor", RateKind::hz, 15.0},
      {"/camera/depth/color/points", "sensor_msgs/msg/PointCloud2", "sensor", RateKind::hz, 15.0},
      {"/camera/depth/image_rect_raw", "sensor_msgs/msg/Image", "sensor", RateKind::hz, 15.0},
      {"/camera/extrinsics/depth_to_color", "realsense2_camera_msgs/msg/Extrinsics", "latched",
       RateKind::latched, 0.0},
      {"/camera/scan", "sensor_msgs/msg/LaserScan", "sensor", RateKind::hz, 15.0},
      {"/clock", "rosgraph_msgs/msg/Clock", "sensor", RateKind::none, 0.0},
      {"/cmd_vel", "geometry_msgs/msg/Twist", "default", RateKind::hz, 20.0},
      {"/cmd_vel_nav", "geometry_msgs/msg/Twist", "default", RateKind::hz, 20.0},
      {"/cmd_vel_safe", "geometry_msgs/msg/Twist", "default", RateKind::hz, 20.0},
      {"/cmd_vel_smoothed", "geometry_msgs/msg/Twist", "default", RateKind::hz, 20.0},
      {"/cmd_vel_teleop", "geometry_msgs/msg/Twist", "default", RateKind::none, 0.0},
      {"/collision_monitor_state", "nav2_msgs/msg/CollisionMonitorState", "default", RateKind::none,
       0.0},
      {"/controller_manager/activity", "controller_manager_msgs/msg/ControllerManagerActivity",
       "latched", RateKind::latched, 0.0},
      {"/costmap_filter_info", "nav2_msgs/msg/CostmapFilterInfo", "latched", RateKind::latched,
       0.0},
      {"/detected_dock_pose", "geometry_msgs/msg/PoseStamped", "default", RateKind::none, 0.0},
      {"/detections", "apriltag_msgs/msg/AprilTagDetectionArray", "default", RateKind::hz, 15.0},
      {"/diagnostics", "diagnostic_msgs/msg/DiagnosticArray", "default", RateKind::hz, 7.0},
      {"/diagnostics_agg", "diagnostic_msgs/msg/DiagnosticArray", "default", RateKind::hz, 1.0},
      {"/diagnostics_toplevel_state", "diagnostic_msgs/msg/DiagnosticStatus", "default",
       RateKind::hz, 1.0},
      {"/diff_drive_controller/odom", "nav_msgs/msg/Odometry", "default", RateKind::hz, 50.0},
      {"/dynamic_joint_states", "control_msgs/msg/DynamicJointState", "default", RateKind::hz,
       50.0},
      {"/e_stop", "std_msgs/msg/Bool", "default", RateKind::hz, 10.0},
      {"/events/write_split", "rosbag2_interfaces/msg/WriteSplitEvent", "default", RateKind::none,
       0.0},
      {"/filtered_dock_pose", "geometry_msgs/msg/PoseStamped", "default", RateKind::none, 0.0},
      {"/global_costmap/costmap", "nav_msgs/msg/OccupancyGrid", "latched", RateKind::hz, 1.0},
      {"/global_costmap/costmap_raw", "nav2_msgs/msg/Costmap", "latched", RateKind::hz, 1.0},
      {"/global_costmap/costmap_updates", "map_msgs/msg/OccupancyGridUpdate", "default",
       RateKind::hz, 1.0},
      {"/global_costmap/published_footprint", "geometry_msgs/msg/PolygonStamped", "default",
       RateKind::hz, 1.0},
      {"/goal_pose", "geometry_msgs/msg/PoseStamped", "default", RateKind::none, 0.0},
      {"/imu/data", "sensor_msgs/msg/Imu", "sensor", RateKind::hz, 100.0},
      {"/imu/data_raw", "sensor_msgs/msg/Imu", "sensor", RateKind::hz, 100.0},
      {"/imu/mag", "sensor_msgs/msg/MagneticField", "sensor", RateKind::hz, 50.0},
      {"/initialpose", "geometry_msgs/msg/PoseWithCovarianceStamped", "default", RateKind::none,
       0.0},
      {"/joint_states", "sensor_msgs/msg/JointState", "default", RateKind::hz, 50.0},
      {"/joy", "sensor_msgs/msg/Joy", "sensor", RateKind::hz, 20.0},
      {"/local_costmap/clearing_endpoints", "sensor_msgs/msg/PointCloud2", "default", RateKind::hz,
       5.0},
      {"/local_costmap/costmap", "nav_msgs/msg/OccupancyGrid", "latched", RateKind::hz, 2.0},
      {"/local_costmap/costmap_raw", "nav2_msgs/msg/Costmap", "latched", RateKind::hz, 2.0},
      {"/local_costmap/costmap_updates", "map_msgs/msg/OccupancyGridUpdate", "default",
       RateKind::hz, 2.0},
      {"/local_costmap/published_footprint", "geometry_msgs/msg/PolygonStamped", "default",
       RateKind::hz, 5.0},
      {"/local_costmap/voxel_marked_cloud", "sensor_msgs/msg/PointCloud2", "default", RateKind::hz,
       5.0},
      {"/local_plan", "nav_msgs/msg/Path", "default", RateKind::hz, 20.0},
      {"/map", "nav_msgs/msg/OccupancyGrid", "latched", RateKind::latched, 0.0},
      {"/odom", "nav_msgs/msg/Odometry", "default", RateKind::hz, 30.0},
      {"/parameter_events", "rcl_interfaces/msg/ParameterEvent", "parameter_events", RateKind::none,
       0.0},
      {"/particle_cloud", "nav2_msgs/msg/ParticleCloud", "sensor", RateKind::hz, 5.0},
      {"/plan", "nav_msgs/msg/Path", "default", RateKind::hz, 1.0},
      {"/plan_smoothed", "nav_msgs/msg/Path", "default", RateKind::hz, 1.0},
      {"/polygon_slowdown", "geometry_msgs/msg/PolygonStamped", "default", RateKind::hz, 10.0},
      {"/polygon_stop", "geometry_msgs/msg/PolygonStamped", "default", RateKind::hz, 10.0},
      {"/received_global_plan", "nav_msgs/msg/Path", "default", RateKind::hz, 1.0},
      {"/robot_description", "std_msgs/msg/String", "latched", RateKind::latched, 0.0},
      {"/rosout", "rcl_interfaces/msg/Log", "rosout", RateKind::none, 0.0},
      {"/safety/status", "diagnostic_msgs/msg/DiagnosticStatus", "default", RateKind::hz, 10.0},
      {"/scan", "sensor_msgs/msg/LaserScan", "default", RateKind::hz, 10.0},
      {"/scan_raw", "sensor_msgs/msg/LaserScan", "sensor", RateKind::hz, 10.0},
      {"/speed_filter_mask", "nav_msgs/msg/OccupancyGrid", "latched", RateKind::latched, 0.0},
      {"/speed_limit", "nav2_msgs/msg/SpeedLimit", "default", RateKind::none, 0.0},
      {"/staging_pose", "geometry_msgs/msg/PoseStamped", "default", RateKind::none, 0.0},
      {"/tf", "tf2_msgs/msg/TFMessage", "tf", RateKind::hz, 90.0},
      {"/tf_static", "tf2_msgs/msg/TFMessage", "latched", RateKind::latched, 0.0},
      {"/trajectories", "visualization_msgs/msg/MarkerArray", "default", RateKind::hz, 20.0},
      {"/transformed_global_plan", "nav_msgs/msg/Path", "default", RateKind::hz, 20.0},
      {"/camera/aligned_depth_to_color/image_raw", "sensor_msgs/msg/Image", "sensor", RateKind::hz,
       15.0},
  };
  return topics;
}

const NodeTable& live_nodes() {
  static const NodeTable nodes = {
      {"/amcl",
       {{"/amcl_pose", "/particle_cloud", "/tf", "/bond"},
        {"/scan", "/map", "/initialpose", "/bond"}}},
      {"/apriltag_detector",
       {{"/detections", "/tf"}, {"/camera/color/image_raw", "/camera/color/camera_info"}}},
      {"/battery_monitor", {{"/battery_state", "/diagnostics"}, {"/clock"}}},
      {"/behavior_server",
       {{"/cmd_vel_nav", "/bond"},
        {"/local_costmap/costmap_raw", "/local_costmap/published_footprint", "/bond"}}},
      {"/bt_navigator", {{"/behavior_tree_log", "/bond"}, {"/goal_pose", "/odom", "/bond"}}},
      {"/bt_navigator_navigate_through_poses_rclcpp_node", {{}, {}}},
      {"/bt_navigator_navigate_to_pose_rclcpp_node", {{}, {}}},
      {"/camera/realsense",
       {{"/camera/color/image_raw", "/camera/color/image_raw/compressed",
         "/camera/color/camera_info", "/camera/depth/image_rect_raw", "/camera/depth/camera_info",
         "/camera/depth/color/points", "/camera/extrinsics/depth_to_color", "/tf_static"},
        {}}},
      {"/collision_monitor",
       {{"/cmd_vel_safe", "/collision_monitor_state", "/polygon_stop", "/polygon_slowdown",
         "/bond"},
        {"/cmd_vel_smoothed", "/scan", "/camera/scan", "/bond"}}},
      {"/controller_manager",
       {{"/diagnostics", "/controller_manager/activity"}, {"/robot_description"}}},
      {"/controller_server",
       {{"/cmd_vel_nav", "/local_plan", "/received_global_plan", "/transformed_global_plan",
         "/trajectories", "/bond"},
        {"/odom", "/speed_limit", "/bond"}}},
      {"/costmap_filter_info_server", {{"/costmap_filter_info", "/bond"}, {"/bond"}}},
      {"/diagnostics_aggregator",
       {{"/diagnostics_agg", "/diagnostics_toplevel_state"}, {"/diagnostics"}}},
      {"/diff_drive_controller", {{"/diff_drive_controller/odom"}, {"/cmd_vel"}}},
      {"/docking_server",
       {{"/filtered_dock_pose", "/staging_pose", "/bond"},
        {"/detected_dock_pose", "/odom", "/bond"}}},
      {"/ekf_filter_node",
       {{"/odom", "/tf", "/diagnostics"}, {"/diff_drive_controller/odom", "/imu/data"}}},
      {"/filter_mask_server", {{"/speed_filter_mask", "/bond"}, {"/bond"}}},
      {"/foxglove_bridge",
       {{"/goal_pose", "/initialpose"},
        {"/map", "/scan", "/plan", "/local_plan", "/tf", "/tf_static", "/robot_description",
         "/local_costmap/costmap", "/global_costmap/costmap", "/camera/color/image_raw/compressed",
         "/diagnostics_agg", "/odom", "/particle_cloud", "/collision_monitor_state",
         "/parameter_events"}}},
      {"/global_costmap/global_costmap",
       {{"/global_costmap/costmap", "/global_costmap/costmap_updates",
         "/global_costmap/costmap_raw", "/global_costmap/published_footprint", "/speed_limit"},
        {"/map", "/scan", "/costmap_filter_info", "/speed_filter_mask"}}},
      {"/imu_driver", {{"/imu/data_raw", "/imu/mag", "/diagnostics"}, {}}},
      {"/imu_filter", {{"/imu/data"}, {"/imu/data_raw", "/imu/mag"}}},
      {"/joint_state_broadcaster", {{"/joint_states", "/dynamic_joint_states"}, {}}},
      {"/joy_node", {{"/joy"}, {}}},
      {"/laser_filter", {{"/scan"}, {"/scan_raw"}}},
      {"/launch_ros_41190", {{}, {}}},
      {"/lidar_driver", {{"/scan_raw", "/diagnostics"}, {}}},
      {"/lifecycle_manager_localization", {{"/bond"}, {"/bond"}}},
      {"/lifecycle_manager_navigation", {{"/bond", "/diagnostics"}, {"/bond"}}},
      {"/local_costmap/local_costmap",
       {{"/local_costmap/costmap", "/local_costmap/costmap_updates", "/local_costmap/costmap_raw",
         "/local_costmap/published_footprint", "/local_costmap/voxel_marked_cloud",
         "/local_costmap/clearing_endpoints"},
        {"/scan", "/camera/depth/color/points"}}},
      {"/map_server", {{"/map", "/bond"}, {"/bond"}}},
      {"/nav2_container", {{}, {}}},
      {"/planner_server", {{"/plan", "/bond"}, {"/bond"}}},
      {"/pointcloud_to_laserscan", {{"/camera/scan"}, {"/camera/depth/color/points"}}},
      {"/robot_state_publisher", {{"/robot_description", "/tf", "/tf_static"}, {"/joint_states"}}},
      {"/rosbag2_recorder",
       {{"/events/write_split"},
        {"/scan", "/odom", "/tf", "/tf_static", "/imu/data", "/cmd_vel", "/cmd_vel_nav", "/rosout",
         "/diagnostics", "/joint_states", "/amcl_pose", "/plan", "/camera/color/camera_info",
         "/battery_state"}}},
      {"/safety_plc_bridge", {{"/e_stop", "/safety/status", "/diagnostics"}, {}}},
      {"/smoother_server",
       {{"/plan_smoothed", "/bond"},
        {"/global_costmap/costmap_raw", "/global_costmap/published_footprint", "/bond"}}},
      {"/static_tf_camera", {{"/tf_static"}, {}}},
      {"/system_monitor", {{"/diagnostics"}, {}}},
      {"/teleop", {{"/cmd_vel_teleop"}, {"/joy"}}},
      {"/twist_mux",
       {{"/cmd_vel", "/diagnostics"}, {"/cmd_vel_safe", "/cmd_vel_teleop", "/e_stop"}}},
      {"/velocity_smoother", {{"/cmd_vel_smoothed", "/bond"}, {"/cmd_vel_nav", "/odom", "/bond"}}},
      {"/waypoint_follower", {{"/bond"}, {"/bond"}}},
      {"/vistrel_48213", {{}, {"/tf", "/tf_static"}}},
  };
  return nodes;
}

int message_size(std::string_view type) {
  static const std::map<std::string, int, std::less<>> sizes = {
      {"apriltag_msgs/msg/AprilTagDetectionArray", 96},
      {"bond/msg/Status", 64},
      {"control_msgs/msg/DynamicJointState", 212},
      {"controller_manager_msgs/msg/ControllerManagerActivity", 310},
      {"diagnostic_msgs/msg/DiagnosticArray", 1480},
      {"diagnostic_msgs/msg/DiagnosticStatus", 188},
      {"geometry_msgs/msg/PolygonStamped", 132},
      {"geometry_msgs/msg/PoseWithCovarianceStamped", 348},
      {"geometry_msgs/msg/Twist", 48},
      {"map_msgs/msg/OccupancyGridUpdate", 3656},
      {"nav2_msgs/msg/BehaviorTreeLog", 420},
      {"nav2_msgs/msg/CostmapFilterInfo", 80},
      {"nav2_msgs/msg/Costmap", 14472},
      {"nav2_msgs/msg/ParticleCloud", 56024},
      {"nav_msgs/msg/OccupancyGrid", 14500},
      {"nav_msgs/msg/Odometry", 720},
      {"nav_msgs/msg/Path", 9640},
      {"sensor_msgs/msg/BatteryState", 160},
      {"sensor_msgs/msg/CameraInfo", 400},
      {"sensor_msgs/msg/CompressedImage", 61240},
      {"sensor_msgs/msg/Image", 921654},
      {"sensor_msgs/msg/Imu", 324},
      {"sensor_msgs/msg/JointState", 164},
      {"sensor_msgs/msg/Joy", 96},
      {"sensor_msgs/msg/LaserScan", 11604},
      {"sensor_msgs/msg/MagneticField", 104},
      {"sensor_msgs/msg/PointCloud2", 48216},
      {"std_msgs/msg/Bool", 1},
      {"std_msgs/msg/String", 18204},
      {"tf2_msgs/msg/TFMessage", 172},
      {"visualization_msgs/msg/MarkerArray", 30120},
  };
  const auto found = sizes.find(type);
  return found == sizes.end() ? 0 : found->second;
}

const TopicSpec* find_topic(std::string_view name) {
  const auto& topics = topic_specs();
  const auto found = std::find_if(topics.begin(), topics.end(),
                                  [&](const TopicSpec& t) { return t.name == name; });
  return found == topics.end() ? nullptr : &*found;
}

nlohmann::json qos_profile(std::string_view name) {
  using nlohmann::json;
  auto profile = [](const char* reliability, const char* durability, int depth) {
    return json{{"reliability", reliability},
                {"durability", durability},
                {"history", "keep_last"},
                {"depth", depth}};
  };
  if (name == "sensor") {
    return profile("best_effort", "volatile", 5);
  }
  if (name == "latched") {
    return profile("reliable", "transient_local", 1);
  }
  if (name == "tf") {
    return profile("reliable", "volatile", 100);
  }
  if (name == "rosout") {
    return profile("reliable", "transient_local", 1000);
  }
  if (name == "parameter_events") {
    return profile("reliable", "volatile", 1000);
  }
  return profile("reliable", "volatile", 10);
}

NodeTable with_default_endpoints(NodeTable nodes) {
  for (auto& [name, spec] : nodes) {
    spec.publishes.emplace_back("/rosout");
    spec.publishes.emplace_back("/parameter_events");
  }
  return nodes;
}

const QosOverrides& live_qos_overrides() {
  // The tag detector still subscribes reliably to the colour stream.
  static const QosOverrides overrides = {
      {{"/apriltag_detector", "/camera/color/image_raw", "sub"}, "default"}};
  return overrides;
}

const std::vector<TfEdgeSpec>& live_tf_edges() {
  static const std::vector<TfEdgeSpec> edges = {
      {"map", "odom", 9.9, {"/amcl"}},
      {"odom", "base_link", 30.0, {"/ekf_filter_node"}},
      {"base_link", "base_footprint", std::nullopt, {"/robot_state_publisher"}},
      {"base_link", "base_laser", std::nullopt, {"/robot_state_publisher"}},
      {"base_link", "imu_link", std::nullopt, {"/robot_state_publisher"}},
      {"base_link", "caster_link", std::nullopt, {"/robot_state_publisher"}},
      {"base_link", "wheel_left_link", 50.0, {"/robot_state_publisher"}},
      {"base_link", "wheel_right_link", 50.0, {"/robot_state_publisher"}},
      {"base_link", "camera_mount", std::nullopt, {"/robot_state_publisher"}},
      {"camera_mount", "camera_link", std::nullopt, {"/robot_state_publisher"}},
      {"base_link", "camera_link", std::nullopt, {"/static_tf_camera"}},
      {"camera_link", "camera_color_frame", std::nullopt, {"/camera/realsense"}},
      {"camera_color_frame", "camera_color_optical_frame", std::nullopt, {"/camera/realsense"}},
      {"camera_link", "camera_depth_frame", std::nullopt, {"/camera/realsense"}},
      {"camera_depth_frame", "camera_depth_optical_frame", std::nullopt, {"/camera/realsense"}},
  };
  return edges;
}

const nlohmann::json& expected_rates() {
  // Integral bounds stay integers, as the profile declares them.
  static const nlohmann::json rates = {
      {"/battery_state", {{"min_hz", 0.5}, {"max_hz", 2}}},
      {"/camera/color/image_raw", {{"min_hz", 14}, {"max_hz", 16}}},
      {"/cmd_vel", {{"min_hz", 15}}},
      {"/diagnostics_agg", {{"max_hz", 2}}},
      {"/imu/data", {{"min_hz", 90}, {"max_hz", 110}}},
      {"/joint_states", {{"min_hz", 45}, {"max_hz", 55}}},
      {"/local_costmap/costmap", {{"min_hz", 1.5}, {"max_hz", 2.5}}},
      {"/odom", {{"min_hz", 25}, {"max_hz", 35}}},
      {"/scan", {{"min_hz", 9}, {"max_hz", 11}}},
      {"/tf", {{"min_hz", 50}}},
  };
  return rates;
}

const std::vector<std::string>& readiness_topics() {
  static const std::vector<std::string> topics = {"/scan", "/odom", "/detected_dock_pose"};
  return topics;
}

const std::map<std::string, std::string>& skipped_rates() {
  static const std::map<std::string, std::string> skipped = {
      {"/bond", "lifecycle heartbeat; not sampled"},
      {"/camera/depth/image_rect_raw", "per-refresh sample budget of 48 topics reached"},
      {"/detections",
       "per-refresh sample budget of 48 topics reached; no subscriber in this capture"},
      {"/events/write_split", "event topic of the recorder; no rate expected"},
      {"/goal_pose", "event topic: published only when a goal is sent"},
      {"/initialpose", "event topic: published only when a pose estimate is set"},
  };
  return skipped;
}

bool is_unstamped(std::string_view type) {
  static const std::set<std::string, std::less<>> unstamped = {
      "bond/msg/Status",
      "controller_manager_msgs/msg/ControllerManagerActivity",
      "diagnostic_msgs/msg/DiagnosticStatus",
      "geometry_msgs/msg/Twist",
      "nav2_msgs/msg/CostmapFilterInfo",
      "std_msgs/msg/Bool",
      "std_msgs/msg/String",
      "tf2_msgs/msg/TFMessage",
      "visualization_msgs/msg/MarkerArray",
  };
  return unstamped.contains(type);
}

const std::set<std::string>& unlisted_nodes() {
  static const std::set<std::string> nodes = {"/bt_navigator_navigate_through_poses_rclcpp_node"};
  return nodes;
}

const std::set<std::string>& sim_time_nodes() {
  static const std::set<std::string> nodes = {"/battery_monitor"};
  return nodes;
}

const std::set<std::string>& unanswered_parameter_nodes() {
  static const std::set<std::string> nodes = {"/camera/realsense", "/nav2_container"};
  return nodes;
}

const std::set<std::string>& not_queried_nodes() {
  static const std::set<std::string> nodes = {"/foxglove_bridge", "/rosbag2_recorder",
                                              std::string(observer_node),
                                              std::string(baseline_observer_node)};
  return nodes;
}

const std::set<std::string>& stale_parameter_nodes() {
  static const std::set<std::string> nodes = {"/foxglove_bridge"};
  return nodes;
}

}  // namespace qm::demo
