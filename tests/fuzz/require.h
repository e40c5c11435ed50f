// The fuzz targets' assertion: a broken invariant is a crash, which
// libFuzzer reports and keeps the input of.
#pragma once

#include <cstdlib>

namespace kobax {

inline void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace kobax
