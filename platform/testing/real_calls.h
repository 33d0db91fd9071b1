//===- real_calls.h - The platform's own calls under their real names -----===//
// Internal to the test platform library: the calls that it wraps, as the
// platform sources define them when compiled with VX_PLATFORM_WRAPPED
// (platform/common/wrappable.h). Each wrapper in platform/testing calls these.
#ifndef VX_PLATFORM_TESTING_REAL_CALLS_H
#define VX_PLATFORM_TESTING_REAL_CALLS_H

#include "platform/file.h"

#include <cstddef>
#include <cstdint>

namespace platform {

FileHandle RealFileOpen(const char* path, uint32_t access, uint32_t share, uint32_t disposition,
                        const void* security);
bool RealFileRead(FileHandle handle, void* buffer, uint32_t count, uint32_t* read);
bool RealFileWrite(FileHandle handle, const void* buffer, uint32_t count, uint32_t* written);
uint32_t RealFileSeek(FileHandle handle, int32_t distance, uint32_t origin);
bool RealFileLock(FileHandle handle, uint32_t offset, uint32_t length);
bool RealFileUnlock(FileHandle handle, uint32_t offset, uint32_t length);
bool RealFileClose(FileHandle handle);

int RealAccess(const char* path, int mode);
int RealMakeDir(const char* path, const void* security);
int RealChangeDir(const char* path);
char* RealGetCwd(char* buffer, int size);
int RealGetDrive();
int RealChangeDrive(int drive);

uint32_t RealGetTempFolder(uint32_t size, char* buffer);
double RealGetDriveFreeBytes(const char* root);
bool RealRemoveFile(const char* path);
bool RealRemoveDir(const char* path);

uint32_t RealGetModulePath(void* module, char* buffer, uint32_t size);
uint32_t RealStartCommand(const char* command, uint32_t show);
uint32_t RealStartProgram(const char* program, const char* commandLine, uint32_t show);

void RealSleepMs(uint32_t ms);

bool RealGetElevatedUser(char* sid, uint32_t size);
void* RealMakeSecurityDescriptor(const char* sddl);

void* RealHeapAllocate(size_t size);
void* RealGlobalBlockAlloc(size_t size);

uint16_t RealGetUserDefaultLanguage();
uint16_t RealGetSystemDefaultLanguage();

namespace testing_internal {

// While one lives on a thread, the calls there are the system's own: the host's stand-ins
// for it allocate with operator new, which the allocation faults then leave alone.
class SystemCall {
 public:
  SystemCall();
  ~SystemCall();
  SystemCall(const SystemCall&) = delete;
  SystemCall& operator=(const SystemCall&) = delete;
};

// True while a SystemCall lives on this thread.
bool InSystemCall();

}  // namespace testing_internal

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_REAL_CALLS_H
