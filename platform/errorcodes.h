// Windows error codes that the platform services answer with, so that the
// core tests results as it would on Windows, whatever the backend.
#ifndef VANTEL_PLATFORM_ERRORCODES_H
#define VANTEL_PLATFORM_ERRORCODES_H

#include <cstdint>

namespace vantel::platform {

enum : std::uint32_t {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5
};

} // namespace vantel::platform

#endif
