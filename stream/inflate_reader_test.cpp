#include "stream/inflate_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "stream/stream_testing.h"

using vxtest::Deflate;
using vxtest::RecordingReader;
using vxtest::Sample;

namespace {

std::string ReadAll(VxReader& reader, uint32_t count) {
  std::string out, buffer(count, '\0');
  while (uint32_t got = reader.Read(&buffer[0], count)) {
    EXPECT_LE(got, count);
    out.append(buffer, 0, got);
  }
  return out;
}

TEST(VxInflateReaderTest, ReadsTheContentInAnyCount) {
  const std::string content = Sample(25000, 21);
  for (int level : {0, 1, 6, 9}) {
    const std::string stream = Deflate(content, level);
    for (uint32_t count : {1u, 7u, 100u, 113u, 4096u, 100000u}) {
      SCOPED_TRACE(testing::Message() << "level " << level << " count " << count);
      RecordingReader source(stream, count == 7 ? 1 : 0);
      VxInflateReader reader(source);
      EXPECT_EQ(reader.GetState(), VxZStream::Inflating);
      EXPECT_EQ(ReadAll(reader, count), content);
      EXPECT_EQ(reader.GetState(), VxZStream::Finished);
      for (uint32_t asked : source.asked) EXPECT_EQ(asked, 100u);
      // Once the stream has ended, reads come back empty without asking the source.
      const size_t asked = source.asked.size();
      char byte;
      EXPECT_EQ(reader.Read(&byte, 1), 0u);
      EXPECT_EQ(reader.Read(&byte, 1), 0u);
      EXPECT_EQ(source.asked.size(), asked);
    }
  }
}

TEST(VxInflateReaderTest, CountZeroReadsNothing) {
  RecordingReader source(Deflate("abc", 6));
  VxInflateReader reader(source);
  EXPECT_EQ(reader.Read(nullptr, 0), 0u);
  EXPECT_TRUE(source.asked.empty());
  EXPECT_EQ(ReadAll(reader, 2), "abc");
}

TEST(VxInflateReaderTest, DamagedInputEndsQuietly) {
  const std::string content = Sample(900, 22);
  const std::string stream = Deflate(content, 6);
  for (size_t cut = 0; cut < stream.size(); cut += 7) {
    RecordingReader source(stream.substr(0, cut));
    VxInflateReader reader(source);
    const std::string got = ReadAll(reader, 64);
    EXPECT_EQ(got, content.substr(0, got.size())) << "cut " << cut;
    EXPECT_EQ(reader.GetState(), VxZStream::Finished);
  }
  RecordingReader garbage(std::string(300, 'z'));
  VxInflateReader reader(garbage);
  EXPECT_EQ(ReadAll(reader, 100), "");
}

TEST(VxInflateReaderTest, DestructionEndsTheInflaterInEveryState) {
  RecordingReader source(Deflate(Sample(5000), 1));
  { VxInflateReader untouched(source); }
  { VxInflateReader partly(source); char b[10]; EXPECT_EQ(partly.Read(b, 10), 10u); }
}

}  // namespace
