//===- system_error.h - The last system error of a failed call ------------===//
// GetLastError after a failed file, folder or program call of this layer. The
// host build maps errno to the Windows code of the same meaning. Tests set the
// error a failed call leaves through platform/testing/file_faults.h.
#ifndef VX_PLATFORM_SYSTEM_ERROR_H
#define VX_PLATFORM_SYSTEM_ERROR_H

#include <cstdint>

namespace platform {

// Windows error codes that mean another program holds the file for the moment,
// as a security program does while it scans a freshly written one.
constexpr uint32_t kErrorAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr uint32_t kErrorSharingViolation = 32;  // ERROR_SHARING_VIOLATION
constexpr uint32_t kErrorLockViolation = 33;     // ERROR_LOCK_VIOLATION

inline bool IsHeldError(uint32_t error) {
  return error == kErrorAccessDenied || error == kErrorSharingViolation ||
         error == kErrorLockViolation;
}

// The calling thread's last system error (GetLastError); only meaningful
// right after a call that failed.
uint32_t LastSystemError();

// Sets it, as a failed call would (SetLastError).
void SetLastSystemError(uint32_t error);

}  // namespace platform

#endif  // VX_PLATFORM_SYSTEM_ERROR_H
