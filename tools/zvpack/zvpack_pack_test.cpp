// Tests of archive writing: round trips, layout, names, list files, reproducibility.
#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/compress.h"
#include "tools/zvpack/pack.h"
#include "tools/zvpack/zvpack_test_util.h"

#include "archive/archive_format.h"
#include "archive/archive_reader.h"

#include <gtest/gtest.h>

#include <utime.h>

#include <algorithm>
#include <utility>

namespace {

using archive_format::ReadU32;
using zvpack_testing::NoiseBytes;
using zvpack_testing::ReadFile;
using zvpack_testing::TempDir;
using zvpack_testing::TextBytes;
using zvpack_testing::WriteFile;

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// Packs the tree under src into an archive and returns the archive's bytes.
std::string PackDir(const TempDir& dir, const std::string& src, zvpack::PackOptions options = {},
                    const std::string& archiveName = "out.zva") {
  std::vector<zvpack::PackInput> inputs;
  std::string error;
  EXPECT_TRUE(zvpack::CollectDirectory(dir / src, &inputs, &error)) << error;
  EXPECT_TRUE(zvpack::CreateArchive(dir / archiveName, inputs, options, &error)) << error;
  return ReadFile(dir / archiveName);
}

struct Entry {
  std::string name;
  uint32_t dataOffset, compressedSize, uncompressedSize, time1, time2, time3;
};

std::vector<Entry> Walk(const std::string& archive) {
  ArchiveReader reader(Bytes(archive), static_cast<uint32_t>(archive.size()), VxString("C:\\"));
  EXPECT_EQ(ArchiveError::kNone, reader.Check());
  std::vector<Entry> out;
  ArchiveEntry e;
  while (reader.Next(&e)) {
    out.push_back(Entry{e.name, e.dataOffset, e.compressedSize, e.uncompressedSize, e.time1, e.time2, e.time3});
  }
  return out;
}

// Words in a random order, which the compressors' match finders must work for (TextBytes
// repeats every 47 bytes).
std::string WordText(size_t size) {
  static const char* const kWords[] = {"photo ", "album ", "zelvora ", "setup ", "colour ", "frame\r\n",
                                       "licence ", "the ", "of ", "picture ", "import ", "export "};
  std::string out;
  uint32_t x = 2463534242u;
  while (out.size() < size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out += kWords[x % (sizeof kWords / sizeof kWords[0])];
  }
  out.resize(size);
  return out;
}

// Stored names and contents of the files of a test tree.
using Files = std::vector<std::pair<std::string, std::string>>;

std::string HostRelative(std::string storedName) {
  std::replace(storedName.begin(), storedName.end(), '\\', '/');
  return storedName;
}

void WriteTree(const TempDir& dir, const std::string& sub, const Files& files) {
  for (const auto& f : files) WriteFile(dir / (sub + "/" + HostRelative(f.first)), f.second);
}

// The archive verifies, and the launcher's extraction gives back every file byte for byte.
void ExpectVerifiedRoundTrip(const TempDir& dir, const std::string& archive, const Files& files) {
  std::string error;
  ASSERT_TRUE(zvpack::VerifyArchive(Bytes(archive), archive.size(), &error)) << error;
  ASSERT_TRUE(zvpack::ExtractArchive(Bytes(archive), archive.size(), dir / "out", false, stdout, &error)) << error;
  for (const auto& f : files) EXPECT_EQ(f.second, ReadFile(dir / ("out/" + HostRelative(f.first)))) << f.first;
}

TEST(ZvpackCreateTest, RoundTripKeepsEveryByte) {
  const std::string longName = "d\\" + std::string(253, 'n');  // 255 bytes in all
  const Files files = {
      {"empty.txt", ""},
      {"one.bin", "x"},
      {"zeros.bin", std::string("\0a\0\0b", 5)},
      {"big.txt", TextBytes(3 << 20)},
      {"noise.bin", NoiseBytes(2 << 20, 1)},
      {"Docs\\Eng\\a.rtf", "{\\rtf1 licence}"},
      {"Docs\\Fre\\b.rtf", TextBytes(777)},
      {longName, "longest name"},
  };
  TempDir dir;
  WriteTree(dir, "src", files);
  std::string archive = PackDir(dir, "src");
  ExpectVerifiedRoundTrip(dir, archive, files);
  std::vector<Entry> entries = Walk(archive);
  ASSERT_EQ(files.size(), entries.size());
  EXPECT_EQ(longName.size(), 255u);
}

TEST(ZvpackCreateTest, LayoutIsTheLaunchersAndSortedByStoredName) {
  TempDir dir;
  WriteFile(dir / "src/b.txt", "bbb");
  WriteFile(dir / "src/a/z.txt", "zz");
  WriteFile(dir / "src/Z.txt", "Z");
  WriteFile(dir / "src/a.txt", "a");
  std::string archive = PackDir(dir, "src");
  std::vector<Entry> entries = Walk(archive);
  // Byte order of the stored names: 'Z' < 'a' and "a.txt" < "a\z.txt" ('.' < '\').
  std::vector<std::string> names;
  for (const Entry& e : entries) names.push_back(e.name);
  EXPECT_EQ((std::vector<std::string>{"Z.txt", "a.txt", "a\\z.txt", "b.txt"}), names);
  uint32_t expected = 4;
  for (const Entry& e : entries) {
    EXPECT_EQ(expected, e.dataOffset) << e.name;
    EXPECT_EQ(0x78, static_cast<unsigned char>(archive[e.dataOffset]));
    EXPECT_EQ(0x9C, static_cast<unsigned char>(archive[e.dataOffset + 1]));
    EXPECT_GE(e.time3, e.time1);
    EXPECT_GE(e.time3, e.time2);
    expected += e.compressedSize;
  }
  EXPECT_EQ(expected, ReadU32(Bytes(archive)));
}

TEST(ZvpackCreateTest, EveryLevelWritesTheHeader789C) {
  TempDir dir;
  WriteFile(dir / "src/f.txt", TextBytes(5000));
  WriteFile(dir / "src/empty.txt", "");
  for (int level : {0, 1, 2, 5, 6, 7, 9, zvpack::kBestLevel}) {
    zvpack::PackOptions options;
    options.level = level;
    std::string archive = PackDir(dir, "src", options);
    for (const Entry& e : Walk(archive)) {
      EXPECT_EQ(0x78, static_cast<unsigned char>(archive[e.dataOffset])) << level << e.name;
      EXPECT_EQ(0x9C, static_cast<unsigned char>(archive[e.dataOffset + 1])) << level << e.name;
    }
    std::string error;
    EXPECT_TRUE(zvpack::VerifyArchive(Bytes(archive), archive.size(), &error)) << level << error;
  }
  for (int level : {-1, 10, 11, 13}) {
    zvpack::PackOptions bad;
    bad.level = level;
    std::string error;
    EXPECT_FALSE(zvpack::CreateArchive(dir / "x.zva", {}, bad, &error)) << level;
    EXPECT_NE(std::string::npos, error.find("compression level")) << error;
  }
}

TEST(ZvpackCreateTest, BestLevelRoundTripsSmallerThanLevelNineOnAnyNumberOfThreads) {
  const Files files = {
      {"empty.txt", ""},
      {"one.bin", "x"},
      {"nuls.bin", std::string("\0\0a\0b\0", 6)},
      {"text.txt", TextBytes(1 << 20)},
      {"words.txt", WordText(200000)},
      {"noise.bin", NoiseBytes(300000, 7)},
      {"Docs\\Ita\\c.rtf", TextBytes(12345)},
  };
  TempDir dir;
  WriteTree(dir, "src", files);
  zvpack::PackOptions best;
  best.level = zvpack::kBestLevel;
  best.threads = 1;
  std::string archive = PackDir(dir, "src", best, "best1.zva");
  best.threads = 4;
  EXPECT_EQ(archive, PackDir(dir, "src", best, "best4.zva"));

  ExpectVerifiedRoundTrip(dir, archive, files);
  zvpack::PackOptions nine;
  nine.level = 9;
  std::vector<Entry> strongest = Walk(archive);
  std::vector<Entry> zlibs = Walk(PackDir(dir, "src", nine, "nine.zva"));
  ASSERT_EQ(zlibs.size(), strongest.size());
  for (size_t i = 0; i < zlibs.size(); ++i) {
    const std::string& name = strongest[i].name;
    EXPECT_EQ(0x78, static_cast<unsigned char>(archive[strongest[i].dataOffset])) << name;
    if (name == "words.txt") {
      EXPECT_LT(strongest[i].compressedSize, zlibs[i].compressedSize);
    } else if (name == "noise.bin") {
      // Incompressible data goes into stored blocks either way.
      EXPECT_LE(strongest[i].compressedSize, zlibs[i].compressedSize + 16);
    }
  }
}

TEST(ZvpackCreateTest, EmptyTreeGivesAnArchiveWithoutEntries) {
  TempDir dir;
  std::filesystem::create_directories(dir / "src/only/dirs");
  std::string archive = PackDir(dir, "src");
  EXPECT_EQ(std::string("\4\0\0\0\0\0\0\0", 8), archive);
  std::string error;
  EXPECT_TRUE(zvpack::VerifyArchive(Bytes(archive), archive.size(), &error)) << error;
}

TEST(ZvpackCreateTest, TimesFollowTheFilesAndSourceDateEpoch) {
  TempDir dir;
  WriteFile(dir / "src/old.txt", "o");
  WriteFile(dir / "src/new.txt", "n");
  struct utimbuf old = {1000000000, 1000000000};
  struct utimbuf young = {1500000000, 1500000000};
  ASSERT_EQ(0, utime((dir / "src/old.txt").c_str(), &old));
  ASSERT_EQ(0, utime((dir / "src/new.txt").c_str(), &young));
  std::vector<Entry> plain = Walk(PackDir(dir, "src"));
  ASSERT_EQ(2u, plain.size());
  EXPECT_EQ(1500000000u, plain[0].time1);  // new.txt sorts first
  EXPECT_EQ(1000000000u, plain[1].time1);
  // time3 is the newest stamp of the archive: the status-change times are now.
  EXPECT_EQ(plain[0].time3, plain[1].time3);
  EXPECT_GE(plain[0].time3, plain[0].time2);

  zvpack::PackOptions options;
  options.haveEpoch = true;
  options.epoch = 1200000000;
  std::vector<Entry> clamped = Walk(PackDir(dir, "src", options));
  EXPECT_EQ(1200000000u, clamped[0].time1);
  EXPECT_EQ(1200000000u, clamped[0].time2);
  EXPECT_EQ(1000000000u, clamped[1].time1);
  EXPECT_EQ(1200000000u, clamped[1].time3);
}

TEST(ZvpackCreateTest, SameInputGivesTheSameBytesOnAnyNumberOfThreads) {
  TempDir dir;
  for (int i = 0; i < 40; ++i) {
    WriteFile(dir / ("src/d" + std::to_string(i % 3) + "/f" + std::to_string(i)),
              i % 2 ? NoiseBytes(1000 * i, i) : TextBytes(3000 * i));
  }
  zvpack::PackOptions one;
  one.threads = 1;
  std::string reference = PackDir(dir, "src", one, "one.zva");
  EXPECT_EQ(reference, PackDir(dir, "src", one, "again.zva"));
  for (unsigned threads : {2u, 3u, 8u, 64u}) {
    zvpack::PackOptions many;
    many.threads = threads;
    EXPECT_EQ(reference, PackDir(dir, "src", many, "many.zva")) << threads;
  }
  zvpack::PackOptions all;  // one thread per core
  EXPECT_EQ(reference, PackDir(dir, "src", all, "all.zva"));
}

TEST(ZvpackCreateTest, RefusesNamesTheLauncherWouldNotUnpack) {
  const struct {
    const char* name;
    const char* message;
  } kCases[] = {
      {"", "not a plain relative path"},
      {"CON.txt", "not a plain relative path"},
      {"data\\nul", "not a plain relative path"},
      {"trailing.", "not a plain relative path"},
      {"trailing ", "not a plain relative path"},
      {"..\\up.txt", "not a plain relative path"},
      {"a\\\\b", "not a plain relative path"},
      {"\\rooted", "not a plain relative path"},
      {"C:x", "not a plain relative path"},
      {"wild*.txt", "not a plain relative path"},
  };
  for (const auto& c : kCases) {
    std::string error;
    EXPECT_FALSE(zvpack::CheckInputNames({{c.name, "host/file"}}, &error)) << c.name;
    EXPECT_NE(std::string::npos, error.find(c.message)) << error;
    EXPECT_EQ(0u, error.find("host/file")) << error;
  }
  std::string error;
  EXPECT_TRUE(zvpack::CheckInputNames({{std::string(255, 'a'), "f"}}, &error)) << error;
  EXPECT_FALSE(zvpack::CheckInputNames({{std::string(256, 'a'), "f"}}, &error));
  EXPECT_NE(std::string::npos, error.find("256 bytes, at most 255")) << error;
  EXPECT_FALSE(zvpack::CheckInputNames({{"Docs\\a.txt", "f1"}, {"DOCS\\A.TXT", "f2"}}, &error));
  EXPECT_NE(std::string::npos, error.find("f2: entry name \"DOCS\\A.TXT\" appears twice")) << error;
}

TEST(ZvpackCreateTest, RefusedNameLeavesNoArchive) {
  TempDir dir;
  WriteFile(dir / "src/ok.txt", "ok");
  WriteFile(dir / ("src/sub/" + std::string(252, 'n')), "256 bytes stored");
  std::vector<zvpack::PackInput> inputs;
  std::string error;
  ASSERT_TRUE(zvpack::CollectDirectory(dir / "src", &inputs, &error)) << error;
  EXPECT_FALSE(zvpack::CreateArchive(dir / "out.zva", inputs, {}, &error));
  EXPECT_NE(std::string::npos, error.find("256 bytes")) << error;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.zva"));
  EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

TEST(ZvpackCreateTest, MissingInputFailsNamingIt) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  std::string error;
  EXPECT_FALSE(zvpack::CreateArchive(dir / "out.zva", {{"a.txt", dir / "a.txt"}, {"b.txt", dir / "b.txt"}}, {},
                                     &error));
  EXPECT_NE(std::string::npos, error.find(dir / "b.txt")) << error;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.zva"));
}

TEST(ZvpackListFileTest, BareNamesAndTabbedPathsKeepTheirOrder) {
  TempDir dir;
  WriteFile(dir / "base/z/last.txt", "Z");
  WriteFile(dir / "elsewhere.bin", "E");
  WriteFile(dir / "list.txt",
            "# comment line\n"
            "z/last.txt\n"
            "\n"
            "Data\\first.bin\t" + (dir / "elsewhere.bin") + "\r\n"
            "rel.bin\t../elsewhere.bin\n");
  std::vector<zvpack::PackInput> inputs;
  std::string error;
  ASSERT_TRUE(zvpack::ReadListFile(dir / "list.txt", dir / "base", &inputs, &error)) << error;
  ASSERT_EQ(3u, inputs.size());
  EXPECT_EQ("z\\last.txt", inputs[0].name);
  EXPECT_EQ("Data\\first.bin", inputs[1].name);
  EXPECT_EQ(dir / "elsewhere.bin", inputs[1].hostPath);
  ASSERT_TRUE(zvpack::CreateArchive(dir / "out.zva", inputs, {}, &error)) << error;
  std::vector<Entry> entries = Walk(ReadFile(dir / "out.zva"));
  ASSERT_EQ(3u, entries.size());
  EXPECT_EQ("z\\last.txt", entries[0].name);
  EXPECT_EQ("Data\\first.bin", entries[1].name);
  EXPECT_EQ("rel.bin", entries[2].name);

  WriteFile(dir / "bad.txt", "name\t\n");
  EXPECT_FALSE(zvpack::ReadListFile(dir / "bad.txt", dir.Path(), &inputs, &error));
  EXPECT_NE(std::string::npos, error.find("bad.txt:1:")) << error;
  EXPECT_FALSE(zvpack::ReadListFile(dir / "none.txt", dir.Path(), &inputs, &error));
}

}  // namespace
