// Tests of odd inputs: links, files that are not regular, files that change,
// and sizes past the format's 32-bit fields. Host only: they make symbolic
// links, FIFOs, sockets and sparse files, and read /proc.
#include "tools/zvpack/pack.h"
#include "tools/zvpack/zvpack_test_util.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using zvpack_testing::FolderListing;
using zvpack_testing::ReadFile;
using zvpack_testing::StoredNames;
using zvpack_testing::TempDir;
using zvpack_testing::WriteFile;

void Link(const std::string& target, const std::string& at) { ASSERT_EQ(symlink(target.c_str(), at.c_str()), 0) << at; }

void MakeSocket(const std::string& at) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(at.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, at.c_str(), at.size() + 1);
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << at;
  close(fd);
}

void MakeSparse(const std::string& at, uint64_t size) {
  WriteFile(at, "");
  ASSERT_EQ(truncate(at.c_str(), static_cast<off_t>(size)), 0) << at;
}

TEST(ZvpackInputsTest, LinksArePackedAsWhatTheyPointToUnderTheirOwnNames) {
  TempDir dir;
  WriteFile(dir / "outside/secret.txt", "target");
  WriteFile(dir / "outside/tree/inner.txt", "inner");
  WriteFile(dir / "src/real.txt", "real");
  Link(dir / "outside/secret.txt", dir / "src/file link.txt");
  Link("../outside/tree", dir / "src/tree link");
  Link("real.txt", dir / "src/rel link");
  std::vector<zvpack::PackInput> inputs;
  std::string error;
  ASSERT_TRUE(zvpack::CollectDirectory(dir / "src", &inputs, &error)) << error;
  ASSERT_TRUE(zvpack::CreateArchive(dir / "out.zva", inputs, {}, &error)) << error;
  EXPECT_EQ(StoredNames(ReadFile(dir / "out.zva")),
            (std::vector<std::string>{"file link.txt", "real.txt", "rel link", "tree link\\inner.txt"}));
}

TEST(ZvpackInputsTest, OddFilesAreRefusedNamingThem) {
  const struct {
    const char* what;
    std::function<void(const TempDir&)> make;  // makes src/bad
    const char* inTree;                        // the message from the folder walk
    const char* inList;                        // the message when a list names src/bad
  } kCases[] = {
      {"dangling link", [](const TempDir& d) { Link("missing.txt", d / "src/bad"); },
       "a dangling symbolic link (to missing.txt)", "a dangling symbolic link (to missing.txt)"},
      {"link loop", [](const TempDir& d) { Link("bad", d / "src/bad"); }, "a symbolic link loop",
       "a symbolic link loop"},
      {"link to a holding folder", [](const TempDir& d) { Link("..", d / "src/bad"); },
       "a symbolic link loop (it leads back to a folder that holds it)", "a folder, not a regular file"},
      {"FIFO", [](const TempDir& d) { ASSERT_EQ(mkfifo((d / "src/bad").c_str(), 0600), 0); },
       "a FIFO, not a regular file", "a FIFO, not a regular file"},
      {"socket", [](const TempDir& d) { MakeSocket(d / "src/bad"); }, "a socket, not a regular file",
       "a socket, not a regular file"},
      {"device", [](const TempDir& d) { Link("/dev/null", d / "src/bad"); }, "a device, not a regular file",
       "a device, not a regular file"},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    WriteFile(dir / "src/ok.txt", "ok");
    c.make(dir);
    std::vector<zvpack::PackInput> inputs;
    std::string error;
    EXPECT_FALSE(zvpack::CollectDirectory(dir / "src", &inputs, &error)) << c.what;
    EXPECT_EQ(error, dir / "src/bad" + ": " + c.inTree) << c.what;
    EXPECT_FALSE(zvpack::CreateArchive(dir / "out.zva", {{"ok.txt", dir / "src/ok.txt"}, {"bad", dir / "src/bad"}},
                                       {}, &error))
        << c.what;
    EXPECT_EQ(error, dir / "src/bad" + ": " + c.inList) << c.what;
    EXPECT_EQ(FolderListing(dir.Path()), std::vector<std::string>{"src"}) << c.what;
  }
}

// A file of the proc file system says it is empty and then gives bytes, as a
// file that grows while it is read does.
TEST(ZvpackInputsTest, AFileThatChangesWhileItIsReadIsRefused) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(zvpack::CreateArchive(dir / "out.zva", {{"stat", "/proc/self/stat"}}, {}, &error));
  EXPECT_EQ(error, "/proc/self/stat: the file changed while it was packed");
  EXPECT_TRUE(FolderListing(dir.Path()).empty());
}

// Sparse files: nothing is read, so a refusal must come before compressing.
TEST(ZvpackInputsTest, SizesPastThe32BitFieldsAreRefusedBeforeCompressing) {
  const uint64_t k4GiB = uint64_t(1) << 32;
  const struct {
    const char* what;
    std::vector<uint64_t> sizes;
    const char* message;
  } kCases[] = {
      {"an entry of 4 GiB", {1, k4GiB}, "4294967296 bytes; an entry must be smaller than 4 GiB"},
      {"an entry just below 4 GiB", {k4GiB - 1}, "the inputs may not fit the archive's 4 GiB"},
      {"entries that add up past 4 GiB", {k4GiB / 2, k4GiB / 2}, "the inputs may not fit the archive's 4 GiB"},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    std::vector<zvpack::PackInput> inputs;
    for (size_t i = 0; i < c.sizes.size(); ++i) {
      const std::string name = "f" + std::to_string(i);
      MakeSparse(dir / ("src/" + name), c.sizes[i]);
      inputs.push_back({name, dir / ("src/" + name)});
    }
    std::string error;
    EXPECT_FALSE(zvpack::CreateArchive(dir / "out.zva", inputs, {}, &error)) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    EXPECT_EQ(FolderListing(dir.Path()), std::vector<std::string>{"src"}) << c.what;
  }
}

}  // namespace
