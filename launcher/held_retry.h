//===- held_retry.h - Steps tried again while a file is held --------------===//
// A security program opens a freshly written program or library to scan it,
// and for that moment starting it, opening it or removing it fails with a
// sharing violation, a lock violation or access denied. The launcher's steps
// on its own files go through here: on those errors they are tried again
// every kHeldRetryIntervalMs for up to kHeldRetryLimitMs, after which the
// failure stands. Any other error, or success, ends the tries at once.
#ifndef VX_LAUNCHER_HELD_RETRY_H
#define VX_LAUNCHER_HELD_RETRY_H

#include "platform/file.h"

#include <cstdint>

constexpr uint32_t kHeldRetryIntervalMs = 100;
constexpr uint32_t kHeldRetryLimitMs = 5000;

// One try of a step on context: 0 when it succeeded, else the system error.
using HeldStep = uint32_t (*)(const void* context);

// Tries step until it succeeds, fails otherwise than held, or the time is up;
// the result of the last try.
uint32_t RetryWhileHeld(HeldStep step, const void* context);

// RemoveFile and RemoveDir of platform/disk.h, tried again while held. True
// when the file or empty folder is gone.
bool RemoveFileRetrying(const char* path);
bool RemoveDirRetrying(const char* path);

// Opens path for reading with read sharing alone (no write, no delete sharing),
// tried again while held, into *handle. While the handle is open nobody can
// change, replace or remove the file, and it can still be started (a start
// opens it for reading and execution only). 0, or the system error with
// *handle InvalidFileHandle().
uint32_t OpenToHoldRetrying(const char* path, platform::FileHandle* handle);

#endif  // VX_LAUNCHER_HELD_RETRY_H
