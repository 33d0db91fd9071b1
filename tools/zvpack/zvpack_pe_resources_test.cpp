// Tests of the PE resource reader over images built here: PE32 and PE32+,
// named and numbered types and names, several languages, and every cut.
#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/pe_resources.h"

#include "archive/testing/archive_writer.h"

#include <gtest/gtest.h>

namespace {

using archive_testing::ArchiveWriter;

void Put16(std::string* s, size_t at, uint16_t v) {
  (*s)[at] = static_cast<char>(v & 0xFF);
  (*s)[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string* s, size_t at, uint32_t v) {
  Put16(s, at, static_cast<uint16_t>(v & 0xFFFF));
  Put16(s, at + 2, static_cast<uint16_t>(v >> 16));
}

struct Resource {
  std::string type;  // empty: the numbered type 10 (RT_RCDATA)
  std::string name;  // empty: the number 1
  uint16_t language;
  std::string data;
};

constexpr uint32_t kSectionRva = 0x3000;
constexpr uint32_t kRawOffset = 0x400;

// A resource section at kSectionRva holding resources, which come grouped by
// type and then by name, named entries before numbered ones as the linker
// writes them.
std::string BuildResourceSection(const std::vector<Resource>& resources) {
  // Grouping: type -> name -> languages.
  struct Name {
    std::string name;
    std::vector<const Resource*> languages;
  };
  struct Type {
    std::string type;
    std::vector<Name> names;
  };
  std::vector<Type> types;
  for (const Resource& r : resources) {
    if (types.empty() || types.back().type != r.type) types.push_back(Type{r.type, {}});
    std::vector<Name>& names = types.back().names;
    if (names.empty() || names.back().name != r.name) names.push_back(Name{r.name, {}});
    names.back().languages.push_back(&r);
  }
  // Sizes first: directories, then data entries, strings and data.
  auto dirSize = [](size_t n) { return static_cast<uint32_t>(16 + 8 * n); };
  uint32_t dirs = dirSize(types.size());
  for (const Type& t : types) {
    dirs += dirSize(t.names.size());
    for (const Name& n : t.names) dirs += dirSize(n.languages.size());
  }
  std::string sec(dirs + 16 * resources.size(), '\0');
  uint32_t nextDir = dirSize(types.size());
  uint32_t nextData = dirs;
  auto addString = [&](const std::string& text) {
    uint32_t at = static_cast<uint32_t>(sec.size());
    sec.resize(sec.size() + 2 + 2 * text.size());
    Put16(&sec, at, static_cast<uint16_t>(text.size()));
    for (size_t i = 0; i < text.size(); ++i) Put16(&sec, at + 2 + 2 * i, static_cast<unsigned char>(text[i]));
    return at;
  };
  auto writeDir = [&](uint32_t at, size_t named, size_t ids) {
    Put16(&sec, at + 12, static_cast<uint16_t>(named));
    Put16(&sec, at + 14, static_cast<uint16_t>(ids));
  };
  std::vector<std::pair<uint32_t, const Resource*>> dataEntries;
  size_t namedTypes = 0;
  for (const Type& t : types) namedTypes += !t.type.empty();
  writeDir(0, namedTypes, types.size() - namedTypes);
  for (size_t ti = 0; ti < types.size(); ++ti) {
    const Type& t = types[ti];
    uint32_t entry = 16 + 8 * static_cast<uint32_t>(ti);
    Put32(&sec, entry, t.type.empty() ? 10u : (0x80000000u | addString(t.type)));
    uint32_t nameDir = nextDir;
    nextDir += dirSize(t.names.size());
    Put32(&sec, entry + 4, 0x80000000u | nameDir);
    size_t namedNames = 0;
    for (const Name& n : t.names) namedNames += !n.name.empty();
    writeDir(nameDir, namedNames, t.names.size() - namedNames);
    for (size_t ni = 0; ni < t.names.size(); ++ni) {
      const Name& n = t.names[ni];
      uint32_t nameEntry = nameDir + 16 + 8 * static_cast<uint32_t>(ni);
      Put32(&sec, nameEntry, n.name.empty() ? 1u : (0x80000000u | addString(n.name)));
      uint32_t langDir = nextDir;
      nextDir += dirSize(n.languages.size());
      Put32(&sec, nameEntry + 4, 0x80000000u | langDir);
      writeDir(langDir, 0, n.languages.size());
      for (size_t li = 0; li < n.languages.size(); ++li) {
        uint32_t langEntry = langDir + 16 + 8 * static_cast<uint32_t>(li);
        Put32(&sec, langEntry, n.languages[li]->language);
        Put32(&sec, langEntry + 4, nextData);
        dataEntries.emplace_back(nextData, n.languages[li]);
        nextData += 16;
      }
    }
  }
  for (const auto& d : dataEntries) {
    sec.resize((sec.size() + 3) & ~size_t(3));
    Put32(&sec, d.first, kSectionRva + static_cast<uint32_t>(sec.size()));
    Put32(&sec, d.first + 4, static_cast<uint32_t>(d.second->data.size()));
    sec += d.second->data;
  }
  return sec;
}

// A PE image of one section holding the resources; only what the reader looks at is filled.
std::string BuildPe(bool plus, const std::vector<Resource>& resources) {
  std::string rsrc = BuildResourceSection(resources);
  const uint32_t peAt = 0x80;
  const uint16_t optionalSize = plus ? 240 : 224;
  std::string image(kRawOffset, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  Put32(&image, 0x3C, peAt);
  Put32(&image, peAt, 0x00004550);
  Put16(&image, peAt + 4, plus ? 0x8664 : 0x014C);
  Put16(&image, peAt + 6, 2);  // sections: .text (empty) and .rsrc
  Put16(&image, peAt + 20, optionalSize);
  const uint32_t opt = peAt + 24;
  Put16(&image, opt, plus ? 0x20B : 0x10B);
  const uint32_t countAt = plus ? 108 : 92;
  Put32(&image, opt + countAt, 16);
  Put32(&image, opt + countAt + 4 + 2 * 8, kSectionRva);
  Put32(&image, opt + countAt + 4 + 2 * 8 + 4, static_cast<uint32_t>(rsrc.size()));
  const uint32_t table = opt + optionalSize;
  image.replace(table, 5, ".text");
  Put32(&image, table + 8, 0x1000);   // virtual size
  Put32(&image, table + 12, 0x1000);  // virtual address
  image.replace(table + 40, 5, ".rsrc");
  Put32(&image, table + 40 + 8, static_cast<uint32_t>(rsrc.size()));
  Put32(&image, table + 40 + 12, kSectionRva);
  Put32(&image, table + 40 + 16, static_cast<uint32_t>(rsrc.size()));
  Put32(&image, table + 40 + 20, kRawOffset);
  return image + rsrc;
}

std::string SmallArchive(const std::string& content) {
  ArchiveWriter w;
  w.AddFile("Docs\\" + content + ".txt", content);
  return w.Build();
}

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::vector<Resource> TypicalResources() {
  return {
      {"OTHER", "BASE", 1033, "not an archive"},
      {"ZVARC", "BASE", 1031, SmallArchive("base")},
      {"ZVARC", "PICTLITE", 1031, SmallArchive("pictlite")},
      {"ZVARC", "PICTLITE", 1040, SmallArchive("italian")},
      {"ZVARC", "", 0, SmallArchive("numbered")},
      {"", "", 1033, "icon bytes"},
  };
}

TEST(PeResourcesTest, FindsEveryZVArcResourceInBothImageKinds) {
  for (bool plus : {false, true}) {
    std::vector<Resource> resources = TypicalResources();
    std::string image = BuildPe(plus, resources);
    ASSERT_TRUE(zvpack::LooksLikePe(Bytes(image), image.size()));
    std::vector<zvpack::PeResource> found;
    std::string error;
    ASSERT_TRUE(zvpack::FindPeResources(Bytes(image), image.size(), "ZVArc", &found, &error)) << error;
    ASSERT_EQ(4u, found.size()) << plus;
    const struct {
      const char* name;
      uint16_t language;
      size_t resource;
    } kExpected[] = {{"BASE", 1031, 1}, {"PICTLITE", 1031, 2}, {"PICTLITE", 1040, 3}, {"#1", 0, 4}};
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(kExpected[i].name, found[i].name);
      EXPECT_EQ(kExpected[i].language, found[i].language);
      const std::string& data = resources[kExpected[i].resource].data;
      ASSERT_EQ(data.size(), found[i].size);
      EXPECT_EQ(data, image.substr(found[i].fileOffset, found[i].size));
      EXPECT_TRUE(zvpack::VerifyArchive(Bytes(image) + found[i].fileOffset, found[i].size, &error)) << error;
    }
  }
}

TEST(PeResourcesTest, ImagesWithoutTheTypeGiveAnEmptyList) {
  std::string image = BuildPe(false, {{"OTHER", "X", 0, "x"}});
  std::vector<zvpack::PeResource> found;
  std::string error;
  EXPECT_TRUE(zvpack::FindPeResources(Bytes(image), image.size(), "ZVArc", &found, &error)) << error;
  EXPECT_TRUE(found.empty());
}

TEST(PeResourcesTest, DamagedHeadersAreRefused) {
  const std::string good = BuildPe(true, TypicalResources());
  const struct {
    const char* label;
    size_t at;
    uint32_t value;
    const char* message;
  } kCases[] = {
      {"no MZ", 0, 0x00005A58, "no MZ header"},
      {"e_lfanew past the end", 0x3C, 0x7FFFFFF0, "no PE signature"},
      {"bad signature", 0x80, 0x00004551, "no PE signature"},
      {"bad magic", 0x80 + 24, 0x0000010C, "neither PE32 nor PE32+"},
      {"section count too high", 0x80 + 4, 0xFFFF8664, "section table cut"},
      {"resource RVA outside", 0x80 + 24 + 108 + 4 + 16, 0x00900000, "outside the file's sections"},
      {"resource size too large", 0x80 + 24 + 108 + 4 + 20, 0x00100000, "outside the file's sections"},
  };
  for (const auto& c : kCases) {
    std::string image = good;
    Put32(&image, c.at, c.value);
    std::vector<zvpack::PeResource> found;
    std::string error;
    EXPECT_FALSE(zvpack::FindPeResources(Bytes(image), image.size(), "ZVArc", &found, &error)) << c.label;
    EXPECT_NE(std::string::npos, error.find(c.message)) << c.label << ": " << error;
  }
}

TEST(PeResourcesTest, EveryCutAndEveryDamagedResourceByteStaysInBounds) {
  const std::string good = BuildPe(false, TypicalResources());
  std::vector<zvpack::PeResource> found;
  std::string error;
  // Cuts inside the headers or the resource section fail; the sanitizers check the reads.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(zvpack::FindPeResources(Bytes(good), cut, "ZVArc", &found, &error)) << cut;
  }
  // Every byte of the resource directory set to 0xFF in turn: an error or a
  // list whose every resource lies inside the image.
  for (size_t at = kRawOffset; at < good.size(); ++at) {
    std::string image = good;
    image[at] = '\xFF';
    if (zvpack::FindPeResources(Bytes(image), image.size(), "ZVArc", &found, &error)) {
      for (const zvpack::PeResource& r : found) {
        EXPECT_LE(static_cast<uint64_t>(r.fileOffset) + r.size, image.size()) << at;
      }
    }
  }
}

}  // namespace
