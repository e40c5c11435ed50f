// Parts of the POSIX platform layer that tests reach directly.
#pragma once

#include <cstdint>

namespace kobax {

// The Windows error code for an errno value, so that failures read the same
// as on Windows: EACCES 5, ENOENT 2, ENOTDIR 3, EMFILE 4, ENOSPC 112, ...
std::uint32_t WindowsErrorFromErrno(int error);

}  // namespace kobax
