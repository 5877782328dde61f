#include "views/launch_readiness.hpp"

#include "json/json_access.hpp"
#include "text/value_text.hpp"

namespace qm {

std::string readiness_text(const Json& runtime_launch) {
  if (!runtime_launch.is_object()) {
    return "unknown · no owned launch";
  }
  std::string readiness = value_display_text(member(runtime_launch, "readiness"));
  if (readiness != "unknown") {
    return readiness;
  }
  // Passed checks are observations only; they never turn an unknown readiness into a claim.
  const Json& checks = member_path(runtime_launch, {"readiness_checks", "status"});
  if (!checks.is_string()) {
    return "unknown (no declared checks)";
  }
  if (checks.string() == "passed") {
    return "unknown (declared checks passed; not a readiness claim)";
  }
  return readiness;
}

}  // namespace qm
