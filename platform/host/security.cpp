// Host elevation and security descriptors: the host never runs elevated, and a
// descriptor is a copy of its text. Only generic POSIX code belongs in
// platform/host.
#include "platform/security.h"

#include "platform/common/wrappable.h"

#include <cstdlib>
#include <cstring>

namespace platform {

bool VX_PLATFORM_ENTRY(GetElevatedUser)(char*, uint32_t) { return false; }

void* VX_PLATFORM_ENTRY(MakeSecurityDescriptor)(const char* sddl) {
  const size_t size = std::strlen(sddl) + 1;
  void* copy = std::malloc(size);
  if (copy != nullptr) std::memcpy(copy, sddl, size);
  return copy;
}

void FreeSecurityDescriptor(void* descriptor) { std::free(descriptor); }

}  // namespace platform
