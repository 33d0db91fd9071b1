//===- pe_resources.h - Named resources of one type in a PE image ---------===//
// Reads the resource directory of a PE32 or PE32+ image held in memory and
// finds every resource of a named type (such as "ZVArc"), in every language.
// Every offset, size and RVA is checked against the image, so a damaged file
// gives an error and never a read outside it. The image is borrowed.
#ifndef VX_TOOLS_ZVPACK_PE_RESOURCES_H
#define VX_TOOLS_ZVPACK_PE_RESOURCES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

struct PeResource {
  std::string name;        // the resource's name as stored (ASCII), or "#id" for a numbered one
  uint16_t language = 0;
  uint32_t fileOffset = 0; // where its bytes start in the image file
  uint32_t size = 0;
};

// True when image starts like a PE file ("MZ").
bool LooksLikePe(const unsigned char* image, size_t size);

// The resources of the type named typeName (compared without regard to ASCII
// case), in directory order. An image without resources, or without that type,
// gives true and an empty list; a damaged image gives false and one line in *error.
bool FindPeResources(const unsigned char* image, size_t size, const std::string& typeName,
                     std::vector<PeResource>* found, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PE_RESOURCES_H
