// Tests of the resource section writer over small PE32 and PE32+ images built here: the
// result read back by the reader, the code and the sections behind the resources kept, the
// headers updated, and the layouts the writer refuses.
#include "tools/zvpack/pe_resource_writer.h"
#include "tools/zvpack/version_resource.h"

#include <gtest/gtest.h>

namespace {

using zvpack::PeResourceData;
using zvpack::PeResourceKey;

constexpr uint32_t kPeAt = 0x80;
constexpr uint32_t kHeaders = 0x400;
constexpr uint32_t kTextRva = 0x1000, kRsrcRva = 0x2000, kRelocRva = 0x3000;
constexpr uint32_t kDiscardableData = 0x42000040u;

void Put32(std::vector<unsigned char>* s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t Get32(const std::vector<unsigned char>& s, size_t at) {
  return s[at] | s[at + 1] << 8 | s[at + 2] << 16 | static_cast<uint32_t>(s[at + 3]) << 24;
}

struct Image {
  std::vector<unsigned char> bytes;
  zvpack::PeLayout layout;
  std::string code, relocations;
};

void AddSection(Image* image, size_t index, const char* name, uint32_t rva, const std::string& data,
                uint32_t characteristics) {
  size_t header = image->layout.sectionTable + 40 * index;
  for (size_t i = 0; name[i] != '\0'; ++i) image->bytes[header + i] = static_cast<unsigned char>(name[i]);
  uint32_t raw = static_cast<uint32_t>((data.size() + 0x1FF) & ~size_t{0x1FF});
  Put32(&image->bytes, header + 8, static_cast<uint32_t>(data.size()));
  Put32(&image->bytes, header + 12, rva);
  Put32(&image->bytes, header + 16, raw);
  Put32(&image->bytes, header + 20, static_cast<uint32_t>(image->bytes.size()));
  Put32(&image->bytes, header + 36, characteristics);
  image->bytes.insert(image->bytes.end(), data.begin(), data.end());
  image->bytes.resize(image->bytes.size() + raw - data.size(), 0);
}

// Headers, .text, .rsrc holding an empty resource directory, and .reloc behind it, with
// the relocation directory pointing at .reloc.
Image BuildImage(bool plus, const char* tailName = ".reloc", uint32_t tailCharacteristics = kDiscardableData) {
  Image image;
  image.bytes.assign(kHeaders, 0);
  image.bytes[0] = 'M';
  image.bytes[1] = 'Z';
  Put32(&image.bytes, 0x3C, kPeAt);
  Put32(&image.bytes, kPeAt, 0x00004550);
  image.bytes[kPeAt + 4] = plus ? 0x64 : 0x4C;
  image.bytes[kPeAt + 5] = plus ? 0x86 : 0x01;
  image.bytes[kPeAt + 6] = 3;
  const uint32_t optionalSize = plus ? 240 : 224;
  image.bytes[kPeAt + 20] = static_cast<unsigned char>(optionalSize);
  const uint32_t opt = kPeAt + 24;
  image.bytes[opt] = 0x0B;
  image.bytes[opt + 1] = plus ? 0x02 : 0x01;
  Put32(&image.bytes, opt + 32, 0x1000);  // section alignment
  Put32(&image.bytes, opt + 36, 0x200);   // file alignment
  Put32(&image.bytes, opt + 56, 0x4000);  // SizeOfImage
  Put32(&image.bytes, opt + 60, kHeaders);
  const uint32_t dirs = opt + (plus ? 112 : 96);
  Put32(&image.bytes, dirs - 4, 16);
  Put32(&image.bytes, dirs + 2 * 8, kRsrcRva);
  Put32(&image.bytes, dirs + 2 * 8 + 4, 16);
  image.layout.sectionTable = opt + optionalSize;
  image.code = std::string("\x55\x8B\xEC\xC3 code that must stay", 24);
  image.relocations = std::string("\x00\x10\x00\x00\x0C\x00\x00\x00\x04\x30\x08\x30", 12);
  Put32(&image.bytes, dirs + 5 * 8, kRelocRva);
  Put32(&image.bytes, dirs + 5 * 8 + 4, static_cast<uint32_t>(image.relocations.size()));
  AddSection(&image, 0, ".text", kTextRva, image.code, 0x60000020u);
  AddSection(&image, 1, ".rsrc", kRsrcRva, std::string(16, '\0'), 0x40000040u);
  AddSection(&image, 2, tailName, kRelocRva, image.relocations, tailCharacteristics);
  std::string error;
  EXPECT_TRUE(zvpack::ReadPeLayout(image.bytes.data(), image.bytes.size(), &image.layout, &error)) << error;
  return image;
}

std::vector<PeResourceData> SomeResources(size_t archiveBytes) {
  return {
      {PeResourceKey::Id(16), PeResourceKey::Id(1), 1033, 1252, "version bytes"},
      {PeResourceKey::Name("ZVARC"), PeResourceKey::Name("SETUPBASE"), 1031, 0, std::string(archiveBytes, 'S')},
      {PeResourceKey::Id(3), PeResourceKey::Id(2), 1033, 0, "icon"},
      {PeResourceKey::Name("ZVARC"), PeResourceKey::Name("BASE"), 1031, 0, "base archive"},
      {PeResourceKey::Name("ZVARC"), PeResourceKey::Name("BASE"), 1040, 0, "italian"},
  };
}

bool SameResource(const PeResourceData& a, const PeResourceData& b) {
  return a.type == b.type && a.name == b.name && a.language == b.language && a.codePage == b.codePage &&
         a.bytes == b.bytes;
}

TEST(PeResourceWriterTest, WrittenResourcesReadBackWithTheHeadersRight) {
  for (bool plus : {false, true}) {
    for (size_t archiveBytes : {size_t{5000}, size_t{100}, size_t{70000}}) {
      Image image = BuildImage(plus);
      std::vector<PeResourceData> resources = SomeResources(archiveBytes), read;
      std::vector<unsigned char> out;
      std::string error;
      ASSERT_TRUE(zvpack::ReplacePeResources(image.bytes, resources, &out, &error)) << error;
      ASSERT_TRUE(zvpack::ReadPeResourceData(out, &read, &error)) << error;
      ASSERT_EQ(resources.size(), read.size());
      // Directory order: named types first, then names, then languages, ascending.
      const size_t kOrder[] = {3, 4, 1, 2, 0};
      for (size_t i = 0; i < read.size(); ++i) EXPECT_TRUE(SameResource(resources[kOrder[i]], read[i])) << i;

      zvpack::PeLayout layout;
      ASSERT_TRUE(zvpack::ReadPeLayout(out.data(), out.size(), &layout, &error)) << error;
      const zvpack::PeSection& text = layout.sections[0];
      const zvpack::PeSection& rsrc = layout.sections[1];
      const zvpack::PeSection& reloc = layout.sections[2];
      EXPECT_EQ(image.code, std::string(out.begin() + text.rawOffset, out.begin() + text.rawOffset + image.code.size()));
      EXPECT_EQ(kRsrcRva, rsrc.virtualAddress);
      EXPECT_EQ(rsrc.virtualSize, layout.Directory(zvpack::kPeResourceDirectory).size);
      EXPECT_EQ(0u, rsrc.rawSize % 0x200);
      EXPECT_EQ(rsrc.rawOffset + rsrc.rawSize, reloc.rawOffset);
      EXPECT_EQ((kRsrcRva + rsrc.virtualSize + 0xFFF) & ~0xFFFu, reloc.virtualAddress);
      EXPECT_EQ(reloc.virtualAddress, layout.Directory(zvpack::kPeRelocationDirectory).rva);
      EXPECT_EQ(image.relocations, std::string(out.begin() + reloc.rawOffset,
                                               out.begin() + reloc.rawOffset + image.relocations.size()));
      EXPECT_EQ(reloc.virtualAddress + 0x1000, Get32(out, layout.SizeOfImageField()));
      EXPECT_EQ(zvpack::PeChecksum(out.data(), out.size(), layout.CheckSumField()), Get32(out, layout.CheckSumField()));
      EXPECT_EQ(out.size(), size_t{reloc.rawOffset} + reloc.rawSize);

      // Written again from the result: the same bytes.
      std::vector<unsigned char> again;
      ASSERT_TRUE(zvpack::ReplacePeResources(out, resources, &again, &error)) << error;
      EXPECT_EQ(out, again);
    }
  }
}

TEST(PeResourceWriterTest, LayoutsThatCannotBeRewrittenAreRefused) {
  const struct {
    const char* label;
    const char* tailName;
    uint32_t tailCharacteristics;
    uint32_t directory;  // set to point at the tail section, 0 for none
    const char* message;
  } kCases[] = {
      {"signed", ".reloc", kDiscardableData, zvpack::kPeCertificateDirectory, "signed"},
      {"data behind the resources", ".data", 0xC0000040u, 0, "section .data follows the resource section"},
      {"debug directory behind the resources", ".reloc", kDiscardableData, 6, "data directory 6"},
  };
  for (const auto& c : kCases) {
    Image image = BuildImage(true, c.tailName, c.tailCharacteristics);
    if (c.directory != 0) Put32(&image.bytes, image.layout.directoryTable + 8 * c.directory, kRelocRva);
    if (c.directory != 0) Put32(&image.bytes, image.layout.directoryTable + 8 * c.directory + 4, 8);
    std::vector<unsigned char> out;
    std::string error;
    EXPECT_FALSE(zvpack::ReplacePeResources(image.bytes, SomeResources(10), &out, &error)) << c.label;
    EXPECT_NE(std::string::npos, error.find(c.message)) << c.label << ": " << error;
  }
  Image image = BuildImage(false);
  std::vector<PeResourceData> twice = SomeResources(10);
  twice.push_back(twice[3]);
  std::vector<unsigned char> out;
  std::string error;
  EXPECT_FALSE(zvpack::ReplacePeResources(image.bytes, twice, &out, &error));
  EXPECT_NE(std::string::npos, error.find("ZVARC/BASE language 1031 given twice")) << error;
}

TEST(PeResourceWriterTest, ChecksumFoldsCarriesSkipsItsFieldAndAddsTheLength) {
  const std::vector<unsigned char> bytes = {0xFF, 0xFF, 0x02, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x07};
  // 0xFFFF + 0x0002 folds to 0x0002; the field at 4 is skipped; the odd byte counts as 0x0007.
  EXPECT_EQ(0x0002u + 0x0007u + 9u, zvpack::PeChecksum(bytes.data(), bytes.size(), 4));
}

TEST(VersionResourceTest, VersionsParseOnlyAsFourNumbersOf16Bits) {
  zvpack::FileVersion v;
  ASSERT_TRUE(zvpack::ParseFileVersion("1.2.30.65535", &v));
  EXPECT_EQ((zvpack::FileVersion{1, 2, 30, 65535}), v);
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.65536", "1..2.3", "1.2.3.x", "1.2.3.4 ", "-1.2.3.4",
                          "0000001.2.3.4"}) {
    EXPECT_FALSE(zvpack::ParseFileVersion(bad, &v)) << bad;
  }
  std::string notVersionInfo = "garbage bytes that are no VS_VERSIONINFO", error;
  const std::string kept = notVersionInfo;
  EXPECT_FALSE(zvpack::SetFileVersion(&notVersionInfo, v, &error));
  EXPECT_EQ(kept, notVersionInfo);
}

}  // namespace
