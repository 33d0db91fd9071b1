//===- file_faults.h - Failing file and folder calls (tests only) ---------===//
// Fault injection in the manner of SQLite's replaceable system calls: the test
// platform library (platform/testing) stands in for the calls of file.h and the
// folder calls of dirs.h and disk.h, consults this table before each one and,
// when a fault is armed for that kind, fails the call (or cuts it short) instead
// of, or on top of, the real call. The product links the real calls alone.
// Single-threaded: the table is shared by the whole process and not guarded.
#ifndef VX_PLATFORM_TESTING_FILE_FAULTS_H
#define VX_PLATFORM_TESTING_FILE_FAULTS_H

#include <cstdint>

namespace platform {

// MakeDir and ChangeDir are the folder calls of dirs.h; Remove stands for both
// RemoveFile and RemoveDir of disk.h.
enum class FileCall { Open, Read, Write, Seek, Lock, Unlock, Close, MakeDir, ChangeDir, Remove, Count };

enum class FileFault {
  None,
  // The call fails. Open, Read, Write, Seek, Lock, Unlock and Remove do nothing; Close
  // still closes the handle (so that nothing leaks) and then reports failure.
  Fail,
  // Write writes only the first half of the bytes (rounded down) and reports success
  // with that count; Seek lands one byte before the target (if the target is not 0);
  // Read reads at most half the bytes; MakeDir makes the folder and then reports failure,
  // as when someone else made it first. The other calls treat Short as Fail.
  Short,
};

class FileFaults {
 public:
  // Arms `fault` for the `times` calls of kind `call` that come after `passes` calls of
  // that kind that still succeed. One fault per kind; arming again replaces it.
  static void Arm(FileCall call, FileFault fault, uint32_t passes = 0, uint32_t times = 1);

  // Makes the one call that comes after `passes` calls of any kind fail (Fail), once.
  static void ArmAny(uint32_t passes);

  // The system error (system_error.h) that each fault leaves as the last one:
  // a sharing violation, say, as a security program's scan causes.
  // ERROR_GEN_FAILURE (31) until set, and again after Clear.
  static void SetError(uint32_t error);

  // Disarms every kind and ArmAny.
  static void Clear();

  // True while a fault of that kind is armed and has not been applied yet.
  static bool Pending(FileCall call);
  // True while the fault of ArmAny has not been applied yet.
  static bool AnyPending();

  // For the test platform library: the fault to apply to this call, consuming it.
  static FileFault Take(FileCall call);
};

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_FILE_FAULTS_H
