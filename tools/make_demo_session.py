#!/usr/bin/env python3
"""Writes examples/demo-session.json, the static demo session of a mobile robot.

The document describes amr-07, a warehouse robot running a Nav2 navigation stack,
during a docking bring-up: a live capture, a baseline capture from a week earlier,
live rates, launch state, findings, runs, playback, a development task and the
assistant. Everything is derived from the tables below, so the output is the same
on every run. Use --check to verify that the committed file is up to date.
"""

import argparse
import copy
import datetime
import hashlib
import json
import pathlib
import sys
import zlib

REPOSITORY = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_OUTPUT = REPOSITORY / "examples" / "demo-session.json"

SCHEMA = "quillmesh.terminal-session/1"
OBSERVER = "/vistrel_48213"
BASELINE_OBSERVER = "/vistrel_39077"
LAUNCH_PID = 41190
BASELINE_LAUNCH_PID = 38854
WINDOW_S = 5.0
SESSION_START = datetime.datetime(2026, 12, 9, 13, 41, 2, tzinfo=datetime.timezone.utc)
UPDATED_AT = datetime.datetime(2026, 12, 9, 14, 3, 27, tzinfo=datetime.timezone.utc)
BASELINE_AT = datetime.datetime(2026, 12, 2, 16, 20, 44, tzinfo=datetime.timezone.utc)
SESSION_DIR = "/home/robot/.quillmesh/sessions/2026-12-09T13-41-02Z"
WORKSPACE = "/home/robot/ws/amr_ws"

QOS_PROFILES = {
    "default": {"reliability": "reliable", "durability": "volatile", "history": "keep_last", "depth": 10},
    "sensor": {"reliability": "best_effort", "durability": "volatile", "history": "keep_last", "depth": 5},
    "latched": {"reliability": "reliable", "durability": "transient_local", "history": "keep_last", "depth": 1},
    "tf": {"reliability": "reliable", "durability": "volatile", "history": "keep_last", "depth": 100},
    "rosout": {"reliability": "reliable", "durability": "transient_local", "history": "keep_last", "depth": 1000},
    "parameter_events": {"reliability": "reliable", "durability": "volatile", "history": "keep_last", "depth": 1000},
}

# Topic name -> (message type, QoS profile, nominal rate). The rate is a number in Hz,
# "latched" for transient-local topics, or None for topics without a steady rate.
TOPICS = {
    "/amcl_pose": ("geometry_msgs/msg/PoseWithCovarianceStamped", "latched", 5.0),
    "/battery_state": ("sensor_msgs/msg/BatteryState", "default", 1.0),
    "/behavior_tree_log": ("nav2_msgs/msg/BehaviorTreeLog", "default", 3.6),
    "/bond": ("bond/msg/Status", "default", None),
    "/camera/color/camera_info": ("sensor_msgs/msg/CameraInfo", "sensor", 15.0),
    "/camera/color/image_raw": ("sensor_msgs/msg/Image", "sensor", 15.0),
    "/camera/color/image_raw/compressed": ("sensor_msgs/msg/CompressedImage", "sensor", 15.0),
    "/camera/depth/camera_info": ("sensor_msgs/msg/CameraInfo", "sensor", 15.0),
    "/camera/depth/color/points": ("sensor_msgs/msg/PointCloud2", "sensor", 15.0),
    "/camera/depth/image_rect_raw": ("sensor_msgs/msg/Image", "sensor", 15.0),
    "/camera/extrinsics/depth_to_color": ("realsense2_camera_msgs/msg/Extrinsics", "latched", "latched"),
    "/camera/scan": ("sensor_msgs/msg/LaserScan", "sensor", 15.0),
    "/clock": ("rosgraph_msgs/msg/Clock", "sensor", None),
    "/cmd_vel": ("geometry_msgs/msg/Twist", "default", 20.0),
    "/cmd_vel_nav": ("geometry_msgs/msg/Twist", "default", 20.0),
    "/cmd_vel_safe": ("geometry_msgs/msg/Twist", "default", 20.0),
    "/cmd_vel_smoothed": ("geometry_msgs/msg/Twist", "default", 20.0),
    "/cmd_vel_teleop": ("geometry_msgs/msg/Twist", "default", None),
    "/collision_monitor_state": ("nav2_msgs/msg/CollisionMonitorState", "default", None),
    "/controller_manager/activity": ("controller_manager_msgs/msg/ControllerManagerActivity", "latched", "latched"),
    "/costmap_filter_info": ("nav2_msgs/msg/CostmapFilterInfo", "latched", "latched"),
    "/detected_dock_pose": ("geometry_msgs/msg/PoseStamped", "default", None),
    "/detections": ("apriltag_msgs/msg/AprilTagDetectionArray", "default", 15.0),
    "/diagnostics": ("diagnostic_msgs/msg/DiagnosticArray", "default", 7.0),
    "/diagnostics_agg": ("diagnostic_msgs/msg/DiagnosticArray", "default", 1.0),
    "/diagnostics_toplevel_state": ("diagnostic_msgs/msg/DiagnosticStatus", "default", 1.0),
    "/diff_drive_controller/odom": ("nav_msgs/msg/Odometry", "default", 50.0),
    "/dynamic_joint_states": ("control_msgs/msg/DynamicJointState", "default", 50.0),
    "/e_stop": ("std_msgs/msg/Bool", "default", 10.0),
    "/events/write_split": ("rosbag2_interfaces/msg/WriteSplitEvent", "default", None),
    "/filtered_dock_pose": ("geometry_msgs/msg/PoseStamped", "default", None),
    "/global_costmap/costmap": ("nav_msgs/msg/OccupancyGrid", "latched", 1.0),
    "/global_costmap/costmap_raw": ("nav2_msgs/msg/Costmap", "latched", 1.0),
    "/global_costmap/costmap_updates": ("map_msgs/msg/OccupancyGridUpdate", "default", 1.0),
    "/global_costmap/published_footprint": ("geometry_msgs/msg/PolygonStamped", "default", 1.0),
    "/goal_pose": ("geometry_msgs/msg/PoseStamped", "default", None),
    "/imu/data": ("sensor_msgs/msg/Imu", "sensor", 100.0),
    "/imu/data_raw": ("sensor_msgs/msg/Imu", "sensor", 100.0),
    "/imu/mag": ("sensor_msgs/msg/MagneticField", "sensor", 50.0),
    "/initialpose": ("geometry_msgs/msg/PoseWithCovarianceStamped", "default", None),
    "/joint_states": ("sensor_msgs/msg/JointState", "default", 50.0),
    "/joy": ("sensor_msgs/msg/Joy", "sensor", 20.0),
    "/local_costmap/clearing_endpoints": ("sensor_msgs/msg/PointCloud2", "default", 5.0),
    "/local_costmap/costmap": ("nav_msgs/msg/OccupancyGrid", "latched", 2.0),
    "/local_costmap/costmap_raw": ("nav2_msgs/msg/Costmap", "latched", 2.0),
    "/local_costmap/costmap_updates": ("map_msgs/msg/OccupancyGridUpdate", "default", 2.0),
    "/local_costmap/published_footprint": ("geometry_msgs/msg/PolygonStamped", "default", 5.0),
    "/local_costmap/voxel_marked_cloud": ("sensor_msgs/msg/PointCloud2", "default", 5.0),
    "/local_plan": ("nav_msgs/msg/Path", "default", 20.0),
    "/map": ("nav_msgs/msg/OccupancyGrid", "latched", "latched"),
    "/odom": ("nav_msgs/msg/Odometry", "default", 30.0),
    "/parameter_events": ("rcl_interfaces/msg/ParameterEvent", "parameter_events", None),
    "/particle_cloud": ("nav2_msgs/msg/ParticleCloud", "sensor", 5.0),
    "/plan": ("nav_msgs/msg/Path", "default", 1.0),
    "/plan_smoothed": ("nav_msgs/msg/Path", "default", 1.0),
    "/polygon_slowdown": ("geometry_msgs/msg/PolygonStamped", "default", 10.0),
    "/polygon_stop": ("geometry_msgs/msg/PolygonStamped", "default", 10.0),
    "/received_global_plan": ("nav_msgs/msg/Path", "default", 1.0),
    "/robot_description": ("std_msgs/msg/String", "latched", "latched"),
    "/rosout": ("rcl_interfaces/msg/Log", "rosout", None),
    "/safety/status": ("diagnostic_msgs/msg/DiagnosticStatus", "default", 10.0),
    "/scan": ("sensor_msgs/msg/LaserScan", "default", 10.0),
    "/scan_raw": ("sensor_msgs/msg/LaserScan", "sensor", 10.0),
    "/speed_filter_mask": ("nav_msgs/msg/OccupancyGrid", "latched", "latched"),
    "/speed_limit": ("nav2_msgs/msg/SpeedLimit", "default", None),
    "/staging_pose": ("geometry_msgs/msg/PoseStamped", "default", None),
    "/tf": ("tf2_msgs/msg/TFMessage", "tf", 90.0),
    "/tf_static": ("tf2_msgs/msg/TFMessage", "latched", "latched"),
    "/trajectories": ("visualization_msgs/msg/MarkerArray", "default", 20.0),
    "/transformed_global_plan": ("nav_msgs/msg/Path", "default", 20.0),
    # Present only in the baseline capture.
    "/camera/aligned_depth_to_color/image_raw": ("sensor_msgs/msg/Image", "sensor", 15.0),
}

BOND = ["/bond"]

# Node name -> (publishes, subscribes). Every node also publishes /rosout and
# /parameter_events, as ROS 2 nodes do by default.
NODES = {
    "/amcl": (["/amcl_pose", "/particle_cloud", "/tf"] + BOND, ["/scan", "/map", "/initialpose"] + BOND),
    "/apriltag_detector": (["/detections", "/tf"], ["/camera/color/image_raw", "/camera/color/camera_info"]),
    "/battery_monitor": (["/battery_state", "/diagnostics"], ["/clock"]),
    "/behavior_server": (["/cmd_vel_nav"] + BOND, ["/local_costmap/costmap_raw", "/local_costmap/published_footprint"] + BOND),
    "/bt_navigator": (["/behavior_tree_log"] + BOND, ["/goal_pose", "/odom"] + BOND),
    "/bt_navigator_navigate_through_poses_rclcpp_node": ([], []),
    "/bt_navigator_navigate_to_pose_rclcpp_node": ([], []),
    "/camera/realsense": (
        [
            "/camera/color/image_raw",
            "/camera/color/image_raw/compressed",
            "/camera/color/camera_info",
            "/camera/depth/image_rect_raw",
            "/camera/depth/camera_info",
            "/camera/depth/color/points",
            "/camera/extrinsics/depth_to_color",
            "/tf_static",
        ],
        [],
    ),
    "/collision_monitor": (
        ["/cmd_vel_safe", "/collision_monitor_state", "/polygon_stop", "/polygon_slowdown"] + BOND,
        ["/cmd_vel_smoothed", "/scan", "/camera/scan"] + BOND,
    ),
    "/controller_manager": (["/diagnostics", "/controller_manager/activity"], ["/robot_description"]),
    "/controller_server": (
        ["/cmd_vel_nav", "/local_plan", "/received_global_plan", "/transformed_global_plan", "/trajectories"] + BOND,
        ["/odom", "/speed_limit"] + BOND,
    ),
    "/costmap_filter_info_server": (["/costmap_filter_info"] + BOND, BOND),
    "/diagnostics_aggregator": (["/diagnostics_agg", "/diagnostics_toplevel_state"], ["/diagnostics"]),
    "/diff_drive_controller": (["/diff_drive_controller/odom"], ["/cmd_vel"]),
    "/docking_server": (["/filtered_dock_pose", "/staging_pose"] + BOND, ["/detected_dock_pose", "/odom"] + BOND),
    "/ekf_filter_node": (["/odom", "/tf", "/diagnostics"], ["/diff_drive_controller/odom", "/imu/data"]),
    "/filter_mask_server": (["/speed_filter_mask"] + BOND, BOND),
    "/foxglove_bridge": (
        ["/goal_pose", "/initialpose"],
        [
            "/map",
            "/scan",
            "/plan",
            "/local_plan",
            "/tf",
            "/tf_static",
            "/robot_description",
            "/local_costmap/costmap",
            "/global_costmap/costmap",
            "/camera/color/image_raw/compressed",
            "/diagnostics_agg",
            "/odom",
            "/particle_cloud",
            "/collision_monitor_state",
            "/parameter_events",
        ],
    ),
    "/global_costmap/global_costmap": (
        [
            "/global_costmap/costmap",
            "/global_costmap/costmap_updates",
            "/global_costmap/costmap_raw",
            "/global_costmap/published_footprint",
            "/speed_limit",
        ],
        ["/map", "/scan", "/costmap_filter_info", "/speed_filter_mask"],
    ),
    "/imu_driver": (["/imu/data_raw", "/imu/mag", "/diagnostics"], []),
    "/imu_filter": (["/imu/data"], ["/imu/data_raw", "/imu/mag"]),
    "/joint_state_broadcaster": (["/joint_states", "/dynamic_joint_states"], []),
    "/joy_node": (["/joy"], []),
    "/laser_filter": (["/scan"], ["/scan_raw"]),
    f"/launch_ros_{LAUNCH_PID}": ([], []),
    "/lidar_driver": (["/scan_raw", "/diagnostics"], []),
    "/lifecycle_manager_localization": (BOND, BOND),
    "/lifecycle_manager_navigation": (BOND + ["/diagnostics"], BOND),
    "/local_costmap/local_costmap": (
        [
            "/local_costmap/costmap",
            "/local_costmap/costmap_updates",
            "/local_costmap/costmap_raw",
            "/local_costmap/published_footprint",
            "/local_costmap/voxel_marked_cloud",
            "/local_costmap/clearing_endpoints",
        ],
        ["/scan", "/camera/depth/color/points"],
    ),
    "/map_server": (["/map"] + BOND, BOND),
    "/nav2_container": ([], []),
    "/planner_server": (["/plan"] + BOND, BOND),
    "/pointcloud_to_laserscan": (["/camera/scan"], ["/camera/depth/color/points"]),
    "/robot_state_publisher": (["/robot_description", "/tf", "/tf_static"], ["/joint_states"]),
    "/rosbag2_recorder": (
        ["/events/write_split"],
        [
            "/scan",
            "/odom",
            "/tf",
            "/tf_static",
            "/imu/data",
            "/cmd_vel",
            "/cmd_vel_nav",
            "/rosout",
            "/diagnostics",
            "/joint_states",
            "/amcl_pose",
            "/plan",
            "/camera/color/camera_info",
            "/battery_state",
        ],
    ),
    "/safety_plc_bridge": (["/e_stop", "/safety/status", "/diagnostics"], []),
    "/smoother_server": (["/plan_smoothed"] + BOND, ["/global_costmap/costmap_raw", "/global_costmap/published_footprint"] + BOND),
    "/static_tf_camera": (["/tf_static"], []),
    "/system_monitor": (["/diagnostics"], []),
    "/teleop": (["/cmd_vel_teleop"], ["/joy"]),
    "/twist_mux": (["/cmd_vel", "/diagnostics"], ["/cmd_vel_safe", "/cmd_vel_teleop", "/e_stop"]),
    "/velocity_smoother": (["/cmd_vel_smoothed"] + BOND, ["/cmd_vel_nav", "/odom"] + BOND),
    "/waypoint_follower": (BOND, BOND),
    OBSERVER: ([], ["/tf", "/tf_static"]),
}

# Endpoints whose QoS differs from their topic's profile.
QOS_OVERRIDES = {
    ("/apriltag_detector", "/camera/color/image_raw", "sub"): "default",
}

# Nodes seen only through their endpoints, not in the node list.
UNLISTED_NODES = {"/bt_navigator_navigate_through_poses_rclcpp_node"}

SIM_TIME_NODES = {"/battery_monitor"}
UNANSWERED_PARAMETER_NODES = {"/camera/realsense", "/nav2_container"}
NOT_QUERIED_NODES = {"/foxglove_bridge", "/rosbag2_recorder", OBSERVER, BASELINE_OBSERVER}
STALE_PARAMETER_NODES = {"/foxglove_bridge"}

# Transform edges: (parent, child, rate in Hz or None when static, publishing nodes).
TF_EDGES = [
    ("map", "odom", 9.9, ["/amcl"]),
    ("odom", "base_link", 30.0, ["/ekf_filter_node"]),
    ("base_link", "base_footprint", None, ["/robot_state_publisher"]),
    ("base_link", "base_laser", None, ["/robot_state_publisher"]),
    ("base_link", "imu_link", None, ["/robot_state_publisher"]),
    ("base_link", "caster_link", None, ["/robot_state_publisher"]),
    ("base_link", "wheel_left_link", 50.0, ["/robot_state_publisher"]),
    ("base_link", "wheel_right_link", 50.0, ["/robot_state_publisher"]),
    ("base_link", "camera_mount", None, ["/robot_state_publisher"]),
    ("camera_mount", "camera_link", None, ["/robot_state_publisher"]),
    ("base_link", "camera_link", None, ["/static_tf_camera"]),
    ("camera_link", "camera_color_frame", None, ["/camera/realsense"]),
    ("camera_color_frame", "camera_color_optical_frame", None, ["/camera/realsense"]),
    ("camera_link", "camera_depth_frame", None, ["/camera/realsense"]),
    ("camera_depth_frame", "camera_depth_optical_frame", None, ["/camera/realsense"]),
]

# Declared rate bounds of the saved profile.
EXPECTED_RATES = {
    "/battery_state": {"min_hz": 0.5, "max_hz": 2},
    "/camera/color/image_raw": {"min_hz": 14, "max_hz": 16},
    "/cmd_vel": {"min_hz": 15},
    "/diagnostics_agg": {"max_hz": 2},
    "/imu/data": {"min_hz": 90, "max_hz": 110},
    "/joint_states": {"min_hz": 45, "max_hz": 55},
    "/local_costmap/costmap": {"min_hz": 1.5, "max_hz": 2.5},
    "/odom": {"min_hz": 25, "max_hz": 35},
    "/scan": {"min_hz": 9, "max_hz": 11},
    "/tf": {"min_hz": 50},
}

READINESS_TOPICS = ["/scan", "/odom", "/detected_dock_pose"]

SKIPPED_RATES = {
    "/bond": "lifecycle heartbeat; not sampled",
    "/camera/depth/image_rect_raw": "per-refresh sample budget of 48 topics reached",
    "/detections": "per-refresh sample budget of 48 topics reached; no subscriber in this capture",
    "/events/write_split": "event topic of the recorder; no rate expected",
    "/goal_pose": "event topic: published only when a goal is sent",
    "/initialpose": "event topic: published only when a pose estimate is set",
}

MESSAGE_SIZES = {
    "apriltag_msgs/msg/AprilTagDetectionArray": 96,
    "bond/msg/Status": 64,
    "control_msgs/msg/DynamicJointState": 212,
    "controller_manager_msgs/msg/ControllerManagerActivity": 310,
    "diagnostic_msgs/msg/DiagnosticArray": 1480,
    "diagnostic_msgs/msg/DiagnosticStatus": 188,
    "geometry_msgs/msg/PolygonStamped": 132,
    "geometry_msgs/msg/PoseWithCovarianceStamped": 348,
    "geometry_msgs/msg/Twist": 48,
    "map_msgs/msg/OccupancyGridUpdate": 3656,
    "nav2_msgs/msg/BehaviorTreeLog": 420,
    "nav2_msgs/msg/CostmapFilterInfo": 80,
    "nav2_msgs/msg/Costmap": 14472,
    "nav2_msgs/msg/ParticleCloud": 56024,
    "nav_msgs/msg/OccupancyGrid": 14500,
    "nav_msgs/msg/Odometry": 720,
    "nav_msgs/msg/Path": 9640,
    "sensor_msgs/msg/BatteryState": 160,
    "sensor_msgs/msg/CameraInfo": 400,
    "sensor_msgs/msg/CompressedImage": 61240,
    "sensor_msgs/msg/Image": 921654,
    "sensor_msgs/msg/Imu": 324,
    "sensor_msgs/msg/JointState": 164,
    "sensor_msgs/msg/Joy": 96,
    "sensor_msgs/msg/LaserScan": 11604,
    "sensor_msgs/msg/MagneticField": 104,
    "sensor_msgs/msg/PointCloud2": 48216,
    "std_msgs/msg/Bool": 1,
    "std_msgs/msg/String": 18204,
    "tf2_msgs/msg/TFMessage": 172,
    "visualization_msgs/msg/MarkerArray": 30120,
}

UNSTAMPED_TYPES = {
    "bond/msg/Status",
    "controller_manager_msgs/msg/ControllerManagerActivity",
    "diagnostic_msgs/msg/DiagnosticStatus",
    "geometry_msgs/msg/Twist",
    "nav2_msgs/msg/CostmapFilterInfo",
    "std_msgs/msg/Bool",
    "std_msgs/msg/String",
    "tf2_msgs/msg/TFMessage",
    "visualization_msgs/msg/MarkerArray",
}

SOURCE_MAPPINGS = {
    "node:/amcl": ("amr_bringup", "launch/localization.launch.py", 41, "LifecycleNode(package='nav2_amcl', executable='amcl', name='amcl')"),
    "node:/map_server": ("amr_bringup", "launch/localization.launch.py", 29, "LifecycleNode(package='nav2_map_server', executable='map_server')"),
    "node:/docking_server": ("amr_docking", "launch/docking.launch.py", 52, "ComposableNode(package='opennav_docking', plugin='opennav_docking::DockingServer')"),
    "node:/static_tf_camera": ("amr_bringup", "launch/sensors.launch.py", 118, "Node(package='tf2_ros', executable='static_transform_publisher', name='static_tf_camera')"),
    "node:/lidar_driver": ("amr_bringup", "launch/sensors.launch.py", 64, "Node(package='sllidar_ros2', executable='sllidar_node', name='lidar_driver', respawn=True)"),
    "node:/camera/realsense": ("amr_bringup", "launch/sensors.launch.py", 87, "Node(package='realsense2_camera', namespace='camera', name='realsense')"),
    "topic:/cmd_vel": ("amr_bringup", "config/twist_mux.yaml", 3, "topics: navigation, teleop; locks: e_stop -> publishes cmd_vel"),
    "topic:/scan": ("amr_bringup", "config/laser_filter.yaml", 1, "scan_to_scan_filter_chain remaps scan_raw -> scan"),
}

# Mappings carried on the entities themselves.
ENTITY_MAPPINGS = {
    "node:/collision_monitor": {
        "confidence": "candidate",
        "declaration": "LifecycleNode(package='nav2_collision_monitor', executable='collision_monitor')",
        "file": f"{WORKSPACE}/src/amr_bringup/launch/navigation.launch.py",
        "line": 133,
        "package": "amr_bringup",
    },
    "topic:/detected_dock_pose": {
        "confidence": "candidate",
        "declaration": "docking_server.ros__parameters.dock_plugins.charging_dock.detected_pose_topic",
        "file": f"{WORKSPACE}/src/amr_docking/config/docking.yaml",
        "line": 27,
        "package": "amr_docking",
    },
}


def iso(moment):
    """ISO 8601 text of a UTC moment, to the second."""
    return moment.strftime("%Y-%m-%dT%H:%M:%SZ")


def unix(moment, offset_s=0.0):
    """Unix wall time of a moment, rounded to milliseconds."""
    return round(moment.timestamp() + offset_s, 3)


def jitter(name, spread):
    """A stable offset in [-spread, spread] derived from a name."""
    return (zlib.crc32(name.encode()) / 0xFFFFFFFF * 2.0 - 1.0) * spread


def with_defaults(nodes):
    """Adds the publishers that every ROS 2 node has."""
    result = {}
    for name, (publishes, subscribes) in nodes.items():
        result[name] = (publishes + ["/rosout", "/parameter_events"], subscribes)
    return result


def build_graph(nodes, qos_overrides):
    """Edges in node order, plus each topic's publishers and subscribers."""
    edges = []
    endpoints = {}
    for node in sorted(nodes):
        publishes, subscribes = nodes[node]
        for direction, topics in (("pub", publishes), ("sub", subscribes)):
            for topic in topics:
                message_type, profile, _ = TOPICS[topic]
                profile = qos_overrides.get((node, topic, direction), profile)
                edges.append(
                    {
                        "direction": direction,
                        "node": node,
                        "qos": dict(QOS_PROFILES[profile]),
                        "topic": topic,
                        "type": message_type,
                    }
                )
                entry = endpoints.setdefault(topic, {"pub": [], "sub": [], "qos": {"pub": [], "sub": []}})
                entry[direction].append(node)
                entry["qos"][direction].append(QOS_PROFILES[profile])
    return edges, endpoints


def node_entity(name, nodes, unlisted):
    publishes, subscribes = nodes[name]
    namespace, _, base = name.rpartition("/")
    details = {
        "listed": name not in unlisted,
        "name": base,
        "namespace": namespace or "/",
        "publication_count": len(publishes),
        "publishes": sorted(publishes),
        "subscribes": sorted(subscribes),
        "subscription_count": len(subscribes),
    }
    entity = {"details": details, "id": f"node:{name}", "kind": "node", "name": name}
    if entity["id"] in ENTITY_MAPPINGS:
        entity["project_mapping"] = ENTITY_MAPPINGS[entity["id"]]
    return entity


def topic_entity(name, endpoints):
    message_type = TOPICS[name][0]
    publishers = endpoints[name]["pub"]
    subscribers = endpoints[name]["sub"]

    def policy_values(direction, policy):
        return sorted({qos[policy] for qos in endpoints[name]["qos"][direction]})

    details = {
        "publisher_count": len(publishers),
        "publishers": publishers,
        "qos_summary": {
            "publisher_durability": policy_values("pub", "durability"),
            "publisher_reliability": policy_values("pub", "reliability"),
            "subscriber_durability": policy_values("sub", "durability"),
            "subscriber_reliability": policy_values("sub", "reliability"),
        },
        "subscriber_count": len(subscribers),
        "subscribers": subscribers,
        "type": message_type,
    }
    entity = {"details": details, "id": f"topic:{name}", "kind": "topic", "name": name}
    if entity["id"] in ENTITY_MAPPINGS:
        entity["project_mapping"] = ENTITY_MAPPINGS[entity["id"]]
    return entity


def build_entities(nodes, endpoints, unlisted):
    entities = [node_entity(name, nodes, unlisted) for name in sorted(nodes)]
    entities += [topic_entity(name, endpoints) for name in sorted(endpoints)]
    return entities


def measured_rate(topic, nominal):
    """The measurement of a topic that arrived at a steady rate."""
    message_type = TOPICS[topic][0]
    mean = round(nominal * (1.0 + jitter(topic, 0.006)), 2)
    count = max(int(round(mean * WINDOW_S)), 2)
    period = 1.0 / mean
    size = MESSAGE_SIZES[message_type] + int(abs(jitter(topic + "#size", 0.02)) * MESSAGE_SIZES[message_type])
    entry = {
        "bytes_per_s": round(size * mean, 1),
        "count": count,
        "duration_s": round((count - 1) / mean, 3),
        "expected": EXPECTED_RATES.get(topic, {}),
        "last_receipt_age_s": round(period * (0.5 + jitter(topic + "#age", 0.4)), 3),
        "max_gap_s": round(period * (1.35 + abs(jitter(topic + "#max", 0.3))), 4),
        "mean_rate_hz": mean,
        "mean_size_bytes": size,
        "min_gap_s": round(period * (0.7 + abs(jitter(topic + "#min", 0.2))), 4),
        "status": "measured",
    }
    if message_type in UNSTAMPED_TYPES:
        entry["stamp_note"] = "message type carries no header stamp"
    else:
        entry["stamp_offset_unverified_s"] = round(-0.004 - abs(jitter(topic + "#stamp", 0.02)), 4)
    if not entry["expected"]:
        del entry["expected"]
    return entry


def latched_rate(topic, count):
    message_type = TOPICS[topic][0]
    return {
        "count": count,
        "mean_size_bytes": MESSAGE_SIZES.get(message_type, 0) * (200 if topic == "/map" else 1),
        "rate_note": f"{count} latched message{'s' if count != 1 else ''} (transient local); no rate",
        "stamp_note": "latched messages are not compared with receipt time",
        "status": "measured",
    }


def build_rates(endpoints, observer, live):
    """Rates of the topics with publishers; the live capture has a silent battery topic."""
    topics = {}
    for topic in sorted(endpoints):
        if topic in ("/rosout", "/parameter_events") or topic in SKIPPED_RATES:
            continue
        nominal = TOPICS[topic][2]
        publishers = endpoints[topic]["pub"]
        if not publishers:
            topics[topic] = {"reason": "no publisher in discovery", "status": "no_publisher"}
        elif nominal == "latched":
            topics[topic] = latched_rate(topic, len(publishers))
        elif nominal is not None:
            topics[topic] = measured_rate(topic, nominal)
    if live:
        topics["/battery_state"] = {
            "count": 0,
            "duration_s": WINDOW_S,
            "expected": EXPECTED_RATES["/battery_state"],
            "rate_note": "no message in 5 s",
            "stamp_note": "no message to compare",
            "status": "silent",
        }
    if "/camera/depth/color/points" in topics:
        topics["/camera/depth/color/points"] = {
            "bytes_per_s": 101227008.0,
            "count": 21,
            "duration_s": 1.42,
            "mean_size_bytes": 4915200,
            "rate_note": "at least 14.1 Hz (lower bound; byte budget reached)",
            "reason": "sample stopped after 96 MiB: per-topic byte budget of this observer reached; the rate is a lower bound",
            "status": "observer_limited",
        }
    if "/camera/extrinsics/depth_to_color" in topics:
        topics["/camera/extrinsics/depth_to_color"] = {
            "reason": f"realsense2_camera_msgs is not installed where {observer} runs",
            "status": "type_unavailable",
        }
    reasons = {}
    for topic in topics:
        if topic in READINESS_TOPICS:
            reasons[topic] = "declared readiness check of the launch"
        elif topic in EXPECTED_RATES:
            reasons[topic] = "declared rate bound in profile amr-07-docking"
        else:
            reasons[topic] = "published topic within the 48-topic sample budget"
    checks = {
        "/battery_state": {"samples": [0.0, 0.0, 0.0]},
        "/cmd_vel": {"samples": [20.1, 19.8, 20.0]},
        "/odom": {"samples": [30.0, 29.9, 30.1]},
        "/scan": {"samples": [9.98, 10.02, 9.97]},
    }
    expected = {topic: bounds for topic, bounds in EXPECTED_RATES.items() if topic in endpoints}
    skipped = [{"reason": reason, "topic": topic} for topic, reason in sorted(SKIPPED_RATES.items()) if topic in endpoints]
    return {
        "budget": {"max_bytes_per_topic": 100663296, "max_topics": 48},
        "checks": checks,
        "expected": expected,
        "plan": {"reasons": reasons},
        "skipped": skipped,
        "status": "measured",
        "topics": topics,
        "window_s": WINDOW_S,
    }


def build_tf(edges):
    frames = sorted({parent for parent, _, _, _ in edges} | {child for _, child, _, _ in edges})
    parents = {}
    for parent, child, _, _ in edges:
        parents.setdefault(child, []).append(parent)
    multi = [{"frame": child, "parents": sorted(names)} for child, names in sorted(parents.items()) if len(names) > 1]
    roots = [frame for frame in frames if frame not in parents]
    tf_edges = []
    for parent, child, rate, publishers in edges:
        edge = {"child": child, "parent": parent, "publisher_candidates": publishers, "static": rate is None}
        if rate is not None:
            edge["rate_hz"] = rate
        tf_edges.append(edge)
    return {
        "edges": tf_edges,
        "frames": frames,
        "listened_s": WINDOW_S,
        "multi_parent_frames": multi,
        "roots": roots,
    }


def build_parameters(nodes, sim_time_nodes):
    queried = sorted(name for name in nodes if name not in NOT_QUERIED_NODES)
    answered = {
        name: {"use_sim_time": name in sim_time_nodes}
        for name in queried
        if name not in UNANSWERED_PARAMETER_NODES
    }
    stale = {name: {"use_sim_time": False} for name in sorted(STALE_PARAMETER_NODES)}
    return queried, answered, stale


def build_capture(label, moment, nodes, qos_overrides, tf_edges, sim_time_nodes, observer, sources, live):
    edges, endpoints = build_graph(nodes, qos_overrides)
    queried, answered, stale = build_parameters(nodes, sim_time_nodes)
    capture = {
        "graph": {
            "edges": edges,
            "generated_at": unix(moment, -4.6),
            "node_parameters": answered,
            "nodes": sorted(nodes),
            "parameters_queried": queried,
            "parameters_stale": {"age_s": 128.4, "values": stale},
            "parameters_status": f"answered {len(answered)} of {len(queried)}; 2.0 s timeout",
            "topics": [{"name": name, "types": [TOPICS[name][0]]} for name in sorted(endpoints)],
        },
        "label": label,
        "rates": build_rates(endpoints, observer, live),
        "sources": sources,
        "tf": build_tf(tf_edges),
    }
    return capture, build_entities(nodes, endpoints, UNLISTED_NODES)


def current_capture():
    nodes = with_defaults(NODES)
    sources = {
        "graph": "ROS 2 graph discovery on domain 42 by the capture node " + OBSERVER,
        "host": "amr-07 (Ubuntu 24.04, ROS 2 Jazzy, rmw_fastrtps_cpp)",
        "parameters": "use_sim_time read through each node's parameter service",
        "rates": f"{WINDOW_S:g} s samples received at the capture node",
        "tf": f"/tf and /tf_static listened for {WINDOW_S:g} s",
    }
    capture, entities = build_capture(
        "amr-07 live · docking",
        UPDATED_AT,
        nodes,
        QOS_OVERRIDES,
        TF_EDGES,
        SIM_TIME_NODES,
        OBSERVER,
        sources,
        True,
    )
    capture["warnings"] = {
        "discovery": "2 participants joined during the capture; discovery completeness unknown",
        "rates": [
            "/camera/depth/color/points stopped at the byte budget; its rate is a lower bound",
            "/camera/extrinsics/depth_to_color type is not installed at the capture node",
        ],
        "parameters": {
            "not_answered": sorted(UNANSWERED_PARAMETER_NODES),
            "not_asked": sorted(NOT_QUERIED_NODES - {OBSERVER, BASELINE_OBSERVER}),
        },
    }
    return capture, entities


def baseline_nodes():
    """The graph of a week earlier: before the camera driver update and the static camera transform."""
    nodes = copy.deepcopy(NODES)
    del nodes["/static_tf_camera"]
    del nodes[OBSERVER]
    del nodes[f"/launch_ros_{LAUNCH_PID}"]
    nodes[BASELINE_OBSERVER] = ([], ["/tf", "/tf_static"])
    nodes[f"/launch_ros_{BASELINE_LAUNCH_PID}"] = ([], [])
    nodes["/docking_tag_filter"] = (["/detected_dock_pose"], ["/detections"])
    nodes["/battery_monitor"] = (["/battery_state", "/diagnostics"], [])
    publishes, subscribes = nodes["/camera/realsense"]
    publishes = [t for t in publishes if t != "/camera/extrinsics/depth_to_color"]
    publishes.append("/camera/aligned_depth_to_color/image_raw")
    nodes["/camera/realsense"] = (publishes, subscribes)
    return with_defaults(nodes)


def baseline_capture():
    nodes = baseline_nodes()
    overrides = dict(QOS_OVERRIDES)
    overrides[("/camera/realsense", "/camera/color/image_raw", "pub")] = "default"
    tf_edges = [edge for edge in TF_EDGES if edge[3] != ["/static_tf_camera"]]
    sources = {
        "graph": "ROS 2 graph discovery on domain 42 by the capture node " + BASELINE_OBSERVER,
        "host": "amr-07 (Ubuntu 24.04, ROS 2 Jazzy, rmw_fastrtps_cpp)",
        "saved_session": "/home/robot/.quillmesh/sessions/2026-12-02T16-02-11Z/session.json",
        "tf": f"/tf and /tf_static listened for {WINDOW_S:g} s",
    }
    capture, entities = build_capture(
        "amr-07 baseline 2026-12-02",
        BASELINE_AT,
        nodes,
        overrides,
        tf_edges,
        set(),
        BASELINE_OBSERVER,
        sources,
        False,
    )
    capture["warnings"] = {"discovery": "discovery completeness unknown"}
    return capture, entities


def find_entity(entities, entity_id):
    return next((entity for entity in entities if entity["id"] == entity_id), None)


def build_comparison(current_entities, baseline_entities, current_tf, baseline_tf):
    def change(entity_id, status, summary):
        name = entity_id.split(":", 1)[1]
        kind = entity_id.split(":", 1)[0]
        before = find_entity(baseline_entities, entity_id)
        after = find_entity(current_entities, entity_id)
        expected = {"added": (False, True), "removed": (True, False), "changed": (True, True)}[status]
        if (before is not None, after is not None) != expected:
            raise SystemExit(f"change {entity_id} is not {status} between the captures")
        return {
            "after": after,
            "before": before,
            "id": entity_id,
            "kind": kind,
            "name": name,
            "status": status,
            "summary": summary,
        }

    def frame_edges(tf, frame):
        return [edge for edge in tf["edges"] if edge["child"] == frame]

    changes = [
        change("node:/static_tf_camera", "added", "new static transform publisher base_link → camera_link"),
        change("node:/docking_tag_filter", "removed", "no longer in the graph; it published /detected_dock_pose"),
        change("node:/battery_monitor", "changed", "use_sim_time false → true; now subscribes /clock"),
        change("topic:/camera/color/image_raw", "changed", "publisher reliability reliable → best_effort"),
        change("topic:/detected_dock_pose", "changed", "publishers 1 → 0"),
        change("topic:/detections", "changed", "subscribers 1 → 0"),
        change("topic:/clock", "added", "subscribed by /battery_monitor; no publisher"),
        change("topic:/camera/extrinsics/depth_to_color", "added", "published by the updated camera driver"),
        change("topic:/camera/aligned_depth_to_color/image_raw", "removed", "depth alignment disabled in the camera driver"),
        {
            "after": {"frame": "camera_link", "parent_edges": frame_edges(current_tf, "camera_link")},
            "before": {"frame": "camera_link", "parent_edges": frame_edges(baseline_tf, "camera_link")},
            "id": "frame:camera_link",
            "kind": "frame",
            "name": "camera_link",
            "status": "changed",
            "summary": "parents camera_mount → camera_mount, base_link",
        },
    ]
    changes[2]["parameters"] = {"use_sim_time": {"after": True, "before": False}}
    warnings = {
        "baseline_age": "the baseline is 6 days 21 hours older than the current capture",
        "ignored": [
            "endpoint counts of /rosout and /parameter_events",
            "capture nodes named /vistrel_*",
            "launch helper nodes named /launch_ros_*",
        ],
        "rates": "rates are compared only where both captures sampled the topic",
    }
    return {"baseline_label": "amr-07 baseline 2026-12-02", "changes": changes, "warnings": warnings}


QOS_FINDING_PROFILES = {
    "publisher": {
        "deadline": "infinite",
        "depth": 5,
        "durability": "volatile",
        "history": "keep_last",
        "liveliness": "automatic",
        "reliability": "best_effort",
    },
    "subscriber": {
        "deadline": "infinite",
        "depth": 10,
        "durability": "volatile",
        "history": "keep_last",
        "liveliness": "automatic",
        "reliability": "reliable",
    },
}


def build_findings(node_parameters):
    sim_time = sorted(name for name, values in node_parameters.items() if values["use_sim_time"])
    wall_time = len(node_parameters) - len(sim_time)
    return [
        {
            "detail": {
                "policies": ["reliability"],
                "publisher": "/camera/realsense",
                "publisher_profile": QOS_FINDING_PROFILES["publisher"],
                "subscriber": "/apriltag_detector",
                "subscriber_profile": QOS_FINDING_PROFILES["subscriber"],
                "unresolved_policies": [],
            },
            "detector": "qos_compatibility",
            "doc_url": "https://docs.ros.org/en/jazzy/Concepts/Intermediate/About-Quality-of-Service-Settings.html",
            "explanation": (
                "A reliable subscription never matches a best-effort publisher, so /apriltag_detector "
                "receives no images and publishes no /detections. The camera driver switched the colour "
                "stream to best effort after its update."
            ),
            "finding": "reliability: publisher best_effort, subscriber reliable (incompatible)",
            "fix": (
                "Subscribe with the sensor-data profile in the tag detector (qos_overrides./camera/color/"
                "image_raw.subscription.reliability: best_effort), or set the camera's color_qos back to "
                "SYSTEM_DEFAULT."
            ),
            "id": "problem:qos:/camera/color/image_raw:/apriltag_detector",
            "severity": "error",
            "target": "topic:/camera/color/image_raw",
            "title": "QoS incompatible on /camera/color/image_raw: /camera/realsense → /apriltag_detector",
            "verify": "ros2 topic info /camera/color/image_raw --verbose",
        },
        {
            "detail": {"subscriber": "/docking_server", "topic": "/detected_dock_pose"},
            "detector": "unconnected_endpoints",
            "explanation": (
                "/docking_server waits for dock detections that nobody publishes; docking will time out at "
                "the staging pose. The baseline capture had /docking_tag_filter as publisher."
            ),
            "finding": "subscription without publisher: /detected_dock_pose (geometry_msgs/msg/PoseStamped)",
            "fix": "Start the tag filter again (it failed to load into /nav2_container, see the launch log).",
            "id": "problem:unconnected:/detected_dock_pose",
            "severity": "warning",
            "target": "topic:/detected_dock_pose",
            "title": "Subscriber without publisher: /docking_server waits on /detected_dock_pose",
            "verify": "ros2 topic info /detected_dock_pose",
        },
        {
            "detail": {"sim_time_nodes": sim_time, "wall_time_nodes": wall_time},
            "detector": "clock_consistency",
            "explanation": (
                "With use_sim_time true and no /clock publisher the node's clock stays at zero, so its "
                "timers never fire; /battery_state is silent."
            ),
            "finding": (
                f"use_sim_time: {len(sim_time)} node true, {wall_time} nodes false, "
                f"{len(UNANSWERED_PARAMETER_NODES)} nodes did not answer"
            ),
            "fix": "Set use_sim_time: false for /battery_monitor (amr_bringup/config/power.yaml).",
            "id": "problem:clock:/battery_monitor",
            "severity": "warning",
            "target": "node:/battery_monitor",
            "title": "Mixed clocks: /battery_monitor uses simulation time; the other answering nodes use wall time",
            "verify": "ros2 param get /battery_monitor use_sim_time",
        },
        {
            "detail": {"frame": "camera_link", "parents": ["base_link", "camera_mount"]},
            "detector": "tf_parents",
            "explanation": (
                "Two publishers claim the parent of camera_link. Lookups through camera_link flip between "
                "the two transforms."
            ),
            "finding": "camera_link: parents base_link (/static_tf_camera) and camera_mount (/robot_state_publisher)",
            "fix": "Remove the static_tf_camera node from sensors.launch.py; the URDF already places the camera.",
            "id": "problem:tf:camera_link",
            "severity": "warning",
            "target": "frame:camera_link",
            "title": "Frame camera_link has two parents: base_link and camera_mount",
            "verify": "ros2 run tf2_ros tf2_echo camera_mount camera_link",
        },
        {
            "detail": {"topic": "/camera/extrinsics/depth_to_color", "type": "realsense2_camera_msgs/msg/Extrinsics"},
            "detector": "message_types",
            "explanation": "The message type is not installed where the capture node runs, so its shape could not be checked.",
            "finding": "type support not found: realsense2_camera_msgs/msg/Extrinsics",
            "id": "problem:types:/camera/extrinsics/depth_to_color",
            "severity": "unknown",
            "target": "topic:/camera/extrinsics/depth_to_color",
            "title": "Message type of /camera/extrinsics/depth_to_color is not available at the capture node",
            "verify": "ros2 interface show realsense2_camera_msgs/msg/Extrinsics",
        },
        {
            "detector": "unconnected_endpoints",
            "explanation": "twist_mux holds /e_stop as a lock topic; /safety_plc_bridge publishes it at 10 Hz.",
            "id": "problem:info:/e_stop",
            "severity": "info",
            "target": "topic:/e_stop",
            "title": "/e_stop is a lock topic of /twist_mux",
            "verify": "ros2 topic echo /e_stop --once",
        },
    ]


def build_problems(current):
    graph = current["graph"]
    answered = len(graph["node_parameters"])
    queried = len(graph["parameters_queried"])
    return {
        "detectors_run": [
            "qos_compatibility",
            "unconnected_endpoints",
            "clock_consistency",
            "tf_parents",
            "message_types",
            "duplicate_names",
        ],
        "findings": build_findings(graph["node_parameters"]),
        "not_checked": ["services", "actions", "parameters other than use_sim_time"],
        "observer": {"node": OBSERVER, "source": "node name registered by this capture"},
        "parameters": {"answered": answered, "queried": queried, "status": "partial", "truncated": True},
        "skipped": [{"detector": "lifecycle_states", "reason": "get_state timed out on 3 of 14 managed nodes"}],
        "status": "partial",
    }


LIDAR_COMMAND = (
    "/opt/ros/jazzy/lib/sllidar_ros2/sllidar_node --ros-args -r __node:=lidar_driver "
    f"--params-file {WORKSPACE}/install/amr_bringup/share/amr_bringup/config/lidar.yaml -r scan:=scan_raw"
)

LAUNCH_PROCESSES = [
    ("component_container_isolated-1", "running", 1, None, 41203),
    ("robot_state_publisher-2", "running", 1, None, 41205),
    ("ros2_control_node-3", "running", 1, None, 41207),
    ("spawner-4", "finished", 1, 0, 41209),
    ("spawner-5", "finished", 1, 0, 41211),
    ("ekf_node-6", "running", 1, None, 41213),
    ("lidar_driver-7", "running", 3, None, 41452),
    ("scan_to_scan_filter_chain-8", "running", 1, None, 41217),
    ("realsense2_camera_node-9", "running", 1, None, 41219),
    ("pointcloud_to_laserscan_node-10", "running", 1, None, 41221),
    ("apriltag_node-11", "running", 1, None, 41223),
    ("imu_driver_node-12", "running", 1, None, 41225),
    ("imu_filter_madgwick_node-13", "running", 1, None, 41227),
    ("static_transform_publisher-14", "running", 1, None, 41229),
    ("joy_node-15", "running", 1, None, 41231),
    ("teleop_node-16", "running", 1, None, 41233),
    ("twist_mux-17", "running", 1, None, 41235),
    ("aggregator_node-18", "running", 1, None, 41237),
    ("battery_monitor-19", "running", 1, None, 41239),
    ("system_monitor-20", "running", 1, None, 41241),
    ("foxglove_bridge-21", "running", 1, None, 41243),
    ("safety_plc_bridge-22", "running", 1, None, 41245),
]

LIDAR_FAILURES = [
    {"attempt": 1, "at": "2026-12-09T13:41:06Z", "exit_code": 1, "pid": 41215},
    {"attempt": 2, "at": "2026-12-09T13:41:09Z", "exit_code": 1, "pid": 41388},
]

FIRST_ERROR = (
    "[lidar_driver-7] [ERROR] [1796823666.402117735] [lidar_driver]: "
    "Failed to open serial port /dev/ttyUSB0: Device or resource busy"
)

COMPOSABLE_FAILURE = (
    "[ERROR] [launch_ros.actions.load_composable_nodes]: Failed to load node 'docking_tag_filter' of type "
    "'amr_docking::TagFilter' in container '/nav2_container': Could not find requested resource in ament index"
)


def died_line(failure):
    return (
        f"[ERROR] [lidar_driver-7]: process has died [pid {failure['pid']}, exit code "
        f"{failure['exit_code']}, cmd '{LIDAR_COMMAND}']."
    )


def launch_log_lines():
    """The first page of the retained launch log."""
    texts = [
        ("info", "[INFO] [launch]: All log files can be found below /home/robot/.ros/log/2026-12-09-13-41-02-118230-amr-07-41190"),
        ("info", "[INFO] [launch]: Default logging verbosity is set to INFO"),
    ]
    for name, _, _, _, pid in LAUNCH_PROCESSES[:7]:
        first_pid = LIDAR_FAILURES[0]["pid"] if name == "lidar_driver-7" else pid
        texts.append(("info", f"[INFO] [{name}]: process started with pid [{first_pid}]"))
    texts += [
        ("info", "[robot_state_publisher-2] [INFO] [1796823665.912004113] [robot_state_publisher]: got segment base_link"),
        ("error", FIRST_ERROR),
        ("error", died_line(LIDAR_FAILURES[0])),
        ("info", f"[INFO] [lidar_driver-7]: process started with pid [{LIDAR_FAILURES[1]['pid']}]"),
        ("info", "[spawner-4] [INFO] [1796823667.220931454] [spawner_joint_state_broadcaster]: Configured and activated joint_state_broadcaster"),
        ("info", "[INFO] [spawner-4]: process has finished cleanly [pid 41209]"),
        ("warning", "[realsense2_camera_node-9] [WARN] [1796823668.004511870] [camera.realsense]: color_qos set to SENSOR_DATA"),
        ("error", COMPOSABLE_FAILURE),
        ("error", died_line(LIDAR_FAILURES[1])),
        ("info", "[INFO] [lidar_driver-7]: process started with pid [41452]"),
        ("info", "[lidar_driver-7] [INFO] [1796823673.118220431] [lidar_driver]: SLLidar health status : OK."),
        ("info", "[component_container_isolated-1] [INFO] [1796823679.501842290] [lifecycle_manager_navigation]: Managed nodes are active"),
        ("warning", "[component_container_isolated-1] [WARN] [1796823702.711034829] [docking_server]: No detections of dock 'charging_dock' for 10.0 s"),
    ]
    lines = []
    for number, (severity, text) in enumerate(texts, start=1):
        lines.append({"match": False, "number": number, "severity": severity, "text": text})
    return lines


def build_launch():
    lines = launch_log_lines()
    first_error_line = next(line["number"] for line in lines if line["text"] == FIRST_ERROR)
    processes = []
    for name, state, attempt, exit_code, pid in LAUNCH_PROCESSES:
        process = {"attempt": attempt, "failure_count": 0, "name": name, "pid": pid, "state": state}
        if exit_code is not None:
            process["exit_code"] = exit_code
        if name == "lidar_driver-7":
            process["failure_count"] = len(LIDAR_FAILURES)
            process["failures"] = LIDAR_FAILURES
            process["respawn"] = True
        processes.append(process)
    observations = [
        {"attempts": 1, "last_error": None, "status": "passed", "topic": "/scan", "waited_s": 3.4},
        {"attempts": 1, "last_error": None, "status": "passed", "topic": "/odom", "waited_s": 0.2},
        {"attempts": 1, "last_error": None, "node": "/bt_navigator", "status": "passed", "waited_s": 11.8},
        {
            "attempts": 5,
            "last_error": "no message within 10.0 s",
            "status": "timed_out",
            "topic": "/detected_dock_pose",
            "waited_s": 50.0,
        },
    ]
    return {
        "command": "ros2 launch amr_bringup robot.launch.py map:=/home/robot/maps/warehouse_b.yaml use_sim:=false",
        "log": f"{SESSION_DIR}/launch.log",
        "log_summary": {
            "child_failures": [{"text": died_line(failure)} for failure in LIDAR_FAILURES] + [{"text": COMPOSABLE_FAILURE}],
            "error_lines": sum(1 for line in lines if line["severity"] == "error"),
            "first_error": {"line": first_error_line, "text": FIRST_ERROR},
            "warning_lines": sum(1 for line in lines if line["severity"] == "warning"),
        },
        "pid": LAUNCH_PID,
        "processes": {"dropped_lines": 0, "observed": "launch process events", "processes": processes, "retained": False},
        "readiness": "unknown",
        "readiness_checks": {"observations": observations, "status": "failed", "timeout_s": 60.0},
        "returncode": None,
        "started_at": iso(SESSION_START),
        "state": "running",
    }


def build_launch_log_page(launch):
    lines = launch_log_lines()
    log_text = "\n".join(line["text"] for line in lines)
    return {
        "at_end": False,
        "bytes": 214337,
        "context": 0,
        "coverage": f"lines 1–{len(lines)} of 1842 retained; nothing dropped",
        "lines": lines,
        "matches": 0,
        "next_start": len(lines),
        "path": launch["log"],
        "previous_start": None,
        "query": "",
        "retained_lines": 1842,
        "severity": "all",
        "sha256": hashlib.sha256(log_text.encode()).hexdigest(),
        "shown_lines": 1842,
        "start": 0,
        "status": "ok",
    }


def lane_bins(count, per_bin, gaps=(), seed=""):
    bins = []
    for index in range(count):
        if any(start <= index < end for start, end in gaps):
            bins.append(0)
        else:
            bins.append(max(int(round(per_bin * (1.0 + jitter(f"{seed}{index}", 0.03)))), 1))
    return bins


def build_playback():
    duration = 312.6
    bin_s = duration / 48
    topics = [
        ("/scan", 10.0, 48, [(21, 23)], [(136.8, 149.5, "silence")]),
        ("/odom", 30.0, 48, [], []),
        ("/tf", 90.0, 48, [], []),
        ("/tf_static", None, 10, [], []),
        ("/imu/data", 100.0, 48, [], []),
        ("/cmd_vel", 20.0, 48, [(0, 3), (40, 48)], [(0.0, 19.5, "silence"), (260.5, 312.6, "silence")]),
        ("/camera/color/image_raw", 15.0, 100, [(60, 62)], [(187.6, 193.8, "silence")]),
        ("/detected_dock_pose", None, 0, [], []),
        ("/battery_state", 1.0, 48, [], []),
        ("/amcl_pose", 5.0, 48, [(10, 11), (30, 31), (33, 34), (45, 46)], [
            (65.1, 71.6, "silence"),
            (195.4, 201.9, "silence"),
            (214.9, 221.4, "silence"),
            (293.1, 299.6, "silence"),
        ]),
    ]
    lanes = []
    for topic, rate, bins_count, gap_bins, gaps in topics:
        if topic == "/tf_static":
            bins = [3] + [0] * 9
        elif rate is None:
            bins = []
        else:
            per_bin = rate * duration / bins_count
            bins = lane_bins(bins_count, per_bin, gap_bins, topic)
        lanes.append(
            {
                "bins": bins,
                "count": sum(bins),
                "gaps": [{"end_s": end, "kind": kind, "start_s": start} for start, end, kind in gaps],
                "topic": topic,
            }
        )
    bag = "/home/robot/bags/warehouse_b_docking_2026-12-08"
    return {
        "bag": bag,
        "lanes": {
            "bin_s": round(bin_s, 4),
            "files": 2,
            "gap_rule": "a gap is at least one time bin without messages on a topic that averages more than one message per bin",
            "method": "message-index",
            "omitted_topics": 31,
            "topics": lanes,
        },
        "log_tail": [
            "[INFO] [1796824801.512004113] [rosbag2_player]: Opened bag warehouse_b_docking_2026-12-08 (mcap, 2 files)",
            "[INFO] [1796824801.640219001] [rosbag2_player]: Playback started on domain 43 with --clock 100",
            "[INFO] [1796824885.002311875] [rosbag2_player]: Pausing play.",
        ],
        "owned": True,
        "position": {
            "basis": "player clock at the last pause",
            "note": "estimated from the player's /clock at its last state change; not read continuously",
        },
        "position_s": 83.4,
        "recording": {
            "duration_s": duration,
            "message_count": 118442,
            "path": bag,
            "started_at": "2026-12-08T15:12:40Z",
            "storage_id": "mcap",
            "topic_count": 41,
        },
        "seek": True,
        "state": "paused",
    }


def build_runs():
    return [
        {
            "command": "amr_check docking-bringup --launch robot.launch.py",
            "finished_at": "2026-12-09T13:44:58Z",
            "raw": {
                "junit": f"{SESSION_DIR}/runs/run-2026-12-09-1342/junit.xml",
                "result_file": f"{SESSION_DIR}/runs/run-2026-12-09-1342/result.json",
            },
            "retained_id": "run-2026-12-09-1342",
            "stages": [
                {"duration_s": 48.2, "label": "colcon build", "status": "passed"},
                {"duration_s": 31.7, "label": "unit tests", "status": "passed"},
                {"duration_s": 62.0, "label": "launch readiness", "measured": {"timed_out": ["/detected_dock_pose"]}, "status": "failed"},
                {"label": "dock approach", "reason": "launch readiness failed", "status": "blocked"},
                {"label": "report upload", "reason": "disabled in this profile", "status": "skipped"},
            ],
            "started_at": "2026-12-09T13:41:32Z",
            "status": "failed",
            "title": "Docking bring-up check",
        },
        {
            "command": "amr_check nav-smoke --launch robot.launch.py",
            "finished_at": "2026-12-08T17:19:41Z",
            "raw": {"result_file": "/home/robot/.quillmesh/sessions/2026-12-08T17-02-50Z/runs/run-2026-12-08-1710/result.json"},
            "retained_id": "run-2026-12-08-1710",
            "stages": [
                {"duration_s": 12.4, "label": "colcon build", "status": "passed"},
                {"duration_s": 18.9, "label": "launch readiness", "status": "passed"},
                {"duration_s": 241.3, "label": "goal sequence (4 goals)", "measured": {"goals_reached": 4, "mean_speed_m_s": 0.41}, "status": "passed"},
                {"duration_s": 0.8, "label": "report", "status": "passed"},
            ],
            "started_at": "2026-12-08T17:10:03Z",
            "status": "passed",
            "title": "Navigation smoke test",
        },
        {
            "command": "amr_check replay --bag /home/robot/bags/warehouse_b_docking_2026-12-08",
            "finished_at": "2026-12-08T09:31:20Z",
            "raw": {"result_file": "/home/robot/.quillmesh/sessions/2026-12-08T09-28-44Z/runs/run-2026-12-08-0930/result.json"},
            "retained_id": "run-2026-12-08-0930",
            "stages": [
                {"duration_s": 4.1, "label": "replay setup", "status": "passed"},
                {"label": "localization convergence", "reason": "the bag has no /tf_static before 2.0 s", "status": "blocked"},
            ],
            "started_at": "2026-12-08T09:30:02Z",
            "status": "blocked",
            "title": "Field replay: warehouse_b",
        },
    ]


def build_inspection():
    messages = []
    for index, (stamp, x, vx) in enumerate([(1796824996.812, 12.418, 0.352), (1796824996.845, 12.430, 0.355), (1796824996.879, 12.442, 0.351)]):
        messages.append(
            {
                "child_frame_id": "base_link",
                "header": {"frame_id": "odom", "stamp": stamp},
                "pose": {"position": {"x": x, "y": 3.106, "z": 0.0}, "yaw": 0.0412},
                "sequence": index,
                "twist": {"angular_z": 0.012, "linear_x": vx},
            }
        )
    return {
        "bounds": {"max_bytes": 1048576, "max_messages": 3, "timeout_s": 2.0},
        "entity_id": "topic:/odom",
        "errors": {},
        "finished_at": "2026-12-09T14:03:16Z",
        "graph_observed_at": unix(UPDATED_AT, -4.6),
        "observations": {
            "peek": {
                "messages": messages,
                "qos": {"durability": "volatile", "reliability": "best_effort"},
                "type": "nav_msgs/msg/Odometry",
            },
            "shape": {"covariance": "36 floats each, not shown", "fields": ["header", "child_frame_id", "pose", "twist"]},
        },
        "requested_at": "2026-12-09T14:03:15Z",
        "side": "current",
        "started_at": "2026-12-09T14:03:15Z",
        "status": "complete",
    }


def build_project(current_entities):
    mappings = {}
    for entity_id, (package, file, line, declaration) in SOURCE_MAPPINGS.items():
        if find_entity(current_entities, entity_id) is None:
            raise SystemExit(f"source mapping for unknown entity {entity_id}")
        mappings[entity_id] = {
            "confidence": "candidate",
            "declaration": declaration,
            "file": f"{WORKSPACE}/src/{package}/{file}",
            "line": line,
            "package": package,
        }
    return {
        "packages": [
            {
                "build_type": "ament_python",
                "config_files": ["config/ekf.yaml", "config/lidar.yaml", "config/nav2_params.yaml", "config/power.yaml", "config/twist_mux.yaml"],
                "launch_files": ["launch/localization.launch.py", "launch/navigation.launch.py", "launch/robot.launch.py", "launch/sensors.launch.py"],
                "name": "amr_bringup",
                "path": f"{WORKSPACE}/src/amr_bringup",
            },
            {
                "build_type": "ament_cmake",
                "config_files": ["config/docking.yaml"],
                "launch_files": ["launch/docking.launch.py"],
                "name": "amr_docking",
                "path": f"{WORKSPACE}/src/amr_docking",
            },
            {
                "build_type": "ament_cmake",
                "config_files": [],
                "launch_files": [],
                "name": "amr_description",
                "path": f"{WORKSPACE}/src/amr_description",
            },
        ],
        "root": WORKSPACE,
        "scanned_at": "2026-12-09T13:41:03Z",
        "source_mappings": mappings,
        "unresolved": ["/docking_tag_filter is declared in docking.launch.py but its plugin is not in the ament index"],
    }


def build_profile():
    return {
        "check": {"command": "amr_check docking-bringup --launch robot.launch.py", "timeout_s": 600},
        "expected_rates": EXPECTED_RATES,
        "launch": {
            "arguments": {"map": "/home/robot/maps/warehouse_b.yaml", "use_sim": "false"},
            "file": "robot.launch.py",
            "package": "amr_bringup",
            "readiness_topics": READINESS_TOPICS,
        },
        "name": "amr-07-docking",
        "path": f"{WORKSPACE}/.quillmesh/profiles/amr-07-docking.json",
        "playback": {"bag": "/home/robot/bags/warehouse_b_docking_2026-12-08", "domain_id": 43},
        "ros": {"distribution": "jazzy", "domain_id": 42, "rmw": "rmw_fastrtps_cpp"},
        "saved_at": "2026-12-04T10:15:09Z",
    }


def build_task():
    events = [
        ("2026-12-04T10:02:11Z", "created", "Task opened: docking fails after the camera driver update (AMR-412)", None),
        ("2026-12-04T10:15:09Z", "profile", "Saved profile amr-07-docking with declared rates and readiness topics", f"{WORKSPACE}/.quillmesh/profiles/amr-07-docking.json"),
        ("2026-12-04T11:40:52Z", "experiment", "Planned exp-1: the dock is out of the camera's view", None),
        ("2026-12-05T09:12:30Z", "evidence", "Camera image shows the dock tag at 1.4 m", f"{SESSION_DIR}/../2026-12-05T09-05-18Z/exports/topic__camera_color_image_raw.json"),
        ("2026-12-05T09:20:02Z", "conclusion", "exp-1 refuted: the tag is visible in the image", None),
        ("2026-12-05T14:31:45Z", "experiment", "Planned exp-2: the tag detector receives no images", None),
        ("2026-12-08T09:31:20Z", "check", "Field replay blocked: bag lacks early /tf_static", "/home/robot/.quillmesh/sessions/2026-12-08T09-28-44Z/runs/run-2026-12-08-0930/result.json"),
        ("2026-12-08T17:19:41Z", "check", "Navigation smoke test passed (4 of 4 goals)", "/home/robot/.quillmesh/sessions/2026-12-08T17-02-50Z/runs/run-2026-12-08-1710/result.json"),
        ("2026-12-09T13:44:58Z", "check", "Docking bring-up check failed at launch readiness", f"{SESSION_DIR}/runs/run-2026-12-09-1342/result.json"),
        ("2026-12-09T13:47:31Z", "conclusion", "exp-2 supported: QoS reliability mismatch on /camera/color/image_raw", None),
        ("2026-12-09T13:52:10Z", "evidence", "Exported topic:/scan for the lidar restart report", f"{SESSION_DIR}/exports/topic__scan.json"),
        ("2026-12-09T13:58:40Z", "experiment", "Planned exp-3: restoring the tag filter brings back /detected_dock_pose", None),
    ]
    experiments = [
        {
            "created_at": "2026-12-04T11:40:52Z",
            "criteria_identity": "dock-visible-v1",
            "hypothesis": "The dock tag is outside the camera's field of view at the staging pose",
            "id": "exp-1",
            "linked_results": [],
            "prediction": "No tag pixels in /camera/color/image_raw at the staging pose",
            "result": {
                "concluded_at": "2026-12-05T09:20:02Z",
                "conclusion": "The tag fills 60 px at the staging pose; visibility is not the cause.",
                "evidence": "exports/topic__camera_color_image_raw.json",
                "outcome": "refuted",
            },
            "test": "Drive to the staging pose and export one colour image",
            "variables": {"staging_offset_m": 1.4},
        },
        {
            "created_at": "2026-12-05T14:31:45Z",
            "criteria_identity": "tag-detector-input-v1",
            "hypothesis": "The tag detector receives no images since the camera driver update",
            "id": "exp-2",
            "linked_results": ["run-2026-12-09-1342"],
            "prediction": "A QoS mismatch between /camera/realsense and /apriltag_detector; /detections silent",
            "result": {
                "concluded_at": "2026-12-09T13:47:31Z",
                "conclusion": "Reliability best_effort vs reliable on /camera/color/image_raw; matches the prediction.",
                "evidence": "problem:qos:/camera/color/image_raw:/apriltag_detector",
                "outcome": "supported",
            },
            "test": "Compare endpoint QoS of /camera/color/image_raw in the live and the baseline capture",
            "variables": {"camera_driver": "4.55.1", "color_qos": "SENSOR_DATA"},
        },
        {
            "created_at": "2026-12-09T13:58:40Z",
            "criteria_identity": "dock-detection-v2",
            "hypothesis": "Restoring the docking tag filter brings back /detected_dock_pose",
            "id": "exp-3",
            "linked_results": [],
            "prediction": "/detected_dock_pose at about 15 Hz once the filter loads and the detector gets images",
            "result": None,
            "test": "Rebuild amr_docking, relaunch, run the docking bring-up check",
            "variables": {"detector_qos": "sensor_data", "seed": 1},
        },
    ]
    return {
        "artifact_checks": [
            {"path": f"{SESSION_DIR}/runs/run-2026-12-09-1342/result.json", "sha256_matches": True, "status": "fresh"},
            {"path": f"{SESSION_DIR}/exports/topic__scan.json", "reason": "a newer capture exists", "status": "stale"},
            {
                "path": "/home/robot/.quillmesh/sessions/2026-12-08T09-28-44Z/runs/run-2026-12-08-0930/result.json",
                "reason": "file moved or deleted",
                "status": "missing",
            },
        ],
        "events": [
            {"at": at, "kind": kind, "text": text, **({"artifact": {"path": path}} if path else {})}
            for at, kind, text, path in events
        ],
        "experiments": experiments,
        "id": "AMR-412",
        "next_step": "Rebuild amr_docking with the tag filter registered, then run exp-3",
        "status": "investigating",
        "title": "Docking fails after the camera driver update",
        "updated_at": "2026-12-09T13:58:40Z",
    }


def build_assistant():
    return {
        "account": None,
        "connection": {
            "authentication": "not checked",
            "id": "personal-chatgpt",
            "model": "unknown until model discovery",
            "provider": "ChatGPT",
        },
        "connections": [
            {"id": "personal-chatgpt", "label": "Personal ChatGPT subscription", "provider": "ChatGPT"},
            {"id": "team-review", "label": "Team review workspace", "provider": "ChatGPT"},
        ],
        "context": {
            "evidence": [
                {"id": "problem:qos:/camera/color/image_raw:/apriltag_detector", "kind": "finding"},
                {"id": "run-2026-12-09-1342", "kind": "result"},
            ],
            "selection_id": "topic:/camera/color/image_raw",
            "side": "current",
        },
        "error": None,
        "messages": [
            {"role": "user", "text": "Why does the docking server never see the dock?"},
            {
                "role": "assistant",
                "text": (
                    "From the reviewed evidence: /detected_dock_pose has no publisher since /docking_tag_filter "
                    "failed to load, and /apriltag_detector cannot match the best-effort colour stream. Both are "
                    "likely causes, not proof; exp-3 tests the first."
                ),
            },
        ],
        "models": None,
        "notice": "Assistant claims explain reviewed text; they are never a verdict.",
        "pending_approval": {
            "action": "send disclosure",
            "data": ["finding problem:unconnected:/detected_dock_pose", "launch log lines 10–25"],
            "destination": "ChatGPT via personal-chatgpt",
            "id": "approval-7",
            "prepared_at": "2026-12-09T14:01:12Z",
        },
        "permissions": "review only",
        "state": "awaiting approval",
        "usage": {"requests": 3, "tokens": "unknown"},
        "worker": None,
    }


def build_document():
    current, entities = current_capture()
    baseline, baseline_entities = baseline_capture()
    launch = build_launch()
    runtime = {
        "check": {
            "command": "amr_check docking-bringup --launch robot.launch.py",
            "last_run": "run-2026-12-09-1342",
            "status": "idle",
        },
        "distribution": "jazzy",
        "domain_id": 42,
        "error": None,
        "export_feedback": {
            "at": "2026-12-09T13:52:10Z",
            "entity_id": "topic:/scan",
            "error": None,
            "path": f"{SESSION_DIR}/exports/topic__scan.json",
            "side": "current",
            "status": "success",
        },
        "last_export": f"{SESSION_DIR}/exports/topic__scan.json",
        "launch": launch,
        "launch_log_page": build_launch_log_page(launch),
        "playback": build_playback(),
        "recording": {
            "bytes_written": 734003200,
            "path": f"{SESSION_DIR}/recording_0",
            "started_at": "2026-12-09T13:41:40Z",
            "state": "recording",
            "storage_id": "mcap",
            "topics": sorted(NODES["/rosbag2_recorder"][1]),
            "writer": "rosbag2_recorder (owned by this session)",
        },
        "session": {
            "directory": SESSION_DIR,
            "note": "Docking bring-up after the RealSense driver update (AMR-412).",
        },
        "status": "Live capture ready",
        "updated_at": iso(UPDATED_AT),
    }
    return {
        "active_experiment_id": "exp-3",
        "assistant": build_assistant(),
        "baseline": baseline,
        "baseline_entities": baseline_entities,
        "capabilities": {
            "assistant": True,
            "checks": True,
            "export": True,
            "inspect": True,
            "playback": True,
            "project": True,
            "refresh": True,
            "task": True,
        },
        "comparison": build_comparison(entities, baseline_entities, current["tf"], baseline["tf"]),
        "configuration_diff": {
            "declared_source": f"{WORKSPACE}/src/amr_bringup/config/nav2_params.yaml",
            "differences": [
                {"declared": 0.5, "live": 0.35, "parameter": "FollowPath.vx_max"},
                {"declared": "nav2_mppi_controller::MPPIController", "live": "nav2_mppi_controller::MPPIController", "parameter": "FollowPath.plugin"},
            ],
            "matched": 84,
            "node": "/controller_server",
            "requested_at": "2026-12-09T13:55:02Z",
            "status": "1 difference",
        },
        "current": current,
        "entities": entities,
        "inspection": build_inspection(),
        "message_tf": {
            "lookups": [
                {"source_frame": "base_laser", "status": "ok", "target_frame": "map", "translation_m": [12.61, 3.11, 0.18]},
            ],
            "requested_at": "2026-12-09T13:59:44Z",
            "stamp": 1796824783.301,
            "status": "ok",
            "topic": "/scan",
        },
        "mode": "live",
        "notice": "Watching amr-07 · docking bring-up (AMR-412)",
        "product_mode": "ai-assisted",
        "problems": build_problems(current),
        "profile": build_profile(),
        "project": build_project(entities),
        "revision": 17,
        "runs": build_runs(),
        "runtime": runtime,
        "schema": SCHEMA,
        "task": build_task(),
        "task_path": f"{WORKSPACE}/.quillmesh/tasks/AMR-412.json",
        "view_state": {"filter": "", "selected_id": "health:summary", "tab": 0},
    }


def check_references(document):
    """Fails loudly when the tables disagree, so a bad edit never reaches the file."""
    ids = {entity["id"] for entity in document["entities"]}
    for finding in document["problems"]["findings"]:
        target = finding.get("target", "")
        if target.startswith(("node:", "topic:")) and target not in ids:
            raise SystemExit(f"finding target {target} is not an entity")
    for topic in TOPICS:
        used = any(topic in publishes + subscribes for publishes, subscribes in NODES.values())
        in_baseline = topic == "/camera/aligned_depth_to_color/image_raw"
        if not used and not in_baseline:
            raise SystemExit(f"topic {topic} has no endpoint")


def render():
    document = build_document()
    check_references(document)
    return json.dumps(document, indent=2, sort_keys=True, ensure_ascii=False) + "\n"


def main():
    parser = argparse.ArgumentParser(description="Write the static demo session document.")
    parser.add_argument("--output", type=pathlib.Path, default=DEFAULT_OUTPUT, help="where to write (default: %(default)s)")
    parser.add_argument("--check", action="store_true", help="exit 1 when the file differs from what would be written")
    arguments = parser.parse_args()
    text = render()
    if arguments.check:
        existing = arguments.output.read_text(encoding="utf-8") if arguments.output.exists() else ""
        if existing != text:
            print(f"{arguments.output} is out of date; run {sys.argv[0]}", file=sys.stderr)
            return 1
        return 0
    arguments.output.parent.mkdir(parents=True, exist_ok=True)
    arguments.output.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
