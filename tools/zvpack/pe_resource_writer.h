//===- pe_resource_writer.h - A PE image with a new resource section ------===//
// Writes a copy of a PE32 or PE32+ image whose resource section holds a given
// set of resources, every other byte of the image kept. The resource section
// is rebuilt where it was; the sections behind it (the relocations and, in an
// unstripped image, the debug sections) and the COFF symbol table move with
// its new end. The headers follow: section table, resource and relocation
// directory entries, SizeOfImage, SizeOfInitializedData and the checksum.
//
// Refused, with one line in *error: an image without a resource section, one
// whose resources are not a section of their own, a section behind the
// resources that the program could address (anything but the relocations or a
// discardable section), a data directory pointing behind the resources, and a
// signed image (a certificate table): its signature would no longer match, so
// the unsigned image is to be given and the result signed afterwards.
#ifndef VX_TOOLS_ZVPACK_PE_RESOURCE_WRITER_H
#define VX_TOOLS_ZVPACK_PE_RESOURCE_WRITER_H

#include "tools/zvpack/pe_resources.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

struct PeResourceData {
  PeResourceKey type;
  PeResourceKey name;
  uint16_t language = 0;
  uint32_t codePage = 0;
  std::string bytes;
};

// Every resource of image with its bytes, in directory order.
bool ReadPeResourceData(const std::vector<unsigned char>& image, std::vector<PeResourceData>* resources,
                        std::string* error);

// The bytes of a resource section at sectionRva holding resources, in the order
// the loader's binary search needs (names by UTF-16 unit before numbers, then
// languages ascending). Two resources with the same type, name and language
// give false.
bool BuildResourceSection(const std::vector<PeResourceData>& resources, uint32_t sectionRva, std::string* section,
                          std::string* error);

// *out = image with resources as its only resources. The same input gives the
// same bytes.
bool ReplacePeResources(const std::vector<unsigned char>& image, const std::vector<PeResourceData>& resources,
                        std::vector<unsigned char>* out, std::string* error);

// The PE checksum of image, computed with the CheckSum field at checksumField
// taken as zero (the algorithm of the image help library's CheckSumMappedFile).
uint32_t PeChecksum(const unsigned char* image, size_t size, uint64_t checksumField);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PE_RESOURCE_WRITER_H
