// The directory calls of the test platform library that only mark themselves as
// the system's, and the mark itself.
#include "platform/dirs.h"
#include "platform/testing/real_calls.h"

namespace platform {
namespace testing_internal {
namespace {

thread_local int systemDepth = 0;

}  // namespace

SystemCall::SystemCall() { ++systemDepth; }
SystemCall::~SystemCall() { --systemDepth; }
bool InSystemCall() { return systemDepth > 0; }

}  // namespace testing_internal

using testing_internal::SystemCall;

int Access(const char* path, int mode) {
  SystemCall system;
  return RealAccess(path, mode);
}

char* GetCwd(char* buffer, int size) {
  SystemCall system;
  return RealGetCwd(buffer, size);
}

int GetDrive() {
  SystemCall system;
  return RealGetDrive();
}

int ChangeDrive(int drive) {
  SystemCall system;
  return RealChangeDrive(drive);
}

}  // namespace platform
