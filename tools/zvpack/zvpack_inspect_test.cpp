// Tests of listing, verification and unpacking: every kind of damage is caught
// and named by its entry.
#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/zvpack_test_util.h"

#include "archive/testing/archive_writer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using archive_testing::ArchiveWriter;
using archive_testing::Deflate;
using archive_testing::StoredStream;
using zvpack_testing::ReadFile;
using zvpack_testing::TempDir;
using zvpack_testing::TextBytes;

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// A sound archive of three entries; tests damage it.
ArchiveWriter ThreeEntries() {
  ArchiveWriter w;
  w.AddFile("first.txt", TextBytes(1000));
  w.AddFile("Docs\\Eng\\second.rtf", TextBytes(5000));
  w.AddFile("third.bin", "3");
  return w;
}

uint32_t StreamOffset(ArchiveWriter& w, size_t index) {
  uint32_t offset = 4;
  for (size_t i = 0; i < index; ++i) offset += static_cast<uint32_t>(w.Entries()[i].stream.size());
  return offset;
}

TEST(ZvpackVerifyTest, SoundArchivesPass) {
  for (ArchiveWriter w : {ArchiveWriter(), ThreeEntries()}) {
    std::string image = w.Build();
    std::string error;
    EXPECT_TRUE(zvpack::VerifyArchive(Bytes(image), image.size(), &error)) << error;
  }
  ArchiveWriter stored;
  stored.AddStream("stored.bin", StoredStream("abc"), 3);
  std::string image = stored.Build();
  std::string error;
  EXPECT_TRUE(zvpack::VerifyArchive(Bytes(image), image.size(), &error)) << error;
}

TEST(ZvpackVerifyTest, DamageIsCaughtAndNamed) {
  const struct {
    const char* label;
    std::function<std::string()> build;
    const char* message;
  } kCases[] = {
      {"empty file", [] { return std::string(); }, "shorter than its header"},
      {"truncated by one byte",
       [] {
         std::string s = ThreeEntries().Build();
         s.pop_back();
         return s;
       },
       "entry 2: directory record cut off"},
      {"truncated into the streams",
       [] { return ThreeEntries().Build().substr(0, 100); },
       "directory offset outside the archive"},
      {"directory offset past the end",
       [] {
         std::string s = ThreeEntries().Build();
         s[0] = '\xFF';
         s[1] = '\xFF';
         s[2] = '\xFF';
         return s;
       },
       "directory offset outside the archive"},
      {"stream ends early",
       [] {
         ArchiveWriter w = ThreeEntries();
         std::string full = Deflate(TextBytes(5000));
         w.Entries()[1].stream = full.substr(0, full.size() - 3);
         return w.Build();
       },
       "entry 1 \"Docs\\Eng\\second.rtf\": stream ends early"},
      {"damaged Adler-32",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[2].stream.back() ^= 1;
         return w.Build();
       },
       "entry 2 \"third.bin\": Adler-32 trailer does not match"},
      {"damaged deflate data",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[0].stream[2] = '\xFF';
         return w.Build();
       },
       "entry 0 \"first.txt\": damaged zlib stream"},
      {"size larger than the data",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[0].uncompressedSize += 1;
         return w.Build();
       },
       "entry 0 \"first.txt\": inflates to 1000 bytes, the directory says 1001"},
      {"size smaller than the data",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[2].uncompressedSize = 0;
         return w.Build();
       },
       "entry 2 \"third.bin\": inflates to 1 bytes, the directory says 0"},
      {"bytes behind a stream",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[0].stream += "X";
         return w.Build();
       },
       "entry 0 \"first.txt\": 1 bytes follow the end"},
      {"gap between streams",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[0].stream += "X";
         w.Entries()[0].overrideData = true;
         w.Entries()[0].dataOffset = 4;
         w.Entries()[0].compressedSize = static_cast<uint32_t>(w.Entries()[0].stream.size() - 1);
         return w.Build();
       },
       "entry 1 \"Docs\\Eng\\second.rtf\": stream at offset"},
      {"overlapping streams",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[2].overrideData = true;
         w.Entries()[2].dataOffset = StreamOffset(w, 2) - 1;
         w.Entries()[2].compressedSize = static_cast<uint32_t>(w.Entries()[2].stream.size());
         return w.Build();
       },
       "entry 2 \"third.bin\": stream at offset"},
      {"gap before the directory",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[2].stream += "X";
         w.Entries()[2].overrideData = true;
         w.Entries()[2].dataOffset = StreamOffset(w, 2);
         w.Entries()[2].compressedSize = static_cast<uint32_t>(w.Entries()[2].stream.size() - 1);
         return w.Build();
       },
       "not right behind the last stream"},
      {"bytes behind the directory",
       [] { return ThreeEntries().Build() + "Z"; },
       "not at the end of the archive"},
      {"time3 before time1",
       [] {
         ArchiveWriter w = ThreeEntries();
         w.Entries()[1].time1 = w.Entries()[1].time3 + 1;
         return w.Build();
       },
       "entry 1 \"Docs\\Eng\\second.rtf\": time3 is earlier"},
      {"stream of no bytes",
       [] {
         ArchiveWriter w;
         w.AddStream("zero", "", 0);
         return w.Build();
       },
       "entry 0 \"zero\": stream ends early"},
      {"name the launcher refuses",
       [] {
         ArchiveWriter w;
         w.AddFile("..\\evil", "x");
         return w.Build();
       },
       "entry 0"},
  };
  for (const auto& c : kCases) {
    std::string image = c.build();
    std::string error;
    EXPECT_FALSE(zvpack::VerifyArchive(Bytes(image), image.size(), &error)) << c.label;
    EXPECT_NE(std::string::npos, error.find(c.message)) << c.label << ": " << error;
    EXPECT_FALSE(error.empty()) << c.label;
    // A damaged archive is never unpacked, not even in part.
    TempDir dir;
    EXPECT_FALSE(zvpack::ExtractArchive(Bytes(image), image.size(), dir / "out", false, stdout, &error)) << c.label;
    EXPECT_FALSE(std::filesystem::exists(dir / "out")) << c.label;
  }
}

TEST(ZvpackVerifyTest, ZlibStreamChecks) {
  const std::string good = Deflate("hello");
  const struct {
    std::string stream;
    uint32_t expected;
    bool ok;
  } kCases[] = {
      {good, 5, true},
      {good, 4, false},
      {good, 6, false},
      {"", 0, false},
      {good.substr(0, 2), 0, false},
      {good.substr(0, good.size() - 1), 5, false},
      {good + std::string(1, '\0'), 5, false},
      {StoredStream(""), 0, true},
      {std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8), 0, true},  // empty input, default level
      {std::string("\x78\x9D\x03\x00\x00\x00\x00\x01", 8), 0, false}, // header check fails
  };
  for (const auto& c : kCases) {
    std::string why;
    EXPECT_EQ(c.ok, zvpack::CheckZlibStream(Bytes(c.stream), static_cast<uint32_t>(c.stream.size()), c.expected,
                                            &why))
        << c.stream.size() << " " << why;
  }
}

TEST(ZvpackListTest, PrintsEveryEntryAndTotals) {
  std::string image = ThreeEntries().Build();
  TempDir dir;
  std::FILE* out = std::fopen((dir / "list.txt").c_str(), "w");
  ASSERT_NE(nullptr, out);
  std::string error;
  EXPECT_TRUE(zvpack::ListArchive(Bytes(image), image.size(), out, &error)) << error;
  std::fclose(out);
  std::string text = ReadFile(dir / "list.txt");
  EXPECT_NE(std::string::npos, text.find("         4 ")) << text;
  EXPECT_NE(std::string::npos, text.find("Docs\\Eng\\second.rtf")) << text;
  EXPECT_NE(std::string::npos, text.find("6001  3 entries")) << text;
  std::string cut = image.substr(0, 3);
  EXPECT_FALSE(zvpack::ListArchive(Bytes(cut), cut.size(), out, &error));
}

TEST(ZvpackExtractTest, UnpacksIntoTheHostDirectoryAndRestoresTheCurrentDirectory) {
  std::string image = ThreeEntries().Build();
  TempDir dir;
  std::filesystem::path before = std::filesystem::current_path();
  std::string error;
  ASSERT_TRUE(zvpack::ExtractArchive(Bytes(image), image.size(), dir / "deep/out", false, stdout, &error)) << error;
  EXPECT_EQ(before, std::filesystem::current_path());
  EXPECT_EQ(TextBytes(1000), ReadFile(dir / "deep/out/first.txt"));
  EXPECT_EQ(TextBytes(5000), ReadFile(dir / "deep/out/Docs/Eng/second.rtf"));
  EXPECT_EQ("3", ReadFile(dir / "deep/out/third.bin"));
  // A second run empties and rewrites the files.
  ASSERT_TRUE(zvpack::ExtractArchive(Bytes(image), image.size(), dir / "deep/out", false, stdout, &error)) << error;
  EXPECT_EQ("3", ReadFile(dir / "deep/out/third.bin"));
}

}  // namespace
