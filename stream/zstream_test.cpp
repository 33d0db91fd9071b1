#include "stream/zstream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "stream/stream_testing.h"

using vxtest::InflateErrorOf;
using vxtest::kNothingRaised;

namespace {

// Opens the protected operations of the state holder to the tests.
class ZStreamProbe : public VxZStream {
 public:
  explicit ZStreamProbe(uint32_t bufferSize = 7) : VxZStream(bufferSize) {}
  using VxZStream::End;
  using VxZStream::Init;
  using VxZStream::Raise;
  using VxZStream::ReadInflated;
  uint32_t BufferSize() const { return inBufferSize; }
  // Makes zlib disown the record (it then refuses inflateEnd), and gives it back.
  void Disown() { std::swap(saved, zstream.state); }

 private:
  internal_state* saved = nullptr;
};

TEST(VxZStreamTest, StateTable) {
  const std::string stream = vxtest::Deflate("content", 6);
  using Op = std::function<void(ZStreamProbe&, VxReader&)>;
  const Op init = [](ZStreamProbe& z, VxReader&) { z.Init(); };
  const Op read = [](ZStreamProbe& z, VxReader& source) { char b[4]; z.ReadInflated(b, 4, source); };
  const Op end = [](ZStreamProbe& z, VxReader&) { z.End(); };
  const Op finish = [](ZStreamProbe& z, VxReader& source) {
    z.Init();
    char b[64];
    while (z.ReadInflated(b, sizeof b, source) != 0) {}
  };
  struct Case {
    const char* what;
    Op setup;
    Op operation;
    int32_t code;
    VxZStream::State after;
    bool readsSource;
  } cases[] = {
      {"idle init", nullptr, init, kNothingRaised, VxZStream::Inflating, false},
      {"idle read", nullptr, read, -11, VxZStream::Idle, false},
      {"idle end", nullptr, end, -11, VxZStream::Idle, false},
      {"inflating init", init, init, -11, VxZStream::Inflating, false},
      {"inflating read", init, read, kNothingRaised, VxZStream::Inflating, true},
      {"inflating end", init, end, kNothingRaised, VxZStream::Idle, false},
      {"finished init", finish, init, -11, VxZStream::Finished, false},
      {"finished read", finish, read, kNothingRaised, VxZStream::Finished, false},
      {"finished end", finish, end, kNothingRaised, VxZStream::Idle, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ZStreamProbe z;
    vxtest::RecordingReader source(stream);
    EXPECT_EQ(z.GetState(), VxZStream::Idle);
    if (c.setup) c.setup(z, source);
    const size_t asked = source.asked.size();
    EXPECT_EQ(InflateErrorOf([&] { c.operation(z, source); }), c.code);
    EXPECT_EQ(z.GetState(), c.after);
    if (!c.readsSource) {
      EXPECT_EQ(source.asked.size(), asked);
    }
  }
  static_assert(VxZStream::Idle == 0 && VxZStream::Inflating == 2 && VxZStream::Finished == 3, "the state values are fixed");
}

TEST(VxZStreamTest, FailedEndRaises9AndKeepsTheState) {
  for (bool finished : {false, true}) {
    ZStreamProbe z;
    vxtest::RecordingReader empty("");
    z.Init();
    char b[4];
    if (finished) {
      EXPECT_EQ(z.ReadInflated(b, 4, empty), 0u);  // no input at all: finished
    }
    const VxZStream::State before = z.GetState();
    EXPECT_EQ(before, finished ? VxZStream::Finished : VxZStream::Inflating);
    z.Disown();
    EXPECT_EQ(InflateErrorOf([&] { z.End(); }), -9);
    EXPECT_EQ(z.GetState(), before);
    z.Disown();
    z.End();
    EXPECT_EQ(z.GetState(), VxZStream::Idle);
  }
}

TEST(VxZStreamTest, RaiseThrowsByValue) {
  EXPECT_EQ(InflateErrorOf([] { ZStreamProbe::Raise(-10); }), -10);
}

TEST(VxZStreamTest, CountZeroReturnsAtOnce) {
  ZStreamProbe z;
  vxtest::RecordingReader source(vxtest::Deflate("abc", 9));
  z.Init();
  EXPECT_EQ(z.ReadInflated(nullptr, 0, source), 0u);
  EXPECT_TRUE(source.asked.empty());
  EXPECT_EQ(z.GetState(), VxZStream::Inflating);
  z.End();
}

// The smallest buffers: one byte of input per fetch, one byte of output per call.
TEST(VxZStreamTest, OneByteBuffers) {
  const std::string content = vxtest::Sample(20000, 5);
  for (int level : {0, 1, 6, 9}) {
    ZStreamProbe z(1);
    EXPECT_EQ(z.BufferSize(), 1u);
    const std::string stream = vxtest::Deflate(content, level);
    vxtest::RecordingReader source(stream);
    z.Init();
    std::string out;
    char byte;
    while (z.ReadInflated(&byte, 1, source) == 1) out += byte;
    EXPECT_EQ(out, content) << "level " << level;
    EXPECT_EQ(source.served, stream.size());
    for (uint32_t asked : source.asked) EXPECT_EQ(asked, 1u);
    z.End();
  }
}

TEST(VxZStreamTest, DestructionEndsARunningInflater) {
  ZStreamProbe z;  // left Inflating: the leak checker would see zlib's state otherwise
  z.Init();
}

}  // namespace
