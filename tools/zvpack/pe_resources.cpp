// PE resource directory reader with bounds checks on every read.
#include "tools/zvpack/pe_resources.h"

namespace zvpack {
namespace {

constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kHighBit = 0x80000000u;

// A bounded view of part of the image.
class View {
 public:
  View(const unsigned char* data, uint64_t size) : data_(data), size_(size) {}
  bool Has(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
  uint16_t U16(uint64_t offset) const { return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8); }
  uint32_t U32(uint64_t offset) const {
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 | static_cast<uint32_t>(data_[offset + 3]) << 24;
  }
  uint64_t Size() const { return size_; }

 private:
  const unsigned char* data_;
  uint64_t size_;
};

struct Section {
  uint32_t virtualAddress;
  uint32_t virtualSize;
  uint32_t rawSize;
  uint32_t rawOffset;
};

class Reader {
 public:
  Reader(const unsigned char* image, size_t size) : image_(image, size) {}

  bool Load(std::string* error);
  bool HasResources() const { return resourceSize_ != 0; }
  bool Find(const std::string& typeName, std::vector<PeResource>* found, std::string* error);

 private:
  // File offset of [rva, rva + length) when a section's raw data holds it all.
  bool MapRva(uint32_t rva, uint32_t length, uint64_t* offset) const;
  bool DirectoryEntries(uint32_t dirOffset, uint32_t* first, uint32_t* count, std::string* error) const;
  bool NameAt(uint32_t nameOffset, std::string* name, std::string* error) const;

  View image_;
  std::vector<Section> sections_;
  uint64_t resourceStart_ = 0;  // file offset of the resource directory
  uint32_t resourceSize_ = 0;
};

bool Reader::Load(std::string* error) {
  if (!image_.Has(0, 0x40) || image_.U16(0) != 0x5A4D) {
    *error = "no MZ header";
    return false;
  }
  uint32_t pe = image_.U32(0x3C);
  if (!image_.Has(pe, 24) || image_.U32(pe) != 0x00004550) {
    *error = "no PE signature";
    return false;
  }
  uint32_t sectionCount = image_.U16(pe + 6);
  uint32_t optionalSize = image_.U16(pe + 20);
  uint64_t optional = static_cast<uint64_t>(pe) + 24;
  if (!image_.Has(optional, optionalSize) || optionalSize < 2) {
    *error = "optional header cut";
    return false;
  }
  uint16_t magic = image_.U16(optional);
  uint32_t countField, directories;
  if (magic == 0x10B) {
    countField = 92;
    directories = 96;
  } else if (magic == 0x20B) {
    countField = 108;
    directories = 112;
  } else {
    *error = "neither PE32 nor PE32+";
    return false;
  }
  if (optionalSize < countField + 4) {
    *error = "optional header cut";
    return false;
  }
  uint32_t directoryCount = image_.U32(optional + countField);
  uint32_t resourceRva = 0;
  if (directoryCount > kResourceDirectoryIndex &&
      optionalSize >= directories + (kResourceDirectoryIndex + 1) * 8) {
    resourceRva = image_.U32(optional + directories + kResourceDirectoryIndex * 8);
    resourceSize_ = image_.U32(optional + directories + kResourceDirectoryIndex * 8 + 4);
  }
  uint64_t table = optional + optionalSize;
  if (!image_.Has(table, static_cast<uint64_t>(sectionCount) * kSectionHeaderSize)) {
    *error = "section table cut";
    return false;
  }
  for (uint32_t i = 0; i < sectionCount; ++i) {
    uint64_t s = table + static_cast<uint64_t>(i) * kSectionHeaderSize;
    sections_.push_back(Section{image_.U32(s + 12), image_.U32(s + 8), image_.U32(s + 16), image_.U32(s + 20)});
  }
  if (resourceSize_ == 0) return true;
  if (!MapRva(resourceRva, resourceSize_, &resourceStart_)) {
    *error = "resource directory outside the file's sections";
    return false;
  }
  return true;
}

bool Reader::MapRva(uint32_t rva, uint32_t length, uint64_t* offset) const {
  for (const Section& s : sections_) {
    // Only the raw data is in the file; a virtual tail beyond it holds zeros.
    uint64_t extent = s.rawSize;
    if (s.virtualSize != 0 && s.virtualSize < extent) extent = s.virtualSize;
    if (rva < s.virtualAddress) continue;
    uint64_t delta = rva - s.virtualAddress;
    if (delta > extent || length > extent - delta) continue;
    uint64_t at = s.rawOffset + delta;
    if (!image_.Has(at, length)) return false;
    *offset = at;
    return true;
  }
  return false;
}

bool Reader::DirectoryEntries(uint32_t dirOffset, uint32_t* first, uint32_t* count, std::string* error) const {
  View res(nullptr, resourceSize_);
  if (!res.Has(dirOffset, kDirectoryHeaderSize)) {
    *error = "resource directory at " + std::to_string(dirOffset) + " outside the resource data";
    return false;
  }
  uint64_t at = resourceStart_ + dirOffset;
  *count = static_cast<uint32_t>(image_.U16(at + 12)) + image_.U16(at + 14);
  *first = dirOffset + kDirectoryHeaderSize;
  if (!res.Has(*first, static_cast<uint64_t>(*count) * kDirectoryEntrySize)) {
    *error = "resource directory entries outside the resource data";
    return false;
  }
  return true;
}

bool Reader::NameAt(uint32_t nameOffset, std::string* name, std::string* error) const {
  View res(nullptr, resourceSize_);
  if (!res.Has(nameOffset, 2)) {
    *error = "resource name outside the resource data";
    return false;
  }
  uint32_t length = image_.U16(resourceStart_ + nameOffset);
  if (!res.Has(static_cast<uint64_t>(nameOffset) + 2, static_cast<uint64_t>(length) * 2)) {
    *error = "resource name outside the resource data";
    return false;
  }
  name->clear();
  for (uint32_t i = 0; i < length; ++i) {
    uint16_t c = image_.U16(resourceStart_ + nameOffset + 2 + i * 2);
    name->push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  return true;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool Reader::Find(const std::string& typeName, std::vector<PeResource>* found, std::string* error) {
  uint32_t typeFirst, typeCount;
  if (!DirectoryEntries(0, &typeFirst, &typeCount, error)) return false;
  for (uint32_t t = 0; t < typeCount; ++t) {
    uint64_t entry = resourceStart_ + typeFirst + t * kDirectoryEntrySize;
    uint32_t nameField = image_.U32(entry);
    uint32_t target = image_.U32(entry + 4);
    if ((nameField & kHighBit) == 0) continue;  // a numbered type
    std::string type;
    if (!NameAt(nameField & ~kHighBit, &type, error)) return false;
    if (!SameIgnoringCase(type, typeName)) continue;
    if ((target & kHighBit) == 0) {
      *error = "resource type " + type + " is not a directory";
      return false;
    }
    // Three fixed levels (type, name, language): no recursion, so no loop.
    uint32_t nameFirst, nameCount;
    if (!DirectoryEntries(target & ~kHighBit, &nameFirst, &nameCount, error)) return false;
    for (uint32_t n = 0; n < nameCount; ++n) {
      uint64_t nameEntry = resourceStart_ + nameFirst + n * kDirectoryEntrySize;
      uint32_t resName = image_.U32(nameEntry);
      uint32_t langDir = image_.U32(nameEntry + 4);
      PeResource resource;
      if (resName & kHighBit) {
        if (!NameAt(resName & ~kHighBit, &resource.name, error)) return false;
      } else {
        resource.name = "#" + std::to_string(resName & 0xFFFF);
      }
      if ((langDir & kHighBit) == 0) {
        *error = "resource " + resource.name + " has no language directory";
        return false;
      }
      uint32_t langFirst, langCount;
      if (!DirectoryEntries(langDir & ~kHighBit, &langFirst, &langCount, error)) return false;
      for (uint32_t l = 0; l < langCount; ++l) {
        uint64_t langEntry = resourceStart_ + langFirst + l * kDirectoryEntrySize;
        uint32_t dataEntry = image_.U32(langEntry + 4);
        View res(nullptr, resourceSize_);
        if ((dataEntry & kHighBit) != 0 || !res.Has(dataEntry, kDataEntrySize)) {
          *error = "resource " + resource.name + ": data entry outside the resource data";
          return false;
        }
        PeResource one = resource;
        one.language = static_cast<uint16_t>(image_.U32(langEntry) & 0xFFFF);
        uint32_t rva = image_.U32(resourceStart_ + dataEntry);
        one.size = image_.U32(resourceStart_ + dataEntry + 4);
        uint64_t offset;
        if (!MapRva(rva, one.size, &offset)) {
          *error = "resource " + resource.name + ": data outside the file's sections";
          return false;
        }
        one.fileOffset = static_cast<uint32_t>(offset);
        found->push_back(one);
      }
    }
  }
  return true;
}

}  // namespace

bool LooksLikePe(const unsigned char* image, size_t size) {
  return size >= 2 && image[0] == 'M' && image[1] == 'Z';
}

bool FindPeResources(const unsigned char* image, size_t size, const std::string& typeName,
                     std::vector<PeResource>* found, std::string* error) {
  found->clear();
  Reader reader(image, size);
  if (!reader.Load(error)) return false;
  if (!reader.HasResources()) return true;
  return reader.Find(typeName, found, error);
}

}  // namespace zvpack
