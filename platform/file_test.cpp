#include "platform/file.h"
#include "platform/testing/file_faults.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace platform;

namespace {

constexpr uint32_t R = FileAccessRead, W = FileAccessWrite;
constexpr uint32_t SR = FileShareRead, SW = FileShareWrite;

class PlatformFileTest : public ::testing::Test {
 protected:
  PlatformFileTest() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
      dir = std::filesystem::temp_directory_path() /
            ("vxfile-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    } while (!std::filesystem::create_directory(dir));
    FileFaults::Clear();
  }
  ~PlatformFileTest() override {
    FileFaults::Clear();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static bool Valid(FileHandle handle) { return handle != InvalidFileHandle() && handle != nullptr; }

  std::filesystem::path dir;
};

TEST_F(PlatformFileTest, CreationDispositions) {
  struct Case {
    uint32_t disposition;
    bool exists;  // with content "old"
    bool opens;
    const char* after;  // null: no file
  } cases[] = {
      {FileCreateNew, false, true, ""},      {FileCreateNew, true, false, "old"},
      {FileCreateAlways, false, true, ""},   {FileCreateAlways, true, true, ""},
      {FileOpenExisting, false, false, nullptr}, {FileOpenExisting, true, true, "old"},
      {FileOpenAlways, false, true, ""},     {FileOpenAlways, true, true, "old"},
      {FileTruncateExisting, false, false, nullptr}, {FileTruncateExisting, true, true, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << (c.exists ? " existing" : " missing"));
    std::string path = Path("d" + std::to_string(n++));
    if (c.exists) Put(path, "old");
    FileHandle handle = FileOpen(path.c_str(), R | W, 0, c.disposition);
    EXPECT_EQ(Valid(handle), c.opens);
    EXPECT_NE(handle, nullptr);
    if (Valid(handle)) {
      EXPECT_TRUE(FileClose(handle));
    }
    EXPECT_EQ(std::filesystem::exists(path), c.after != nullptr);
    if (c.after) {
      EXPECT_EQ(Get(path), c.after);
    }
  }
  EXPECT_FALSE(Valid(FileOpen(dir.string().c_str(), R, SR | SW, FileOpenExisting)));  // a folder
  EXPECT_FALSE(Valid(FileOpen(Path("no/such/dir").c_str(), W, 0, FileCreateAlways)));
  EXPECT_FALSE(Valid(FileOpen("", R, 0, FileOpenExisting)));
}

// Windows' rule: a second handle opens only if it shares the first one's access and the
// first one shares its access.
TEST_F(PlatformFileTest, ShareMatrixOfTwoHandles) {
  std::string path = Path("share");
  Put(path, "content");
  const uint32_t accesses[] = {R, W, R | W};
  const uint32_t shares[] = {0, SR, SW, SR | SW};
  for (uint32_t a1 : accesses) for (uint32_t s1 : shares) for (uint32_t a2 : accesses) for (uint32_t s2 : shares) {
    bool expected = (!(a2 & R) || (s1 & SR)) && (!(a2 & W) || (s1 & SW)) && (!(a1 & R) || (s2 & SR)) &&
                    (!(a1 & W) || (s2 & SW));
    FileHandle first = FileOpen(path.c_str(), a1, s1, FileOpenExisting);
    ASSERT_TRUE(Valid(first));
    FileHandle second = FileOpen(path.c_str(), a2, s2, FileOpenAlways);
    EXPECT_EQ(Valid(second), expected) << std::hex << a1 << "/" << s1 << " then " << a2 << "/" << s2;
    if (Valid(second)) {
      EXPECT_TRUE(FileClose(second));
    }
    EXPECT_TRUE(FileClose(first));
  }
}

TEST_F(PlatformFileTest, RefusedOpenLeavesTheFileAsItWas) {
  std::string path = Path("kept");
  Put(path, "keep me");
  FileHandle reader = FileOpen(path.c_str(), R, SR, FileOpenExisting);
  EXPECT_FALSE(Valid(FileOpen(path.c_str(), W, SR | SW, FileCreateAlways)));
  EXPECT_FALSE(Valid(FileOpen(path.c_str(), W, SR | SW, FileTruncateExisting)));
  EXPECT_TRUE(FileClose(reader));
  EXPECT_EQ(Get(path), "keep me");
}

TEST_F(PlatformFileTest, RangeLocks) {
  std::string path = Path("locks");
  Put(path, std::string(100, 'x'));
  FileHandle a = FileOpen(path.c_str(), R | W, SR | SW, FileOpenExisting);
  FileHandle b = FileOpen(path.c_str(), R, SR | SW, FileOpenExisting);
  EXPECT_TRUE(FileLock(a, 10, 10));
  EXPECT_FALSE(FileLock(a, 15, 1));  // overlaps its own range
  EXPECT_FALSE(FileLock(b, 0, 11));
  EXPECT_FALSE(FileLock(b, 19, 5));
  EXPECT_TRUE(FileLock(b, 20, 5));
  EXPECT_TRUE(FileLock(b, 1000, 5));  // beyond the end
  EXPECT_FALSE(FileUnlock(a, 10, 5));  // only the exact range
  EXPECT_FALSE(FileUnlock(a, 20, 5));  // only its own
  EXPECT_TRUE(FileUnlock(a, 10, 10));
  EXPECT_FALSE(FileUnlock(a, 10, 10));
  EXPECT_TRUE(FileLock(b, 10, 10));
  EXPECT_TRUE(FileClose(b));
  EXPECT_TRUE(FileLock(a, 0, 100));  // closing released b's ranges
  EXPECT_TRUE(FileClose(a));
}

TEST_F(PlatformFileTest, ReadWriteSeekFollowAccess) {
  std::string path = Path("rw");
  FileHandle w = FileOpen(path.c_str(), W, SR | SW, FileCreateAlways);
  FileHandle r = FileOpen(path.c_str(), R, SR | SW, FileOpenExisting);
  uint32_t done = 99;
  char buffer[16];
  EXPECT_TRUE(FileWrite(w, "abcdef", 6, &done));
  EXPECT_EQ(done, 6u);
  EXPECT_FALSE(FileRead(w, buffer, 1, &done));
  EXPECT_FALSE(FileWrite(r, "x", 1, &done));
  EXPECT_TRUE(FileRead(r, buffer, 16, &done));
  EXPECT_EQ(std::string(buffer, done), "abcdef");
  EXPECT_TRUE(FileRead(r, buffer, 16, &done));
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(FileSeek(r, 2, FileBegin), 2u);
  EXPECT_EQ(FileSeek(r, -1, FileEnd), 5u);
  EXPECT_EQ(FileSeek(r, -6, FileCurrent), FileSeekFailed);
  EXPECT_EQ(FileSeek(r, 0, FileCurrent), 5u);  // a failed seek does not move
  EXPECT_EQ(FileSeek(r, 0x7FFFFFFF, FileBegin), 0x7FFFFFFFu);
  EXPECT_TRUE(FileClose(r));
  EXPECT_TRUE(FileClose(w));
}

TEST_F(PlatformFileTest, BackslashesSeparate) {
  std::filesystem::create_directory(dir / "sub");
  std::string path = dir.string() + "\\sub\\name.txt";
  FileHandle handle = FileOpen(path.c_str(), W, 0, FileCreateNew);
  ASSERT_TRUE(Valid(handle));
  EXPECT_TRUE(FileClose(handle));
  EXPECT_TRUE(std::filesystem::exists(dir / "sub" / "name.txt"));
}

TEST_F(PlatformFileTest, NoHandleFailsEverywhere) {
  for (FileHandle handle : {FileHandle(nullptr), InvalidFileHandle()}) {
    uint32_t done;
    char byte;
    EXPECT_FALSE(FileRead(handle, &byte, 1, &done));
    EXPECT_FALSE(FileWrite(handle, "x", 1, &done));
    EXPECT_EQ(FileSeek(handle, 0, FileCurrent), FileSeekFailed);
    EXPECT_FALSE(FileLock(handle, 0, 1));
    EXPECT_FALSE(FileUnlock(handle, 0, 1));
    EXPECT_FALSE(FileClose(handle));
  }
}

TEST_F(PlatformFileTest, FaultsHitTheArmedCall) {
  std::string path = Path("faults");
  FileHandle handle = FileOpen(path.c_str(), R | W, 0, FileCreateAlways);
  uint32_t done = 0;
  FileFaults::Arm(FileCall::Write, FileFault::Fail, 2);
  EXPECT_TRUE(FileWrite(handle, "ab", 2, &done));
  EXPECT_TRUE(FileWrite(handle, "cd", 2, &done));
  EXPECT_TRUE(FileFaults::Pending(FileCall::Write));
  EXPECT_FALSE(FileWrite(handle, "ef", 2, &done));
  EXPECT_FALSE(FileFaults::Pending(FileCall::Write));
  EXPECT_TRUE(FileWrite(handle, "gh", 2, &done));
  FileFaults::Arm(FileCall::Write, FileFault::Short);
  EXPECT_TRUE(FileWrite(handle, "12345", 5, &done));
  EXPECT_EQ(done, 2u);
  FileFaults::Arm(FileCall::Seek, FileFault::Short);
  EXPECT_EQ(FileSeek(handle, 3, FileBegin), 2u);
  char buffer[8];
  FileFaults::Arm(FileCall::Read, FileFault::Short);
  EXPECT_TRUE(FileRead(handle, buffer, 8, &done));
  EXPECT_EQ(std::string(buffer, done), "cdgh");
  for (FileCall call : {FileCall::Read, FileCall::Seek, FileCall::Lock, FileCall::Unlock, FileCall::Open}) {
    FileFaults::Arm(call, FileFault::Fail);
  }
  EXPECT_FALSE(FileRead(handle, buffer, 1, &done));
  EXPECT_EQ(FileSeek(handle, 0, FileBegin), FileSeekFailed);
  EXPECT_FALSE(FileLock(handle, 0, 1));
  EXPECT_FALSE(FileUnlock(handle, 0, 1));
  EXPECT_FALSE(Valid(FileOpen(path.c_str(), R, SR | SW, FileOpenExisting)));
  FileFaults::Arm(FileCall::Close, FileFault::Fail);
  FileFaults::Clear();
  EXPECT_FALSE(FileFaults::Pending(FileCall::Close));
  FileFaults::Arm(FileCall::Close, FileFault::Fail);
  EXPECT_FALSE(FileClose(handle));
  EXPECT_EQ(Get(path), "abcdgh12");
  FileHandle again = FileOpen(path.c_str(), R | W, 0, FileOpenExisting);  // the failed close closed
  EXPECT_TRUE(Valid(again));
  EXPECT_TRUE(FileClose(again));
}

#ifndef _WIN32
// The host's share modes and locks are kept in locks that other processes see; Windows
// keeps them in the kernel anyway.
TEST_F(PlatformFileTest, ShareModesAndLocksReachOtherProcesses) {
  std::string path = Path("process");
  Put(path, std::string(100, 'x'));
  FileHandle mine = FileOpen(path.c_str(), R | W, SR, FileOpenExisting);
  ASSERT_TRUE(FileLock(mine, 0, 10));
  pid_t child = fork();
  if (child == 0) {
    int seen = 0;
    FileHandle reader = FileOpen(path.c_str(), R, SR | SW, FileOpenExisting);
    if (Valid(reader)) seen |= 1;
    if (!Valid(FileOpen(path.c_str(), W, SR | SW, FileOpenExisting))) seen |= 2;
    if (!FileLock(reader, 5, 10)) seen |= 4;
    if (FileLock(reader, 10, 5)) seen |= 8;
    _exit(seen);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 15);
  EXPECT_TRUE(FileLock(mine, 10, 5));  // the child's lock went with it
  EXPECT_TRUE(FileClose(mine));

  int ready[2], done[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(done), 0);
  child = fork();
  if (child == 0) {
    FileHandle exclusive = FileOpen(path.c_str(), R | W, 0, FileOpenExisting);
    char byte = Valid(exclusive) ? '1' : '0';
    if (write(ready[1], &byte, 1) != 1 || read(done[0], &byte, 1) != 1) _exit(1);
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  EXPECT_EQ(byte, '1');
  EXPECT_FALSE(Valid(FileOpen(path.c_str(), R, SR | SW, FileOpenExisting)));
  ASSERT_EQ(write(done[1], "x", 1), 1);
  ASSERT_EQ(waitpid(child, &status, 0), child);
  for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
  FileHandle after = FileOpen(path.c_str(), R, 0, FileOpenExisting);
  EXPECT_TRUE(Valid(after));
  EXPECT_TRUE(FileClose(after));
}
#endif

}  // namespace
