#pragma once

#include <ostream>

#include "base/error.hpp"

namespace qm {

// Lets test failures show an error in its structured form.
inline void PrintTo(const Error& error, std::ostream* out) {
  *out << error_report(error);
}

}  // namespace qm
