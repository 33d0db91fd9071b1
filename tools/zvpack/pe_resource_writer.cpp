// Rebuilding the resource section of a PE image, and the headers that describe it.
#include "tools/zvpack/pe_resource_writer.h"

#include <algorithm>

namespace zvpack {
namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kDataAlignment = 8;
constexpr uint32_t kInitializedData = 0x00000040u;
constexpr uint32_t kDiscardable = 0x02000000u;
// Keeps every offset of the section well inside 32 bits.
constexpr uint64_t kMaxSectionBytes = 0x7FFFFFFFu;

void Put16(std::string* s, size_t at, uint32_t v) {
  (*s)[at] = static_cast<char>(v & 0xFF);
  (*s)[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string* s, size_t at, uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}
void Put32(std::vector<unsigned char>* s, uint64_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t Get32(const std::vector<unsigned char>& s, uint64_t at) {
  return static_cast<uint32_t>(s[at]) | static_cast<uint32_t>(s[at + 1]) << 8 | static_cast<uint32_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(s[at + 3]) << 24;
}
uint64_t AlignUp(uint64_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }
uint32_t DirectorySize(size_t entries) { return static_cast<uint32_t>(16 + 8 * entries); }

std::string Describe(const PeResourceData& r) {
  return "resource " + r.type.Text() + "/" + r.name.Text() + " language " + std::to_string(r.language);
}

bool Before(const PeResourceData* a, const PeResourceData* b) {
  if (a->type != b->type) return a->type < b->type;
  if (a->name != b->name) return a->name < b->name;
  return a->language < b->language;
}

struct NameGroup {
  const PeResourceKey* name;
  std::vector<const PeResourceData*> languages;
};
struct TypeGroup {
  const PeResourceKey* type;
  std::vector<NameGroup> names;
};

std::vector<TypeGroup> Group(const std::vector<const PeResourceData*>& sorted) {
  std::vector<TypeGroup> types;
  for (const PeResourceData* r : sorted) {
    if (types.empty() || *types.back().type != r->type) types.push_back(TypeGroup{&r->type, {}});
    std::vector<NameGroup>& names = types.back().names;
    if (names.empty() || *names.back().name != r->name) names.push_back(NameGroup{&r->name, {}});
    names.back().languages.push_back(r);
  }
  return types;
}

// Writes the directories, data entries and strings; fills *pending with (data entry
// offset, resource) for the data that follows.
class SectionBuilder {
 public:
  explicit SectionBuilder(std::string* out) : out_(out) {}

  void Directories(const std::vector<TypeGroup>& types,
                   std::vector<std::pair<uint32_t, const PeResourceData*>>* pending) {
    uint32_t typeDirs = DirectorySize(types.size());
    uint32_t nameDirs = typeDirs, entries = typeDirs;
    size_t resources = 0;
    for (const TypeGroup& t : types) {
      nameDirs += DirectorySize(t.names.size());
      for (const NameGroup& n : t.names) resources += n.languages.size();
    }
    entries = nameDirs;
    for (const TypeGroup& t : types) {
      for (const NameGroup& n : t.names) entries += DirectorySize(n.languages.size());
    }
    out_->assign(entries + kDataEntrySize * resources, '\0');
    Header(0, types.size(), [&](size_t i) { return types[i].type->named; });
    for (size_t ti = 0; ti < types.size(); ++ti) {
      const TypeGroup& t = types[ti];
      uint32_t typeDir = typeDirs;
      typeDirs += DirectorySize(t.names.size());
      Entry(16 + 8 * ti, *t.type, kHighBit | typeDir);
      Header(typeDir, t.names.size(), [&](size_t i) { return t.names[i].name->named; });
      for (size_t ni = 0; ni < t.names.size(); ++ni) {
        const NameGroup& n = t.names[ni];
        uint32_t langDir = nameDirs;
        nameDirs += DirectorySize(n.languages.size());
        Entry(typeDir + 16 + 8 * ni, *n.name, kHighBit | langDir);
        Header(langDir, n.languages.size(), [](size_t) { return false; });
        for (size_t li = 0; li < n.languages.size(); ++li) {
          Entry(langDir + 16 + 8 * li, PeResourceKey::Id(n.languages[li]->language), entries);
          pending->emplace_back(entries, n.languages[li]);
          entries += kDataEntrySize;
        }
      }
    }
  }

 private:
  template <typename IsNamed>
  void Header(uint32_t at, size_t count, IsNamed isNamed) {
    size_t named = 0;
    for (size_t i = 0; i < count; ++i) named += isNamed(i);
    Put16(out_, at + 12, static_cast<uint32_t>(named));
    Put16(out_, at + 14, static_cast<uint32_t>(count - named));
  }
  void Entry(size_t at, const PeResourceKey& key, uint32_t target) {
    Put32(out_, at, key.named ? (kHighBit | String(key.name)) : key.id);
    Put32(out_, at + 4, target);
  }
  uint32_t String(const std::u16string& text) {
    uint32_t at = static_cast<uint32_t>(out_->size());
    out_->resize(out_->size() + 2 + 2 * text.size());
    Put16(out_, at, static_cast<uint32_t>(text.size()));
    for (size_t i = 0; i < text.size(); ++i) Put16(out_, at + 2 + 2 * i, text[i]);
    return at;
  }

  std::string* out_;
};

// What ReplacePeResources changes: the resource section and what lies behind it.
struct Plan {
  size_t resourceSection = 0;
  uint64_t tailStart = 0;          // file offset where the resource section's raw data ends
  uint32_t firstTailRva = 0;       // 0: no section behind the resources
};

bool PlanReplacement(const std::vector<unsigned char>& image, const PeLayout& layout, Plan* plan, std::string* error) {
  if (layout.Directory(kPeCertificateDirectory).size != 0) {
    *error = "signed (it has a certificate table); give the unsigned program and sign the result";
    return false;
  }
  PeDirectory resources = layout.Directory(kPeResourceDirectory);
  if (resources.size == 0) {
    *error = "no resource section";
    return false;
  }
  auto isPowerOfTwo = [](uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
  if (!isPowerOfTwo(layout.fileAlignment) || !isPowerOfTwo(layout.sectionAlignment)) {
    *error = "file or section alignment is not a power of two";
    return false;
  }
  const std::vector<PeSection>& sections = layout.sections;
  auto found = std::find_if(sections.begin(), sections.end(),
                            [&](const PeSection& s) { return s.virtualAddress == resources.rva; });
  if (found == sections.end()) {
    *error = "the resources are not a section of their own";
    return false;
  }
  plan->resourceSection = static_cast<size_t>(found - sections.begin());
  const PeSection& rsrc = *found;
  plan->tailStart = static_cast<uint64_t>(rsrc.rawOffset) + rsrc.rawSize;
  if (plan->tailStart > image.size()) {
    *error = "resource section cut";
    return false;
  }
  for (const PeSection& s : sections) {
    if (&s == &rsrc) continue;
    bool hasRaw = s.rawSize != 0;
    if (s.virtualAddress < rsrc.virtualAddress) {
      if (hasRaw && static_cast<uint64_t>(s.rawOffset) + s.rawSize > rsrc.rawOffset) {
        *error = "section " + s.name + " lies behind the resource section in the file";
        return false;
      }
      continue;
    }
    // Behind the resources: moved, so nothing the program addresses may live there.
    if ((s.characteristics & kDiscardable) == 0 && s.name != ".reloc") {
      *error = "section " + s.name + " follows the resource section; it must be the last section";
      return false;
    }
    if (hasRaw && s.rawOffset < plan->tailStart) {
      *error = "section " + s.name + " lies before the resource section in the file";
      return false;
    }
    if (plan->firstTailRva == 0 || s.virtualAddress < plan->firstTailRva) plan->firstTailRva = s.virtualAddress;
  }
  for (uint32_t i = 0; i < layout.directories.size(); ++i) {
    const PeDirectory& d = layout.directories[i];
    if (i == kPeResourceDirectory || d.rva == 0 || d.rva < rsrc.virtualAddress) continue;
    if (i == kPeRelocationDirectory && plan->firstTailRva != 0 && d.rva >= plan->firstTailRva) continue;
    *error = "data directory " + std::to_string(i) + " points into or behind the resource section";
    return false;
  }
  if (layout.symbolTable != 0 && layout.symbolTable < plan->tailStart) {
    *error = "the symbol table lies before the end of the resource section";
    return false;
  }
  return true;
}

}  // namespace

bool ReadPeResourceData(const std::vector<unsigned char>& image, std::vector<PeResourceData>* resources,
                        std::string* error) {
  std::vector<PeResourceEntry> entries;
  if (!ListPeResources(image.data(), image.size(), &entries, error)) return false;
  resources->clear();
  for (const PeResourceEntry& e : entries) {
    const char* at = reinterpret_cast<const char*>(image.data()) + e.fileOffset;
    resources->push_back(PeResourceData{e.type, e.name, e.language, e.codePage, std::string(at, e.size)});
  }
  return true;
}

bool BuildResourceSection(const std::vector<PeResourceData>& resources, uint32_t sectionRva, std::string* section,
                          std::string* error) {
  std::vector<const PeResourceData*> sorted;
  for (const PeResourceData& r : resources) sorted.push_back(&r);
  std::stable_sort(sorted.begin(), sorted.end(), Before);
  for (size_t i = 1; i < sorted.size(); ++i) {
    if (!Before(sorted[i - 1], sorted[i])) {
      *error = Describe(*sorted[i]) + " given twice";
      return false;
    }
  }
  std::vector<std::pair<uint32_t, const PeResourceData*>> pending;
  SectionBuilder(section).Directories(Group(sorted), &pending);
  for (const auto& p : pending) {
    section->resize(AlignUp(section->size(), kDataAlignment), '\0');
    if (section->size() + p.second->bytes.size() > kMaxSectionBytes) {
      *error = "the resources come to more than 2 GiB";
      return false;
    }
    Put32(section, p.first, sectionRva + static_cast<uint32_t>(section->size()));
    Put32(section, p.first + 4, static_cast<uint32_t>(p.second->bytes.size()));
    Put32(section, p.first + 8, p.second->codePage);
    *section += p.second->bytes;
  }
  return true;
}

bool ReplacePeResources(const std::vector<unsigned char>& image, const std::vector<PeResourceData>& resources,
                        std::vector<unsigned char>* out, std::string* error) {
  PeLayout layout;
  Plan plan;
  if (!ReadPeLayout(image.data(), image.size(), &layout, error) || !PlanReplacement(image, layout, &plan, error)) {
    return false;
  }
  const PeSection rsrc = layout.sections[plan.resourceSection];
  std::string section;
  if (!BuildResourceSection(resources, rsrc.virtualAddress, &section, error)) return false;
  const uint64_t rawSize = AlignUp(section.size(), layout.fileAlignment);
  const int64_t fileDelta = static_cast<int64_t>(rsrc.rawOffset + rawSize) - static_cast<int64_t>(plan.tailStart);
  const int64_t rvaDelta =
      plan.firstTailRva == 0 ? 0
                             : static_cast<int64_t>(rsrc.virtualAddress +
                                                    AlignUp(section.size(), layout.sectionAlignment)) -
                                   plan.firstTailRva;

  out->assign(image.begin(), image.begin() + rsrc.rawOffset);
  out->insert(out->end(), section.begin(), section.end());
  out->resize(rsrc.rawOffset + rawSize, 0);
  out->insert(out->end(), image.begin() + static_cast<std::ptrdiff_t>(plan.tailStart), image.end());

  uint64_t sizeOfImage = 0;
  for (size_t i = 0; i < layout.sections.size(); ++i) {
    PeSection s = layout.sections[i];
    uint64_t header = layout.sectionTable + i * kSectionHeaderSize;
    if (i == plan.resourceSection) {
      s.virtualSize = static_cast<uint32_t>(section.size());
      s.rawSize = static_cast<uint32_t>(rawSize);
    } else if (s.virtualAddress > rsrc.virtualAddress) {
      s.virtualAddress = static_cast<uint32_t>(s.virtualAddress + rvaDelta);
      if (s.rawSize != 0) s.rawOffset = static_cast<uint32_t>(s.rawOffset + fileDelta);
    }
    Put32(out, header + 8, s.virtualSize);
    Put32(out, header + 12, s.virtualAddress);
    Put32(out, header + 16, s.rawSize);
    Put32(out, header + 20, s.rawOffset);
    uint64_t extent = s.virtualSize != 0 ? s.virtualSize : s.rawSize;
    sizeOfImage = std::max(sizeOfImage, AlignUp(static_cast<uint64_t>(s.virtualAddress) + extent, layout.sectionAlignment));
  }
  if (sizeOfImage > 0xFFFFFFFFu) {
    *error = "the image would pass 4 GiB";
    return false;
  }
  Put32(out, layout.directoryTable + kPeResourceDirectory * 8 + 4, static_cast<uint32_t>(section.size()));
  PeDirectory relocations = layout.Directory(kPeRelocationDirectory);
  if (relocations.rva != 0 && relocations.rva > rsrc.virtualAddress) {
    Put32(out, layout.directoryTable + kPeRelocationDirectory * 8, static_cast<uint32_t>(relocations.rva + rvaDelta));
  }
  if (layout.symbolTable != 0) Put32(out, layout.coffHeader + 8, static_cast<uint32_t>(layout.symbolTable + fileDelta));
  Put32(out, layout.SizeOfImageField(), static_cast<uint32_t>(sizeOfImage));
  if (rsrc.characteristics & kInitializedData) {
    uint32_t initialized = Get32(*out, layout.SizeOfInitializedDataField());
    Put32(out, layout.SizeOfInitializedDataField(), static_cast<uint32_t>(initialized + rawSize - rsrc.rawSize));
  }
  Put32(out, layout.CheckSumField(), PeChecksum(out->data(), out->size(), layout.CheckSumField()));
  return true;
}

uint32_t PeChecksum(const unsigned char* image, size_t size, uint64_t checksumField) {
  auto byteAt = [&](size_t i) -> uint32_t {
    if (i >= size || (i >= checksumField && i < checksumField + 4)) return 0;
    return image[i];
  };
  uint64_t sum = 0;
  for (size_t i = 0; i < size; i += 2) {
    sum += byteAt(i) | byteAt(i + 1) << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + size);
}

}  // namespace zvpack
