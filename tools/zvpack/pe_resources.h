//===- pe_resources.h - The layout and resources of a PE image ------------===//
// Reads the headers and the resource directory of a PE32 or PE32+ image held
// in memory: where its sections and data directories lie, and every resource
// (type, name, language, code page, bytes), or those of one named type (such
// as "ZVArc"). Every offset, size and RVA is checked against the image, so a
// damaged file gives an error and never a read outside it. The image is
// borrowed; offsets in the results are file offsets into it.
#ifndef VX_TOOLS_ZVPACK_PE_RESOURCES_H
#define VX_TOOLS_ZVPACK_PE_RESOURCES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

// Data directory indexes the tools look at.
constexpr uint32_t kPeResourceDirectory = 2;
constexpr uint32_t kPeCertificateDirectory = 4;
constexpr uint32_t kPeRelocationDirectory = 5;

constexpr uint16_t kPeMachineI386 = 0x14C;
constexpr uint16_t kPeMachineAmd64 = 0x8664;
constexpr uint16_t kPeExecutableImage = 0x0002;
constexpr uint16_t kPeDll = 0x2000;

struct PeSection {
  std::string name;  // up to 8 bytes, without the padding NULs
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
  uint32_t characteristics = 0;
};

struct PeDirectory {
  uint32_t rva = 0;  // a file offset for the certificate table
  uint32_t size = 0;
};

// Where the headers put things. Offsets are file offsets of header fields.
struct PeLayout {
  bool pe32Plus = false;
  uint16_t machine = 0;          // kPeMachineI386, kPeMachineAmd64, ...
  uint16_t characteristics = 0;  // the COFF header's flags (kPeExecutableImage, kPeDll)
  uint64_t coffHeader = 0;      // just after "PE\0\0"
  uint64_t optionalHeader = 0;
  uint64_t sectionTable = 0;    // 40 bytes per section
  uint64_t directoryTable = 0;  // 8 bytes per directory
  uint32_t symbolTable = 0;     // PointerToSymbolTable, 0 when stripped
  uint32_t sectionAlignment = 0;
  uint32_t fileAlignment = 0;
  uint32_t sizeOfHeaders = 0;
  std::vector<PeSection> sections;
  std::vector<PeDirectory> directories;

  uint64_t SizeOfInitializedDataField() const { return optionalHeader + 8; }
  uint64_t SizeOfImageField() const { return optionalHeader + 56; }
  uint64_t CheckSumField() const { return optionalHeader + 64; }
  PeDirectory Directory(uint32_t index) const {
    return index < directories.size() ? directories[index] : PeDirectory{};
  }
};

// A resource type, name or language key: a number, or a name in UTF-16.
struct PeResourceKey {
  bool named = false;
  uint16_t id = 0;
  std::u16string name;

  static PeResourceKey Id(uint16_t id) { return PeResourceKey{false, id, {}}; }
  static PeResourceKey Name(const std::string& ascii) {
    return PeResourceKey{true, 0, std::u16string(ascii.begin(), ascii.end())};
  }
  bool operator==(const PeResourceKey& o) const { return named == o.named && id == o.id && name == o.name; }
  bool operator!=(const PeResourceKey& o) const { return !(*this == o); }
  // The order of a resource directory: names (by UTF-16 unit) before numbers.
  bool operator<(const PeResourceKey& o) const {
    if (named != o.named) return named;
    return named ? name < o.name : id < o.id;
  }
  // ASCII, '?' for any other unit; "#id" for a number.
  std::string Text() const;
  // A name equal to ascii regardless of ASCII case.
  bool IsNamed(const std::string& ascii) const;
};

struct PeResourceEntry {
  PeResourceKey type;
  PeResourceKey name;
  uint16_t language = 0;
  uint32_t codePage = 0;
  uint32_t fileOffset = 0;  // where its bytes start in the image file
  uint32_t size = 0;
};

struct PeResource {
  std::string name;        // the resource's name as stored (ASCII), or "#id" for a numbered one
  uint16_t language = 0;
  uint32_t fileOffset = 0; // where its bytes start in the image file
  uint32_t size = 0;
};

// True when image starts like a PE file ("MZ").
bool LooksLikePe(const unsigned char* image, size_t size);

// The headers, sections and data directories. A damaged header gives false and
// one line in *error.
bool ReadPeLayout(const unsigned char* image, size_t size, PeLayout* layout, std::string* error);

// Every resource, in directory order. An image without resources gives true and
// an empty list.
bool ListPeResources(const unsigned char* image, size_t size, std::vector<PeResourceEntry>* found,
                     std::string* error);

// The resources of the type named typeName (compared without regard to ASCII
// case), in directory order. An image without resources, or without that type,
// gives true and an empty list; a damaged image gives false and one line in *error.
bool FindPeResources(const unsigned char* image, size_t size, const std::string& typeName,
                     std::vector<PeResource>* found, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PE_RESOURCES_H
