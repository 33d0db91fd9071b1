//===- resources.h - Named resources of the executable --------------------===//
// Finds the bytes of a resource by type and name. On Windows that is
// FindResourceA, LoadResource, LockResource and SizeofResource on a module; the
// host build looks the name up in an in-memory registry that tests fill
// (platform/host/resource_registry.h).
#ifndef VX_PLATFORM_RESOURCES_H
#define VX_PLATFORM_RESOURCES_H

#include <cstdint>

namespace platform {

// The resource type of the embedded archives.
constexpr const char kArchiveResourceType[] = "ZVArc";

struct ResourceBytes {
  const unsigned char* data;  // read-only, never freed, valid for the process's life
  uint32_t size;              // the resource's real size in bytes
};

// module is the module instance handle (null: the executable itself). Type and
// name are compared without regard to case. Returns false, leaving *found
// unchanged, when there is no such resource or it yields no data.
bool FindResourceBytes(void* module, const char* type, const char* name, ResourceBytes* found);

}  // namespace platform

#endif  // VX_PLATFORM_RESOURCES_H
