//===- resource_registry.h - Resources of the host build (host only) ------===//
// The host executable has no resource section; tests register the resources
// that FindResourceBytes (platform/resources.h) then finds.
#ifndef VX_PLATFORM_HOST_RESOURCE_REGISTRY_H
#define VX_PLATFORM_HOST_RESOURCE_REGISTRY_H

#include <cstdint>

namespace platform {

// Registers size bytes at data as resource (type, name) for any module,
// replacing one of the same type and name (compared without regard to case).
// The bytes are borrowed: they must stay valid until the entry is removed.
void RegisterResource(const char* type, const char* name, const void* data, uint32_t size);

// Removes every registered resource.
void ClearResources();

}  // namespace platform

#endif  // VX_PLATFORM_HOST_RESOURCE_REGISTRY_H
