// Sizes of benchmark runs that a person may change through the environment.
#pragma once

#include <cstdlib>

namespace vx::bench {

// The positive number in the environment variable name, or fallback when it is unset, zero
// or not a number.
inline double EnvNumber(const char* name, double fallback) {
  const char* text = std::getenv(name);
  const double value = text ? std::atof(text) : 0;
  return value > 0 ? value : fallback;
}

}  // namespace vx::bench
