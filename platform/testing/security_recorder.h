//===- security_recorder.h - Elevation answered, descriptors kept ---------===//
// Tests only. The test platform library stands in for GetElevatedUser, so that
// a test can run as an elevated user or as a plain one whatever the system
// says, and keeps what FileOpen and MakeDir were handed: the path and the SDDL
// text that the descriptor was made from.
#ifndef VX_PLATFORM_TESTING_SECURITY_RECORDER_H
#define VX_PLATFORM_TESTING_SECURITY_RECORDER_H

namespace platform {

// sid: GetElevatedUser answers elevated, as that user; "": not elevated; null:
// the real call again.
void SetElevatedUserForTesting(const char* sid);

// The last creation of each kind ("folder" for MakeDir, "file" for FileOpen)
// that was handed a descriptor since the last reset: its path and the SDDL of
// the descriptor; empty when there was none.
const char* SecuredPathForTesting(const char* kind);
const char* SecuredSddlForTesting(const char* kind);
// How many creations were handed a descriptor since the last reset.
int SecuredCreationsForTesting();
void ResetSecuredCreationsForTesting();

namespace testing_internal {

// For the test platform library's file and folder calls.
void KeepSecuredCreation(const char* kind, const char* path, const void* security);

}  // namespace testing_internal

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_SECURITY_RECORDER_H
