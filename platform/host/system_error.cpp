// The last system error over errno. Only generic POSIX code belongs in
// platform/host.
#include "platform/system_error.h"

#include <cerrno>

namespace platform {
namespace {

constexpr uint32_t kErrorGenFailure = 31;  // ERROR_GEN_FAILURE: anything else

// errno values and the Windows codes they stand for; the host's file layer
// refuses an open that another handle's share mode forbids with EBUSY.
const struct {
  int errnoValue;
  uint32_t error;
} kErrors[] = {
    {0, 0},
    {ENOENT, 2},  // ERROR_FILE_NOT_FOUND
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EBUSY, kErrorSharingViolation},
    {ENOLCK, kErrorLockViolation},
    {ENOTEMPTY, 145},  // ERROR_DIR_NOT_EMPTY
    {ENOMEM, 8},       // ERROR_NOT_ENOUGH_MEMORY
};

}  // namespace

uint32_t LastSystemError() {
  for (const auto& known : kErrors) {
    if (known.errnoValue == errno) return known.error;
  }
  return kErrorGenFailure;
}

void SetLastSystemError(uint32_t error) {
  for (const auto& known : kErrors) {
    if (known.error == error) {
      errno = known.errnoValue;
      return;
    }
  }
  errno = EIO;
}

}  // namespace platform
