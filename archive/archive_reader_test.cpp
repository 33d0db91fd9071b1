#include "archive/archive_reader.h"

#include "archive/testing/archive_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using archive_testing::ArchiveWriter;
using archive_testing::PutU32;
using archive_testing::StoredStream;

const char kWorkDir[] = "C:\\TEMP\\VAVOdozu0\\";

const unsigned char* Bytes(const std::string& image) {
  return reinterpret_cast<const unsigned char*>(image.data());
}

uint32_t Size(const std::string& image) { return static_cast<uint32_t>(image.size()); }

void SetU32(std::string* image, size_t offset, uint32_t value) {
  std::string bytes;
  PutU32(&bytes, value);
  image->replace(offset, 4, bytes);
}

// Two entries, the second in a folder: "hi" and an empty stream.
std::string TwoEntryImage() {
  ArchiveWriter writer;
  writer.AddStream("a.txt", StoredStream("hi"), 2);
  writer.AddStream("Docs\\b", "", 0);
  return writer.Build();
}

TEST(ArchiveWriterTest, LaysOutTheImageByteForByte) {
  std::string want;
  want += std::string("\x11\x00\x00\x00", 4);                          // dirOffset 17
  want += std::string("\x78\x01" "\x01\x02\x00\xFD\xFF" "hi", 9);      // stored block "hi"
  want += std::string("\x01\x3B\x00\xD2", 4);                          // Adler-32 of "hi"
  want += std::string("\x02\x00\x00\x00", 4);                          // two records
  want += std::string("\x05" "a.txt", 6);
  want += std::string("\x04\x00\x00\x00" "\x0D\x00\x00\x00" "\x02\x00\x00\x00", 12);
  want += std::string("\x00\x00\x00\x3C" "\x00\x00\x00\x3C" "\x01\x00\x00\x3C", 12);
  want += std::string("\x06" "Docs\\b", 7);
  want += std::string("\x11\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00", 12);
  want += std::string("\x00\x00\x00\x3C" "\x00\x00\x00\x3C" "\x01\x00\x00\x3C", 12);
  EXPECT_EQ(TwoEntryImage(), want);
  EXPECT_EQ(want.size(), 82u);
}

TEST(ArchiveReaderTest, WalksEntriesInDirectoryOrder) {
  std::string image = TwoEntryImage();
  ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
  ASSERT_EQ(reader.Check(), ArchiveError::kNone);
  EXPECT_EQ(reader.GetEntryCount(), 2u);

  ArchiveEntry entry;
  ASSERT_TRUE(reader.Next(&entry));
  EXPECT_STREQ(entry.name, "a.txt");
  EXPECT_EQ(entry.nameLength, 5u);
  EXPECT_STREQ(entry.destination, "C:\\TEMP\\VAVOdozu0\\a.txt");
  EXPECT_EQ(entry.dataOffset, 4u);
  EXPECT_EQ(entry.data, Bytes(image) + 4);
  EXPECT_EQ(entry.compressedSize, 13u);
  EXPECT_EQ(entry.uncompressedSize, 2u);
  EXPECT_EQ(entry.time1, 0x3C000000u);
  EXPECT_EQ(entry.time2, 0x3C000000u);
  EXPECT_EQ(entry.time3, 0x3C000001u);

  ASSERT_TRUE(reader.Next(&entry));
  EXPECT_STREQ(entry.name, "Docs\\b");
  EXPECT_STREQ(entry.destination, "C:\\TEMP\\VAVOdozu0\\Docs\\b");
  EXPECT_EQ(entry.dataOffset, 17u);
  EXPECT_EQ(entry.compressedSize, 0u);

  EXPECT_FALSE(reader.Next(&entry));
  EXPECT_FALSE(reader.Next(&entry));
}

TEST(ArchiveReaderTest, ZeroEntriesGiveNothing) {
  std::string image = ArchiveWriter().Build();
  ASSERT_EQ(image, std::string("\x04\x00\x00\x00\x00\x00\x00\x00", 8));
  ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
  EXPECT_EQ(reader.Check(), ArchiveError::kNone);
  EXPECT_EQ(reader.GetEntryCount(), 0u);
  ArchiveEntry entry;
  EXPECT_FALSE(reader.Next(&entry));
}

TEST(ArchiveReaderTest, GivesNoEntryBeforeTheCheck) {
  std::string image = TwoEntryImage();
  ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
  ArchiveEntry entry;
  EXPECT_FALSE(reader.Next(&entry));
  EXPECT_EQ(reader.GetEntryCount(), 0u);
}

TEST(ArchiveReaderTest, NullBytesAreDamaged) {
  ArchiveReader reader(nullptr, 100, kWorkDir);
  EXPECT_EQ(reader.Check(), ArchiveError::kHeaderCut);
}

// One damage per row, applied to TwoEntryImage (size 82, dirOffset 17, count
// at 17; the first record at 21 with its dataOffset at 27 and compressedSize
// at 31; the second record at 51 with its name at 52, dataOffset at 58 and
// compressedSize at 62).
struct DamageCase {
  const char* label;
  std::function<void(std::string*)> damage;
  ArchiveError error;
  uint32_t failedEntry;
};

const DamageCase kDamageCases[] = {
    {"empty resource", [](std::string* s) { s->clear(); }, ArchiveError::kHeaderCut, 0},
    {"three bytes", [](std::string* s) { s->resize(3); }, ArchiveError::kHeaderCut, 0},
    {"dirOffset 0", [](std::string* s) { SetU32(s, 0, 0); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"dirOffset 3", [](std::string* s) { SetU32(s, 0, 3); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"dirOffset at the end", [](std::string* s) { SetU32(s, 0, 82); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"count cut", [](std::string* s) { SetU32(s, 0, 79); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"dirOffset wrapping", [](std::string* s) { SetU32(s, 0, 0xFFFFFFFC); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"dirOffset all ones", [](std::string* s) { SetU32(s, 0, 0xFFFFFFFF); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"only the header and data", [](std::string* s) { s->resize(17); }, ArchiveError::kDirectoryOutOfRange, 0},
    {"count all ones", [](std::string* s) { SetU32(s, 17, 0xFFFFFFFF); }, ArchiveError::kCountTooLarge, 0xFFFFFFFF},
    {"count 3", [](std::string* s) { SetU32(s, 17, 3); }, ArchiveError::kCountTooLarge, 3},
    {"second record mostly cut", [](std::string* s) { s->resize(60); }, ArchiveError::kCountTooLarge, 2},
    {"last byte cut", [](std::string* s) { s->pop_back(); }, ArchiveError::kRecordCut, 1},
    {"second record's tail cut", [](std::string* s) { s->resize(79); }, ArchiveError::kRecordCut, 1},
    {"second name length 255", [](std::string* s) { (*s)[51] = '\xFF'; }, ArchiveError::kRecordCut, 1},
    {"first name too long", [](std::string* s) { (*s)[21] = 60; }, ArchiveError::kRecordCut, 0},
    {"dataOffset 0", [](std::string* s) { SetU32(s, 27, 0); }, ArchiveError::kDataOutOfRange, 0},
    {"dataOffset 3", [](std::string* s) { SetU32(s, 27, 3); }, ArchiveError::kDataOutOfRange, 0},
    {"data one byte into the directory", [](std::string* s) { SetU32(s, 27, 5); }, ArchiveError::kDataOutOfRange, 0},
    {"dataOffset past the end", [](std::string* s) { SetU32(s, 58, 83); }, ArchiveError::kDataOutOfRange, 1},
    {"empty data inside the directory", [](std::string* s) { SetU32(s, 58, 18); }, ArchiveError::kDataOutOfRange, 1},
    {"compressedSize one too many", [](std::string* s) { SetU32(s, 31, 14); }, ArchiveError::kDataOutOfRange, 0},
    {"compressedSize all ones", [](std::string* s) { SetU32(s, 31, 0xFFFFFFFF); }, ArchiveError::kDataOutOfRange, 0},
    {"offset and size wrapping", [](std::string* s) { SetU32(s, 58, 0xFFFFFFF0); SetU32(s, 62, 0x20); },
     ArchiveError::kDataOutOfRange, 1},
    {"dataOffset all ones", [](std::string* s) { SetU32(s, 27, 0xFFFFFFFF); }, ArchiveError::kDataOutOfRange, 0},
    {"second name with a colon", [](std::string* s) { (*s)[53] = ':'; }, ArchiveError::kBadName, 1},
    {"first name empty", [](std::string* s) {
       s->erase(22, 5);
       (*s)[21] = 0;
     }, ArchiveError::kBadName, 0},
};

class ArchiveDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(ArchiveDamageTest, RefusesTheWholeArchive) {
  const DamageCase& c = GetParam();
  std::string image = TwoEntryImage();
  ASSERT_EQ(image.size(), 82u);
  c.damage(&image);
  ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
  EXPECT_EQ(reader.Check(), c.error) << c.label;
  EXPECT_EQ(reader.GetFailedEntry(), c.failedEntry) << c.label;
  EXPECT_EQ(reader.Check(), c.error) << c.label << " (repeated)";
  EXPECT_EQ(reader.GetEntryCount(), 0u);
  ArchiveEntry entry;
  EXPECT_FALSE(reader.Next(&entry)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Table, ArchiveDamageTest, ::testing::ValuesIn(kDamageCases));

TEST(ArchiveReaderTest, AcceptsTheBoundaries) {
  // The data area may end exactly at the directory, and an empty stream may
  // lie there; trailing bytes behind the directory are tolerated.
  std::string image = TwoEntryImage();
  SetU32(&image, 58, 17);
  image += "xyz";
  ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
  EXPECT_EQ(reader.Check(), ArchiveError::kNone);
}

TEST(ArchiveReaderTest, RefusesHostileNames) {
  const char* const kHostile[] = {"..\\evil", "\\evil", "C:\\evil", "a\\..\\..\\evil", "a/b", "NUL",
                                  "com1.txt", "a\\", ".", "a\tb", "x:y"};
  for (const char* name : kHostile) {
    ArchiveWriter writer;
    writer.AddFile("ok.txt", "fine");
    writer.AddFile(name, "evil");
    std::string image = writer.Build();
    ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
    EXPECT_EQ(reader.Check(), ArchiveError::kBadName) << name;
    EXPECT_EQ(reader.GetFailedEntry(), 1u) << name;
    ArchiveEntry entry;
    EXPECT_FALSE(reader.Next(&entry)) << name;
  }
}

TEST(ArchiveReaderTest, DestinationOf511CharactersIsTheLimit) {
  // A work folder of 300 characters leaves 211 for the name.
  std::string workDir = "C:\\" + std::string(296, 'w') + "\\";
  ASSERT_EQ(workDir.size(), 300u);
  for (size_t total : {510u, 511u, 512u, 555u}) {
    ArchiveWriter writer;
    writer.AddFile("Docs\\" + std::string(total - 300 - 5, 'n'), "x");
    std::string image = writer.Build();
    ArchiveReader reader(Bytes(image), Size(image), workDir.c_str());
    ArchiveError want = total <= 511 ? ArchiveError::kNone : ArchiveError::kDestinationTooLong;
    EXPECT_EQ(reader.Check(), want) << total;
    ArchiveEntry entry;
    if (want == ArchiveError::kNone) {
      ASSERT_TRUE(reader.Next(&entry));
      EXPECT_EQ(std::string(entry.destination), workDir + "Docs\\" + std::string(total - 305, 'n'));
    } else {
      EXPECT_FALSE(reader.Next(&entry));
    }
  }
}

TEST(ArchiveReaderTest, EveryErrorHasItsOwnText) {
  std::vector<std::string> texts;
  for (int code = 0; code <= 7; ++code) {
    std::string text = ArchiveErrorText(static_cast<ArchiveError>(code));
    EXPECT_FALSE(text.empty());
    for (const std::string& other : texts) EXPECT_NE(text, other);
    texts.push_back(text);
  }
  EXPECT_STREQ(ArchiveErrorText(static_cast<ArchiveError>(99)), "unknown archive error");
}

TEST(ArchiveReaderTest, FuzzSeedsAreSoundArchives) {
  const char* const kSeeds[] = {"empty_archive", "one_file", "folders", "empty_entry", "stored_only", "licences"};
  for (const char* seed : kSeeds) {
    std::string path = std::string(VX_FUZZ_CORPUS_DIR) + "/" + seed;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr) << path;
    std::string image;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) image.append(buffer, got);
    std::fclose(file);
    ArchiveReader reader(Bytes(image), Size(image), kWorkDir);
    EXPECT_EQ(reader.Check(), ArchiveError::kNone) << seed;
    // The layout of every stored archive: streams back to back from offset 4,
    // the directory right behind them up to the end.
    uint32_t next = 4;
    ArchiveEntry entry;
    while (reader.Next(&entry)) {
      EXPECT_EQ(entry.dataOffset, next) << seed << " " << entry.name;
      next += entry.compressedSize;
    }
    EXPECT_EQ(archive_format::ReadU32(Bytes(image)), next) << seed;
  }
}

}  // namespace
