#include "next_stage/archive_summary.h"

#include "archive/testing/archive_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using archive_testing::ArchiveWriter;
using archive_testing::StoredStream;

struct Summarised {
  uint32_t entries;
  uint64_t inflated;
  bool sound;
  const char* problemPart;  // a piece of the reason; null when sound
};

ArchiveSummary Summarise(const std::string& image) {
  ArchiveSummary summary;
  SummariseArchiveBytes(reinterpret_cast<const unsigned char*>(image.data()), static_cast<uint32_t>(image.size()),
                        &summary);
  return summary;
}

std::string SoundImage() {
  ArchiveWriter writer;
  writer.AddFile("a.dll", std::string(70000, 'a'));
  writer.AddFile("Data\\b.dat", "bee");
  writer.AddFile("Docs\\Eng\\empty.txt", "");
  return writer.Build();
}

std::string WithByte(std::string image, size_t offset, char value) {
  image[offset] = value;
  return image;
}

TEST(ArchiveSummaryTest, CountsInflatesAndChecks) {
  const std::string sound = SoundImage();
  ArchiveWriter one;
  one.AddStream("x", StoredStream("hello"), 5);
  const std::string stored = one.Build();
  // The Adler-32 of "hello" sits right before the directory.
  const std::string badTrailer = WithByte(stored, one.DirOffset() - 1, static_cast<char>(stored[one.DirOffset() - 1] ^ 1));
  ArchiveWriter lying;
  lying.AddStream("x", StoredStream("hello"), 6);
  const struct {
    const char* label;
    std::string image;
    Summarised want;
  } cases[] = {
      {"sound", sound, {3, 70003, true, nullptr}},
      {"no entries", std::string("\x04\0\0\0\0\0\0\0", 8), {0, 0, true, nullptr}},
      {"damaged trailer: every byte inflated, check fails", badTrailer, {1, 5, false, "Adler-32"}},
      {"size in the directory wrong", lying.Build(), {1, 5, false, "inflates to 5"}},
      {"header cut", std::string("\x04\0", 2), {0, 0, false, ""}},
      {"empty", std::string(), {0, 0, false, ""}},
      {"directory out of range", WithByte(sound, 0, '\x7F'), {0, 0, false, ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ArchiveSummary summary = Summarise(c.image);
    EXPECT_EQ(summary.entries, c.want.entries);
    EXPECT_EQ(summary.inflatedBytes, c.want.inflated);
    EXPECT_EQ(summary.sound, c.want.sound);
    if (c.want.problemPart == nullptr) {
      EXPECT_EQ(summary.problem, "");
    } else {
      EXPECT_NE(summary.problem, "");
      EXPECT_NE(summary.problem.find(c.want.problemPart), std::string::npos) << summary.problem;
    }
  }
}

}  // namespace
