#include "stream/file_stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

#include "stream/stream_testing.h"
#include "platform/testing/file_faults.h"

using platform::FileCall;
using platform::FileFault;
using platform::FileFaults;
using vxtest::FileErrorOf;
using vxtest::kNothingRaised;

static_assert(std::is_base_of_v<VxReader, VxFile> && std::is_base_of_v<VxWriter, VxFile> &&
                  std::is_base_of_v<VxInStream, VxFile> && std::is_base_of_v<VxOutStream, VxFile> &&
                  std::is_base_of_v<VxStream, VxFile>,
              "a file can be handed out through every view");
static_assert(!std::is_copy_constructible_v<VxFile>, "two streams would close one handle");
static_assert(std::has_virtual_destructor_v<VxFile> && !std::has_virtual_destructor_v<VxStream>,
              "deleted through the concrete class, never through an interface");

namespace {

class VxFileTest : public vxtest::TempDirTest {
 protected:
  // What a stream opened with `mode` can do: 'r' read, 'w' write, '-' neither.
  static std::string Abilities(VxFile& file) {
    char byte;
    std::string abilities;
    abilities += FileErrorOf([&] { file.Read(&byte, 1); }) == kNothingRaised ? "r" : "";
    abilities += FileErrorOf([&] { file.Write("+", 1); }) == kNothingRaised ? "w" : "";
    return abilities.empty() ? "-" : abilities;
  }
};

TEST_F(VxFileTest, OpenModeTable) {
  constexpr uint32_t kIgnoredBits = ~uint32_t(0x3 | 0x70 | 0x1000 | 0x2000 | 0x4000);
  struct Case {
    uint32_t mode;
    bool exists;  // before the open, with content "old"
    int32_t opened;
    const char* abilities;
    const char* after;  // the content after the checks; null: no file
  } cases[] = {
      {VxFile::OpenRead, true, 1, "r", "old"},
      {VxFile::OpenRead, false, 0, "-", nullptr},
      {VxFile::OpenWrite, true, 1, "w", "+ld"},
      {VxFile::OpenReadWrite, true, 1, "rw", "o+d"},
      {VxFile::OpenCreate | VxFile::OpenWrite, true, 1, "w", "+"},  // the launcher's 0x1001
      {VxFile::OpenCreate | VxFile::OpenWrite, false, 1, "w", "+"},
      {VxFile::OpenCreate | VxFile::OpenKeep | VxFile::OpenWrite, true, 1, "w", "+ld"},
      {VxFile::OpenCreate | VxFile::OpenKeep | VxFile::OpenWrite, false, 1, "w", "+"},
      {VxFile::OpenKeep | VxFile::OpenWrite, true, 1, "w", "+ld"},  // as without OpenKeep
      {VxFile::OpenKeep | VxFile::OpenWrite, false, 0, "-", nullptr},
      // Made new, never through something that is there already.
      {VxFile::OpenCreate | VxFile::OpenNew | VxFile::OpenWrite, false, 1, "w", "+"},
      {VxFile::OpenCreate | VxFile::OpenNew | VxFile::OpenWrite, true, 0, "-", "old"},
      {VxFile::OpenCreate | VxFile::OpenNew | VxFile::OpenKeep | VxFile::OpenWrite, true, 0, "-", "old"},
      {VxFile::OpenNew | VxFile::OpenWrite, false, 0, "-", nullptr},  // OpenNew alone: no effect
      {VxFile::OpenCreate | VxFile::OpenRead, true, 1, "r", ""},
      {VxFile::OpenCreate | VxFile::OpenWrite | kIgnoredBits, true, 1, "w", "+"},
      {VxFile::ShareRead | VxFile::OpenRead, true, 1, "r", "old"},
      {VxFile::ShareReadWrite | VxFile::OpenReadWrite, true, 1, "rw", "o+d"},
      {0x0003, true, 0, "-", "old"},  // undefined access and share values are refused
      {0x1003, false, 0, "-", nullptr},
      {0x0050, true, 0, "-", "old"},
      {0x0060, true, 0, "-", "old"},
      {0x1071, false, 0, "-", nullptr},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode 0x" << std::hex << c.mode << (c.exists ? " existing" : " missing"));
    std::string path = Path("mode" + std::to_string(n++));
    if (c.exists) Put(path, "old");
    VxFile file;
    EXPECT_EQ(file.Open(path.c_str(), c.mode), c.opened);
    EXPECT_EQ(file.OwnsHandle(), c.opened == 1);
    EXPECT_EQ(file.GetHandle() != nullptr, c.opened == 1);
    EXPECT_EQ(Abilities(file), c.abilities);
    file.Close();
    EXPECT_EQ(Exists(path), c.after != nullptr);
    if (c.after) {
      EXPECT_EQ(Get(path), c.after);
    }
  }
}

TEST_F(VxFileTest, OpeningConstructorRaises7WithItsOwnCopyOfThePath) {
  for (const char* name : {"missing-dir/x.bin", "missing.bin"}) {
    auto path = std::make_unique<std::string>(Path(name));
    const std::string expected = *path;
    const uint32_t mode = std::string(name) == "missing.bin" ? VxFile::OpenWrite : 0x1001;
    VxStreamException* raised = nullptr;
    try {
      VxFile file(path->c_str(), mode);
    } catch (VxStreamException* e) {
      raised = e;
    }
    ASSERT_NE(raised, nullptr);
    EXPECT_NE(raised->GetText(), path->c_str());
    path.reset();
    EXPECT_EQ(raised->GetCode(), 7);
    EXPECT_EQ(raised->GetText(), expected);
    delete raised;
  }
}

TEST_F(VxFileTest, CountZeroMakesNoPlatformCall) {
  std::string path = Path("zero");
  VxFile file(path.c_str(), VxFile::OpenCreate | VxFile::OpenReadWrite);
  VxFile none;
  FileFaults::Arm(FileCall::Read, FileFault::Fail);
  FileFaults::Arm(FileCall::Write, FileFault::Fail);
  for (VxFile* stream : {&file, &none}) {
    EXPECT_EQ(stream->Read(nullptr, 0), 0u);
    EXPECT_EQ(stream->Write(nullptr, 0), 0u);
  }
  EXPECT_TRUE(FileFaults::Pending(FileCall::Read));
  EXPECT_TRUE(FileFaults::Pending(FileCall::Write));
}

TEST_F(VxFileTest, EachReadAndWriteIsOnePlatformCall) {
  std::string path = Path("one-call");
  VxFile file(path.c_str(), VxFile::OpenCreate | VxFile::OpenReadWrite);
  std::string big = vxtest::Sample(200000);
  // The fault lets exactly one call through; a second call inside the same operation
  // would hit it.
  FileFaults::Arm(FileCall::Write, FileFault::Fail, 1);
  EXPECT_EQ(file.Write(big.data(), static_cast<uint32_t>(big.size())), big.size());
  EXPECT_EQ(FileErrorOf([&] { file.Write("x", 1); }), 2);
  file.Seek(0, 0);
  std::string back(big.size(), '\0');
  FileFaults::Arm(FileCall::Read, FileFault::Fail, 1);
  EXPECT_EQ(file.Read(&back[0], static_cast<uint32_t>(back.size())), big.size());
  EXPECT_EQ(back, big);
  EXPECT_EQ(FileErrorOf([&] { file.Read(&back[0], 1); }), 1);
}

TEST_F(VxFileTest, ReadsNearAndAtTheEnd) {
  std::string path = Path("end");
  Put(path, "0123456789");
  VxFile file(path.c_str(), VxFile::OpenRead);
  char buffer[100];
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_EQ(file.Read(buffer, 100), 6u);  // short, and not retried
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(file.Read(buffer, 100), 0u);
  EXPECT_EQ(file.Read(buffer, 1), 0u);
}

// Every code of the file stream, from the platform layer's faults and from plain misuse.
// After each failure but Close's the stream still works.
TEST_F(VxFileTest, RaisesEachCodeAndStaysUsable) {
  struct Case {
    const char* what;
    FileCall call;  // FileCall::Count: no fault, the failure is a natural one
    FileFault fault;
    uint32_t passes;
    uint32_t mode;
    std::function<void(VxFile&)> operation;
    int32_t code;
  } cases[] = {
      {"read fails", FileCall::Read, FileFault::Fail, 0, 2, [](VxFile& f) { char b[4]; f.Read(b, 4); }, 1},
      {"read write-only", FileCall::Count, FileFault::None, 0, 1, [](VxFile& f) { char b[4]; f.Read(b, 4); }, 1},
      {"write fails", FileCall::Write, FileFault::Fail, 0, 2, [](VxFile& f) { f.Write("abcd", 4); }, 2},
      {"write read-only", FileCall::Count, FileFault::None, 0, 0, [](VxFile& f) { f.Write("abcd", 4); }, 2},
      {"short write", FileCall::Write, FileFault::Short, 0, 2, [](VxFile& f) { f.Write("abcd", 4); }, 3},
      {"short 1-byte write", FileCall::Write, FileFault::Short, 0, 2, [](VxFile& f) { f.Write("a", 1); }, 3},
      {"tell fails", FileCall::Seek, FileFault::Fail, 0, 2, [](VxFile& f) { f.Tell(); }, 4},
      {"seek fails", FileCall::Seek, FileFault::Fail, 0, 2, [](VxFile& f) { f.Seek(2, 0); }, 4},
      {"seek before start", FileCall::Count, FileFault::None, 0, 2, [](VxFile& f) { f.Seek(-1, 0); }, 4},
      {"seek bad origin", FileCall::Count, FileFault::None, 0, 2, [](VxFile& f) { f.Seek(0, 7); }, 4},
      {"length: save fails", FileCall::Seek, FileFault::Fail, 0, 2, [](VxFile& f) { f.Length(); }, 4},
      {"length: end fails", FileCall::Seek, FileFault::Fail, 1, 2, [](VxFile& f) { f.Length(); }, 4},
      {"length: back fails", FileCall::Seek, FileFault::Fail, 2, 2, [](VxFile& f) { f.Length(); }, 4},
      {"length: back elsewhere", FileCall::Seek, FileFault::Short, 2, 2, [](VxFile& f) { f.Length(); }, 4},
      {"unlock fails", FileCall::Unlock, FileFault::Fail, 0, 2,
       [](VxFile& f) { ASSERT_EQ(f.Lock(0, 4, 0), 0); f.Unlock(0, 4); }, 6},
      {"unlock unlocked", FileCall::Count, FileFault::None, 0, 2, [](VxFile& f) { f.Unlock(0, 4); }, 6},
      {"close fails", FileCall::Close, FileFault::Fail, 0, 2, [](VxFile& f) { f.Close(); }, 8},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = Path("codes" + std::to_string(n++));
    Put(path, "0123456789");
    VxFile file(path.c_str(), c.mode);
    if (file.Lock(8, 1, 0) != 0) ADD_FAILURE() << "lock";
    if (c.mode == 2) file.Seek(5, 0);
    if (c.call != FileCall::Count) FileFaults::Arm(c.call, c.fault, c.passes);
    EXPECT_EQ(FileErrorOf([&] { c.operation(file); }), c.code);
    EXPECT_FALSE(c.call != FileCall::Count && FileFaults::Pending(c.call)) << "the fault was not reached";
    FileFaults::Clear();
    if (c.code == 8) {
      EXPECT_EQ(file.GetHandle(), nullptr);
      EXPECT_FALSE(file.OwnsHandle());
      continue;
    }
    EXPECT_TRUE(file.OwnsHandle());
    EXPECT_EQ(file.Length(), 10u);
    EXPECT_EQ(file.Unlock(8, 1), 1);
    if (c.mode == 2) {
      EXPECT_EQ(file.Seek(9, 0), 9u);
      char byte;
      EXPECT_EQ(file.Read(&byte, 1), 1u);
      EXPECT_EQ(byte, '9');
    }
  }
}

TEST_F(VxFileTest, WithoutHandleEveryOperationFails) {
  VxFile file;
  char byte;
  EXPECT_EQ(FileErrorOf([&] { file.Read(&byte, 1); }), 1);
  EXPECT_EQ(FileErrorOf([&] { file.Write("x", 1); }), 2);
  EXPECT_EQ(FileErrorOf([&] { file.Tell(); }), 4);
  EXPECT_EQ(FileErrorOf([&] { file.Seek(0, 0); }), 4);
  EXPECT_EQ(FileErrorOf([&] { file.Length(); }), 4);
  EXPECT_EQ(file.Lock(0, 1, 0), -1);
  EXPECT_EQ(FileErrorOf([&] { file.Unlock(0, 1); }), 6);
  EXPECT_EQ(FileErrorOf([&] { file.Close(); }), kNothingRaised);
}

TEST_F(VxFileTest, LengthLeavesThePosition) {
  std::string path = Path("length");
  VxFile file(path.c_str(), VxFile::OpenCreate | VxFile::OpenReadWrite);
  EXPECT_EQ(file.Length(), 0u);
  std::string content = vxtest::Sample(1000);
  file.Write(content.data(), 1000);
  for (uint32_t at : {0u, 1u, 437u, 999u, 1000u, 5000u}) {
    EXPECT_EQ(file.Seek(static_cast<int32_t>(at), 0), at);
    EXPECT_EQ(file.Length(), 1000u);
    EXPECT_EQ(file.Tell(), at);
  }
}

TEST_F(VxFileTest, SeekOrigins) {
  std::string path = Path("seek");
  VxFile file(path.c_str(), VxFile::OpenCreate | VxFile::OpenReadWrite);
  file.Write("0123456789", 10);
  EXPECT_EQ(file.Tell(), 10u);
  EXPECT_EQ(file.Seek(3, 0), 3u);
  EXPECT_EQ(file.Seek(4, 1), 7u);
  EXPECT_EQ(file.Seek(-2, 1), 5u);
  EXPECT_EQ(file.Seek(-1, 2), 9u);
  EXPECT_EQ(file.Seek(5, 2), 15u);  // past the end; a write there leaves a gap
  file.Write("!", 1);
  EXPECT_EQ(file.Length(), 16u);
  EXPECT_EQ(FileErrorOf([&] { file.Seek(-17, 2); }), 4);
  EXPECT_EQ(file.Tell(), 16u);
}

TEST_F(VxFileTest, CloseTwiceIsHarmless) {
  std::string path = Path("close");
  VxFile file(path.c_str(), 0x1001);
  file.Close();
  EXPECT_EQ(file.GetHandle(), nullptr);
  EXPECT_EQ(FileErrorOf([&] { file.Close(); }), kNothingRaised);
  EXPECT_EQ(FileErrorOf([&] { file.Write("x", 1); }), 2);
  VxFile again(path.c_str(), VxFile::OpenRead);  // share none: only opens if really closed
}

TEST_F(VxFileTest, DestructorRaisesAFailedClose) {
  std::string path = Path("dtor");
  auto* file = new VxFile(path.c_str(), 0x1001);
  FileFaults::Arm(FileCall::Close, FileFault::Fail);
  EXPECT_EQ(FileErrorOf([&] { delete file; }), 8);
  VxFile again(path.c_str(), VxFile::OpenRead);  // the handle is gone all the same
}

TEST_F(VxFileTest, AdoptedHandleSurvivesDeletion) {
  std::string path = Path("adopted");
  platform::FileHandle handle =
      platform::FileOpen(path.c_str(), platform::FileAccessWrite, 0, platform::FileCreateAlways);
  ASSERT_NE(handle, platform::InvalidFileHandle());
  {
    VxFile file(handle);
    EXPECT_FALSE(file.OwnsHandle());
    EXPECT_EQ(file.Write("ab", 2), 2u);
  }
  uint32_t written = 0;
  EXPECT_TRUE(platform::FileWrite(handle, "cd", 2, &written));
  {
    VxFile file(handle);
    file.Close();  // closes an adopted handle all the same
    EXPECT_EQ(file.GetHandle(), nullptr);
  }
  VxFile reader(path.c_str(), VxFile::OpenRead);  // share none: only opens once closed
  char buffer[8];
  EXPECT_EQ(reader.Read(buffer, 8), 4u);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
}

TEST_F(VxFileTest, ViewsShareOneHandleAndPosition) {
  std::string path = Path("views");
  VxFile file(path.c_str(), VxFile::OpenCreate | VxFile::OpenReadWrite);
  VxReader& reader = file;
  VxWriter& writer = file;
  VxInStream& in = file;
  VxOutStream& out = file;
  EXPECT_EQ(static_cast<VxStream*>(&in), static_cast<VxStream*>(&out));
  EXPECT_EQ(writer.Write("hello", 5), 5u);
  EXPECT_EQ(in.Tell(), 5u);
  EXPECT_EQ(out.Seek(1, 0), 1u);
  char buffer[8];
  EXPECT_EQ(reader.Read(buffer, 8), 4u);
  EXPECT_EQ(std::string(buffer, 4), "ello");
  EXPECT_EQ(static_cast<VxStream&>(file).Length(), 5u);
}

TEST_F(VxFileTest, ShareModesAndLocksSeenFromASecondStream) {
  std::string path = Path("share");
  Put(path, std::string(64, 'x'));
  {
    VxFile first(path.c_str(), 0x1001);  // the launcher's mode shares nothing
    EXPECT_EQ(VxFile().Open(path.c_str(), VxFile::OpenRead | VxFile::ShareReadWrite), 0);
  }
  VxFile first(path.c_str(), VxFile::OpenReadWrite | VxFile::ShareReadWrite);
  VxFile second(path.c_str(), VxFile::OpenReadWrite | VxFile::ShareReadWrite);
  EXPECT_EQ(VxFile().Open(path.c_str(), VxFile::OpenRead | VxFile::ShareRead), 0);  // first writes
  EXPECT_EQ(first.Lock(10, 10, 0), 0);
  EXPECT_EQ(second.Lock(15, 10, 0), -1);
  EXPECT_EQ(second.Lock(19, 1, 0), -1);
  EXPECT_EQ(second.Lock(20, 10, 0), 0);
  EXPECT_EQ(FileErrorOf([&] { second.Unlock(10, 10); }), 6);  // not its lock
  EXPECT_EQ(FileErrorOf([&] { first.Unlock(10, 5); }), 6);    // not the locked range
  EXPECT_NE(first.Unlock(10, 10), 0);
  EXPECT_EQ(second.Lock(10, 10, 0), 0);
  first.Close();
  second.Close();
  VxFile third(path.c_str(), VxFile::OpenReadWrite);
  EXPECT_EQ(third.Lock(0, 64, 0), 0);  // closing released every lock
}

TEST_F(VxFileTest, OneByteWritesAndReads) {
  std::string path = Path("bytes");
  std::string content = vxtest::Sample(5000, 3);
  {
    VxFile file(path.c_str(), 0x1001);
    for (char c : content) EXPECT_EQ(file.Write(&c, 1), 1u);
  }
  EXPECT_EQ(Get(path), content);
  VxFile file(path.c_str(), VxFile::OpenRead);
  std::string back;
  char c;
  while (file.Read(&c, 1) == 1) back += c;
  EXPECT_EQ(back, content);
}

}  // namespace
