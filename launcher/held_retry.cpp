// Steps on the launcher's own files, tried again while a security program holds them.
#include "launcher/held_retry.h"

#include "platform/clock.h"
#include "platform/disk.h"
#include "platform/system_error.h"

namespace {

constexpr uint32_t kErrorGenFailure = 31;  // a failure that left no error of its own

uint32_t FailureError() {
  const uint32_t error = platform::LastSystemError();
  return error != 0 ? error : kErrorGenFailure;
}

uint32_t RemoveFileStep(const void* path) {
  return platform::RemoveFile(static_cast<const char*>(path)) ? 0 : FailureError();
}

uint32_t RemoveDirStep(const void* path) {
  return platform::RemoveDir(static_cast<const char*>(path)) ? 0 : FailureError();
}

struct HoldOpen {
  const char* path;
  platform::FileHandle* handle;
};

uint32_t HoldOpenStep(const void* context) {
  const HoldOpen* open = static_cast<const HoldOpen*>(context);
  *open->handle = platform::FileOpen(open->path, platform::FileAccessRead,
                                     platform::FileShareRead, platform::FileOpenExisting);
  return *open->handle != platform::InvalidFileHandle() ? 0 : FailureError();
}

}  // namespace

uint32_t RetryWhileHeld(HeldStep step, const void* context) {
  // Counted in pauses rather than read from the clock: a slow try does not
  // shorten the time the holder gets.
  for (uint32_t waited = 0;; waited += kHeldRetryIntervalMs) {
    const uint32_t error = step(context);
    if (error == 0 || !platform::IsHeldError(error) || waited >= kHeldRetryLimitMs) return error;
    platform::SleepMs(kHeldRetryIntervalMs);
  }
}

bool RemoveFileRetrying(const char* path) { return RetryWhileHeld(RemoveFileStep, path) == 0; }

bool RemoveDirRetrying(const char* path) { return RetryWhileHeld(RemoveDirStep, path) == 0; }

uint32_t OpenToHoldRetrying(const char* path, platform::FileHandle* handle) {
  const HoldOpen open = {path, handle};
  return RetryWhileHeld(HoldOpenStep, &open);
}
