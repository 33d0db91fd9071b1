#include "stream/inflate_copier.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stream/file_stream.h"
#include "stream/mem_reader.h"
#include "stream/stream_testing.h"
#include "platform/testing/file_faults.h"

using platform::FileCall;
using platform::FileFault;
using platform::FileFaults;
using vxtest::Deflate;
using vxtest::ExpectChunked;
using vxtest::RecordingReader;
using vxtest::RecordingWriter;
using vxtest::Sample;

namespace {

constexpr int kLevels[] = {0, 1, 6, 9};

// Lets a source check that the copier asks only once its input is used up.
class CopierProbe : public VxInflateCopier {
 public:
  uInt PendingInput() const { return zstream.avail_in; }
};

uint32_t CopyAll(VxInflateCopier& copier, RecordingWriter& out, const std::string& stream, uint32_t count = 0) {
  RecordingReader source(stream);
  return copier.Copy(out, source, count);
}

TEST(VxInflateCopierTest, WritesFullChunksAndAsksForFullInput) {
  for (size_t size : {0, 1, 99, 100, 101, 199, 200, 250, 1000, 4097, 100000}) {
    const std::string content = Sample(size, static_cast<uint32_t>(size));
    for (int level : kLevels) {
      SCOPED_TRACE(testing::Message() << "size " << size << " level " << level);
      const std::string stream = Deflate(content, level);
      CopierProbe copier;
      RecordingReader source(stream);
      source.onRead = [&] { EXPECT_EQ(copier.PendingInput(), 0u); };
      RecordingWriter out;
      EXPECT_EQ(copier.Copy(out, source, 0), size);
      EXPECT_EQ(out.bytes, content);
      ExpectChunked(out.sizes, 100);
      EXPECT_EQ(out.sizes.size(), (size + 99) / 100);
      for (uint32_t asked : source.asked) EXPECT_EQ(asked, 113u);
      // Each fetch but possibly one last, empty one brings new input.
      const size_t fetches = (stream.size() + 112) / 113;
      EXPECT_GE(source.asked.size(), fetches);
      EXPECT_LE(source.asked.size(), fetches + 1);
      EXPECT_EQ(source.served, stream.size());
      EXPECT_EQ(copier.GetState(), VxZStream::Idle);
    }
  }
}

TEST(VxInflateCopierTest, CountLimitStopsAfterExactlyThatMany) {
  const std::string content = Sample(1000, 9);
  struct Case {
    uint32_t count;
    std::vector<uint32_t> writes;
  } cases[] = {
      {1, {1}},
      {99, {99}},
      {100, {100}},
      {101, {100, 1}},
      {250, {100, 100, 50}},
      {999, {100, 100, 100, 100, 100, 100, 100, 100, 100, 99}},
      {1000, std::vector<uint32_t>(10, 100)},
      {1001, std::vector<uint32_t>(10, 100)},
      {0xFFFFFFFFu, std::vector<uint32_t>(10, 100)},
  };
  for (int level : kLevels) {
    const std::string stream = Deflate(content, level);
    VxInflateCopier copier;  // one copier for every case: each Copy starts and ends afresh
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "count " << c.count << " level " << level);
      RecordingWriter out;
      EXPECT_EQ(CopyAll(copier, out, stream, c.count), std::min<uint32_t>(c.count, 1000));
      EXPECT_EQ(out.sizes, c.writes);
      EXPECT_EQ(out.bytes, content.substr(0, out.bytes.size()));
      EXPECT_EQ(copier.GetState(), VxZStream::Idle);
    }
  }
}

TEST(VxInflateCopierTest, LimitedCopyFetchesOnlyWhatItNeeds) {
  const std::string stream = Deflate(Sample(100000, 2), 0);  // stored: input grows with output
  VxInflateCopier copier;
  RecordingReader source(stream);
  RecordingWriter out;
  EXPECT_EQ(copier.Copy(out, source, 300), 300u);
  EXPECT_LE(source.asked.size(), 4u);
}

// Damaged input ends the output quietly: no exception, only a shorter result.
TEST(VxInflateCopierTest, DamagedInputEndsQuietly) {
  const std::string content = Sample(700, 4);
  for (int level : kLevels) {
    SCOPED_TRACE(testing::Message() << "level " << level);
    const std::string stream = Deflate(content, level);
    for (size_t cut = 0; cut < stream.size(); ++cut) {  // cut off anywhere
      RecordingWriter out;
      VxInflateCopier copier;
      const uint32_t got = CopyAll(copier, out, stream.substr(0, cut));
      EXPECT_EQ(got, out.bytes.size());
      EXPECT_EQ(out.bytes, content.substr(0, got)) << "cut " << cut;
      ExpectChunked(out.sizes, 100);
      if (cut < 2) {
        EXPECT_EQ(got, 0u);
      }
      if (cut + 4 >= stream.size()) {
        EXPECT_EQ(got, content.size()) << "only the trailer is missing";
      }
    }
    struct Damage {
      const char* what;
      size_t at;
      char mask;
      bool all;  // everything still comes out
    } damages[] = {
        {"method not deflate", 0, 0x0F, false},
        {"header check", 1, 0x01, false},
        {"preset dictionary flag", 1, 0x20, false},
        {"trailer", stream.size() - 1, 0x55, true},
        {"trailer start", stream.size() - 4, 0x01, true},
        {"deflate data", stream.size() / 2, 0x5A, false},
    };
    for (const Damage& d : damages) {
      SCOPED_TRACE(d.what);
      std::string bad = stream;
      bad[d.at] = static_cast<char>(bad[d.at] ^ d.mask);
      RecordingWriter out;
      VxInflateCopier copier;
      const uint32_t got = CopyAll(copier, out, bad);
      EXPECT_EQ(got, out.bytes.size());
      ExpectChunked(out.sizes, 100);
      if (d.at < 2) {
        EXPECT_TRUE(out.sizes.empty());
      }
      if (d.all) {
        EXPECT_EQ(out.bytes, content);
      }
      EXPECT_EQ(copier.GetState(), VxZStream::Idle);
    }
    RecordingWriter out;
    VxInflateCopier copier;
    EXPECT_EQ(CopyAll(copier, out, std::string(500, '\x7F')), 0u);  // not zlib at all
    // A well-formed header that asks for a preset dictionary: zlib stops with Z_NEED_DICT.
    std::string dict = stream;
    dict[1] = static_cast<char>((dict[1] & 0xC0) | 0x20);
    dict[1] = static_cast<char>(dict[1] + 31 - (0x7800 + static_cast<uint8_t>(dict[1])) % 31);
    dict.insert(2, "\1\2\3\4");
    EXPECT_EQ(CopyAll(copier, out, dict), 0u);
    EXPECT_TRUE(out.sizes.empty());
  }
}

// compress2 sets the header's level flag from the level: 0 for 0-1, 1 for 2-5, 2 for
// 6, 3 for 7-9; the inflater takes every one.
TEST(VxInflateCopierTest, TakesEveryLevelFlag) {
  const std::string content = Sample(3000, 6);
  const int flags[] = {0, 0, 1, 1, 1, 1, 2, 3, 3, 3};
  for (int level = 0; level <= 9; ++level) {
    const std::string stream = Deflate(content, level);
    EXPECT_EQ(static_cast<uint8_t>(stream[1]) >> 6, flags[level]) << "level " << level;
    RecordingWriter out;
    VxInflateCopier copier;
    EXPECT_EQ(CopyAll(copier, out, stream), content.size());
    EXPECT_EQ(out.bytes, content);
  }
}

TEST(VxInflateCopierTest, EmptyContentMakesNoWrite) {
  for (int level : kLevels) {
    RecordingWriter out;
    VxInflateCopier copier;
    EXPECT_EQ(CopyAll(copier, out, Deflate("", level)), 0u);
    EXPECT_TRUE(out.sizes.empty());
  }
}

TEST(VxInflateCopierTest, CopyAltTouchesNothing) {
  RecordingReader source(Deflate("abc", 6));
  RecordingWriter out;
  VxInflateCopier copier;
  VxCopier& asCopier = copier;
  EXPECT_EQ(asCopier.CopyAlt(out, source, 0), 0u);
  EXPECT_TRUE(source.asked.empty());
  EXPECT_TRUE(out.sizes.empty());
  EXPECT_EQ(copier.GetState(), VxZStream::Idle);
}

// The smallest input: the source hands out one byte per fetch, however much is asked.
TEST(VxInflateCopierTest, TrickleSource) {
  const std::string content = Sample(30000, 8);
  for (int level : kLevels) {
    const std::string stream = Deflate(content, level);
    for (uint32_t count : {0u, 1u, 12345u}) {
      RecordingReader source(stream, 1);
      RecordingWriter out;
      VxInflateCopier copier;
      const uint32_t want = count ? count : static_cast<uint32_t>(content.size());
      EXPECT_EQ(copier.Copy(out, source, count), want);
      EXPECT_EQ(out.bytes, content.substr(0, want));
      ExpectChunked(out.sizes, 100);
      for (uint32_t asked : source.asked) EXPECT_EQ(asked, 113u);
    }
  }
}

class VxInflateCopierFileTest : public vxtest::TempDirTest {};

TEST_F(VxInflateCopierFileTest, InflatesIntoAFileAsTheLauncherDoes) {
  for (size_t size : {0, 1, 100, 54321}) {
    const std::string content = Sample(size, 11);
    const std::string stream = Deflate(content, 9);
    const std::string path = Path("entry" + std::to_string(size));
    Put(path, "old content");
    auto* reader = new VxMemReader(stream.data(), static_cast<uint32_t>(stream.size()));
    auto* file = new VxFile(path.c_str(), 0x1001);
    auto* copier = new VxInflateCopier;
    EXPECT_EQ(copier->Copy(*file, *reader, 0), size);
    delete copier;
    delete file;
    delete reader;
    EXPECT_EQ(Get(path), content);
  }
}

// An exception of the destination or the source passes through as it is; the copier is
// left inflating and refuses the next Copy with -11, before touching either stream.
TEST_F(VxInflateCopierFileTest, InterruptedCopyLeavesTheCopierInflating) {
  const std::string stream = Deflate(Sample(1000, 12), 6);
  const std::string path = Path("interrupted");
  for (FileCall call : {FileCall::Write, FileCall::Read}) {
    VxInflateCopier copier;
    VxFile file(path.c_str(), VxFile::OpenCreate | VxFile::OpenReadWrite);
    if (call == FileCall::Read) {
      file.Write(stream.data(), static_cast<uint32_t>(stream.size()));
      file.Seek(0, 0);
    }
    VxMemReader memory(stream.data(), static_cast<uint32_t>(stream.size()));
    RecordingWriter out;
    FileFaults::Arm(call, FileFault::Fail, 2);
    const int32_t code = vxtest::FileErrorOf([&] {
      if (call == FileCall::Write) copier.Copy(file, memory, 0);
      else copier.Copy(out, file, 0);
    });
    EXPECT_EQ(code, call == FileCall::Write ? 2 : 1);
    EXPECT_EQ(copier.GetState(), VxZStream::Inflating);
    RecordingReader source(stream);
    EXPECT_EQ(vxtest::InflateErrorOf([&] { copier.Copy(out, source, 0); }), -11);
    EXPECT_TRUE(source.asked.empty());
    EXPECT_EQ(copier.GetState(), VxZStream::Inflating);
    FileFaults::Clear();
  }
}

}  // namespace
