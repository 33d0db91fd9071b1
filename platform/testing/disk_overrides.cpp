// The temporary-folder and free-space calls of the test platform library.
#include "platform/testing/disk_overrides.h"

#include "platform/common/wrappable.h"
#include "platform/disk.h"
#include "platform/testing/kept_text.h"
#include "platform/testing/real_calls.h"

#include <cstring>

namespace platform {
namespace {

testing_internal::KeptText tempOverride;
bool freeOverridden = false;
double freeOverride = 0.0;
bool extendedHidden = false;

}  // namespace

void SetTempFolderForTesting(const char* path) { tempOverride.Set(path); }

void SetDriveFreeBytesForTesting(double freeBytes) {
  freeOverridden = true;
  freeOverride = freeBytes;
}

void ClearDriveFreeBytesForTesting() { freeOverridden = false; }

void HideExtendedFreeSpaceForTesting(bool hide) { extendedHidden = hide; }

// As GetTempPathA: the length without the terminator, or the size needed
// (buffer unchanged) when the path does not fit.
uint32_t GetTempFolder(uint32_t size, char* buffer) {
  testing_internal::SystemCall system;
  const char* path = tempOverride.GetOrNull();
  if (path == nullptr) return RealGetTempFolder(size, buffer);
  const uint32_t length = static_cast<uint32_t>(std::strlen(path));
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, path, length + 1);
  return length;
}

double GetDriveFreeBytes(const char* root) {
  testing_internal::SystemCall system;
  if (freeOverridden) return freeOverride;
  if (extendedHidden) return internal::FreeBytesOfRootFolder(root);
  return RealGetDriveFreeBytes(root);
}

}  // namespace platform
