// PE resource directory reader with bounds checks on every read.
#include "tools/zvpack/pe_resources.h"

namespace zvpack {
namespace {

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
  unsigned char Byte(uint64_t offset) const { return data_[offset]; }
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

class Reader {
 public:
  Reader(const unsigned char* image, size_t size) : image_(image, size) {}

  bool Load(std::string* error);
  bool HasResources() const { return resourceSize_ != 0; }
  const PeLayout& Layout() const { return layout_; }
  bool List(std::vector<PeResourceEntry>* found, std::string* error);

 private:
  // File offset of [rva, rva + length) when a section's raw data holds it all.
  bool MapRva(uint32_t rva, uint32_t length, uint64_t* offset) const;
  bool DirectoryEntries(uint32_t dirOffset, uint32_t* first, uint32_t* count, std::string* error) const;
  bool NameAt(uint32_t nameOffset, std::u16string* name, std::string* error) const;
  bool KeyOf(uint32_t field, PeResourceKey* key, std::string* error) const;
  bool ListLanguages(const PeResourceEntry& resource, uint32_t langDir, std::vector<PeResourceEntry>* found,
                     std::string* error) const;

  View image_;
  PeLayout layout_;
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
  layout_.machine = image_.U16(pe + 4);
  layout_.characteristics = image_.U16(pe + 22);
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
  uint64_t table = optional + optionalSize;
  if (!image_.Has(table, static_cast<uint64_t>(sectionCount) * kSectionHeaderSize)) {
    *error = "section table cut";
    return false;
  }
  layout_.pe32Plus = magic == 0x20B;
  layout_.coffHeader = pe + 4;
  layout_.optionalHeader = optional;
  layout_.sectionTable = table;
  layout_.directoryTable = optional + directories;
  layout_.symbolTable = image_.U32(pe + 12);
  if (optionalSize >= 64) {
    layout_.sectionAlignment = image_.U32(optional + 32);
    layout_.fileAlignment = image_.U32(optional + 36);
    layout_.sizeOfHeaders = image_.U32(optional + 60);
  }
  for (uint32_t i = 0; i < directoryCount && directories + (i + 1) * 8 <= optionalSize; ++i) {
    layout_.directories.push_back(PeDirectory{image_.U32(layout_.directoryTable + i * 8),
                                              image_.U32(layout_.directoryTable + i * 8 + 4)});
  }
  for (uint32_t i = 0; i < sectionCount; ++i) {
    uint64_t s = table + static_cast<uint64_t>(i) * kSectionHeaderSize;
    PeSection section;
    for (uint32_t c = 0; c < 8 && image_.Byte(s + c) != 0; ++c) section.name.push_back(static_cast<char>(image_.Byte(s + c)));
    section.virtualSize = image_.U32(s + 8);
    section.virtualAddress = image_.U32(s + 12);
    section.rawSize = image_.U32(s + 16);
    section.rawOffset = image_.U32(s + 20);
    section.characteristics = image_.U32(s + 36);
    layout_.sections.push_back(section);
  }
  PeDirectory resources = layout_.Directory(kPeResourceDirectory);
  resourceSize_ = resources.size;
  if (resourceSize_ == 0) return true;
  if (!MapRva(resources.rva, resourceSize_, &resourceStart_)) {
    *error = "resource directory outside the file's sections";
    return false;
  }
  return true;
}

bool Reader::MapRva(uint32_t rva, uint32_t length, uint64_t* offset) const {
  for (const PeSection& s : layout_.sections) {
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

bool Reader::NameAt(uint32_t nameOffset, std::u16string* name, std::string* error) const {
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
    name->push_back(static_cast<char16_t>(image_.U16(resourceStart_ + nameOffset + 2 + i * 2)));
  }
  return true;
}

bool Reader::KeyOf(uint32_t field, PeResourceKey* key, std::string* error) const {
  if ((field & kHighBit) == 0) {
    *key = PeResourceKey::Id(static_cast<uint16_t>(field & 0xFFFF));
    return true;
  }
  key->named = true;
  return NameAt(field & ~kHighBit, &key->name, error);
}

bool Reader::List(std::vector<PeResourceEntry>* found, std::string* error) {
  uint32_t typeFirst, typeCount;
  if (!DirectoryEntries(0, &typeFirst, &typeCount, error)) return false;
  for (uint32_t t = 0; t < typeCount; ++t) {
    uint64_t entry = resourceStart_ + typeFirst + t * kDirectoryEntrySize;
    PeResourceEntry resource;
    if (!KeyOf(image_.U32(entry), &resource.type, error)) return false;
    uint32_t target = image_.U32(entry + 4);
    if ((target & kHighBit) == 0) {
      *error = "resource type " + resource.type.Text() + " is not a directory";
      return false;
    }
    // Three fixed levels (type, name, language): no recursion, so no loop.
    uint32_t nameFirst, nameCount;
    if (!DirectoryEntries(target & ~kHighBit, &nameFirst, &nameCount, error)) return false;
    for (uint32_t n = 0; n < nameCount; ++n) {
      uint64_t nameEntry = resourceStart_ + nameFirst + n * kDirectoryEntrySize;
      if (!KeyOf(image_.U32(nameEntry), &resource.name, error)) return false;
      uint32_t langDir = image_.U32(nameEntry + 4);
      if ((langDir & kHighBit) == 0) {
        *error = "resource " + resource.name.Text() + " has no language directory";
        return false;
      }
      if (!ListLanguages(resource, langDir & ~kHighBit, found, error)) return false;
    }
  }
  return true;
}

bool Reader::ListLanguages(const PeResourceEntry& resource, uint32_t langDir, std::vector<PeResourceEntry>* found,
                           std::string* error) const {
  uint32_t langFirst, langCount;
  if (!DirectoryEntries(langDir, &langFirst, &langCount, error)) return false;
  for (uint32_t l = 0; l < langCount; ++l) {
    uint64_t langEntry = resourceStart_ + langFirst + l * kDirectoryEntrySize;
    uint32_t dataEntry = image_.U32(langEntry + 4);
    View res(nullptr, resourceSize_);
    if ((dataEntry & kHighBit) != 0 || !res.Has(dataEntry, kDataEntrySize)) {
      *error = "resource " + resource.name.Text() + ": data entry outside the resource data";
      return false;
    }
    PeResourceEntry one = resource;
    one.language = static_cast<uint16_t>(image_.U32(langEntry) & 0xFFFF);
    uint32_t rva = image_.U32(resourceStart_ + dataEntry);
    one.size = image_.U32(resourceStart_ + dataEntry + 4);
    one.codePage = image_.U32(resourceStart_ + dataEntry + 8);
    uint64_t offset;
    if (!MapRva(rva, one.size, &offset)) {
      *error = "resource " + resource.name.Text() + ": data outside the file's sections";
      return false;
    }
    one.fileOffset = static_cast<uint32_t>(offset);
    found->push_back(one);
  }
  return true;
}

}  // namespace

bool LooksLikePe(const unsigned char* image, size_t size) {
  return size >= 2 && image[0] == 'M' && image[1] == 'Z';
}

std::string PeResourceKey::Text() const {
  if (!named) return "#" + std::to_string(id);
  std::string text;
  for (char16_t c : name) text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return text;
}

bool PeResourceKey::IsNamed(const std::string& ascii) const {
  if (!named || name.size() != ascii.size()) return false;
  auto upper = [](char16_t c) { return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c; };
  for (size_t i = 0; i < ascii.size(); ++i) {
    if (upper(name[i]) != upper(static_cast<unsigned char>(ascii[i]))) return false;
  }
  return true;
}

bool ReadPeLayout(const unsigned char* image, size_t size, PeLayout* layout, std::string* error) {
  Reader reader(image, size);
  if (!reader.Load(error)) return false;
  *layout = reader.Layout();
  return true;
}

bool ListPeResources(const unsigned char* image, size_t size, std::vector<PeResourceEntry>* found,
                     std::string* error) {
  found->clear();
  Reader reader(image, size);
  if (!reader.Load(error)) return false;
  if (!reader.HasResources()) return true;
  return reader.List(found, error);
}

bool FindPeResources(const unsigned char* image, size_t size, const std::string& typeName,
                     std::vector<PeResource>* found, std::string* error) {
  found->clear();
  std::vector<PeResourceEntry> all;
  if (!ListPeResources(image, size, &all, error)) return false;
  for (const PeResourceEntry& r : all) {
    if (r.type.IsNamed(typeName)) found->push_back(PeResource{r.name.Text(), r.language, r.fileOffset, r.size});
  }
  return true;
}

}  // namespace zvpack
