#include "model/launch_log_page.hpp"

namespace qm {

const Json& launch_log_page(const Json& document) {
  return member_path(document, {"runtime", "launch_log_page"});
}

bool page_matches(const AppState& state) {
  const Json& document = state.document();
  const Json& page = launch_log_page(document);
  const std::optional<uint64_t> context = unsigned_of(member(page, "context"));
  return member(page, "path") == member_path(document, {"runtime", "launch", "log"}) &&
         is_string_equal(member(page, "query"), state.log.query) &&
         is_string_equal(member(page, "severity"), state.log.severity) && context &&
         *context == state.log.context;
}

}  // namespace qm
