// Tests of the tools' file-system layer: UTF-8 names through the system and
// back, the facts of files, folders and missing paths, reading by a non-ASCII
// path, names that read as devices on Windows, links, the shapes of paths and
// the extraction folder.
#include "platform/tool/extraction_folder.h"
#include "platform/tool/file_system.h"
#include "platform/tool/input_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform_tool::FileFacts;
using platform_tool::FileFailure;
using platform_tool::FileKind;

const char kCafe[] = "Caf\xC3\xA9.txt";           // Café.txt
const char kJapan[] = "\xE6\x97\xA5\xE6\x9C\xAC.txt";  // 日本.txt

// A fresh folder under the system's temporary folder, removed with everything in it.
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = "zvtool-fs-" + std::to_string(std::random_device()());
    dir_ = (fs::temp_directory_path() / name).u8string();
    ASSERT_TRUE(platform_tool::MakeFolders(dir_));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(fs::u8path(dir_), ec);
  }

  std::string Path(const std::string& relative) const { return dir_ + "/" + relative; }

  void Write(const std::string& relative, const std::string& bytes) const {
    std::FILE* file = platform_tool::OpenFile(Path(relative), "wb");
    ASSERT_NE(nullptr, file) << relative;
    EXPECT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), file));
    EXPECT_EQ(0, std::fclose(file));
  }

  std::string dir_;
};

TEST_F(FileSystemTest, ListingGivesUnicodeNamesBackInUtf8) {
  Write(kCafe, "1");
  Write(kJapan, "2");
  ASSERT_TRUE(platform_tool::MakeFolders(Path("sub")));
  std::vector<std::string> names;
  std::string reason;
  ASSERT_TRUE(platform_tool::ListFolder(dir_, &names, &reason)) << reason;
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{kCafe, "sub", kJapan}), names);
  // The names reached the system as Unicode, not as bytes of some code page.
  EXPECT_TRUE(fs::exists(fs::u8path(dir_) / fs::u8path(kJapan)));
  EXPECT_FALSE(platform_tool::ListFolder(Path("missing"), &names, &reason));
  EXPECT_EQ("No such file or directory", reason);
}

TEST_F(FileSystemTest, FactsOfAFileAFolderAndAMissingPath) {
  Write(kCafe, "12345");
  FileFacts file, again, folder;
  FileFailure failure;
  ASSERT_TRUE(platform_tool::GetFileFacts(Path(kCafe), &file, &failure)) << failure.reason;
  EXPECT_EQ(FileKind::kRegular, file.kind);
  EXPECT_EQ(5u, file.size);
  EXPECT_GT(file.modified, 1500000000);
  EXPECT_EQ(file.modified, file.modifiedStamp / 1000000000);
  ASSERT_TRUE(platform_tool::GetFileFacts(dir_ + "/./" + kCafe, &again, &failure));
  EXPECT_EQ(file.identity, again.identity);

  ASSERT_TRUE(platform_tool::GetFileFacts(dir_, &folder, &failure));
  EXPECT_EQ(FileKind::kFolder, folder.kind);
  EXPECT_NE(file.identity, folder.identity);

  EXPECT_FALSE(platform_tool::GetFileFacts(Path("missing"), &file, &failure));
  EXPECT_EQ(platform_tool::FileProblem::kNotFound, failure.problem);
  EXPECT_EQ("No such file or directory", failure.reason);
  EXPECT_FALSE(platform_tool::GetFileFacts(Path("missing/below"), &file, &failure));
  EXPECT_EQ(platform_tool::FileProblem::kNotFound, failure.problem);
}

// Such files come from other systems (Wine's Unix side among them); on Windows
// they are the files themselves, not the DOS devices of the same name.
TEST_F(FileSystemTest, NamesThatReadAsDevicesAreFiles) {
  Write("con", "12");
  Write("aux.txt", "123");
  ASSERT_TRUE(platform_tool::MakeFolders(Path("sub")));
  FileFacts facts;
  FileFailure failure;
  ASSERT_TRUE(platform_tool::GetFileFacts(Path("con"), &facts, &failure)) << failure.reason;
  EXPECT_EQ(FileKind::kRegular, facts.kind);
  EXPECT_EQ(2u, facts.size);
  ASSERT_TRUE(platform_tool::GetFileFacts(Path("sub/../aux.txt"), &facts, &failure)) << failure.reason;
  EXPECT_EQ(FileKind::kRegular, facts.kind);
  EXPECT_EQ(3u, facts.size);
  // std::filesystem would take them for the devices and wait on the console.
  EXPECT_TRUE(platform_tool::RemoveFile(Path("con")));
  EXPECT_TRUE(platform_tool::RemoveFile(Path("aux.txt")));
  EXPECT_FALSE(platform_tool::GetFileFacts(Path("con"), &facts, &failure));
}

TEST_F(FileSystemTest, ReadsAFileByANonAsciiPath) {
  const std::string folder = std::string("\xC3\x9C") + "ber/" + kJapan;  // Über/日本.txt/
  ASSERT_TRUE(platform_tool::MakeFolders(Path(folder)));
  Write(folder + "/" + kCafe, "contents");
  platform_tool::InputFile input;
  std::string reason;
  ASSERT_TRUE(input.Open(Path(folder + "/" + kCafe), &reason)) << reason;
  FileFacts facts;
  ASSERT_TRUE(input.Facts(&facts));
  EXPECT_EQ(FileKind::kRegular, facts.kind);
  EXPECT_EQ(8u, facts.size);
  char buffer[16];
  ASSERT_EQ(8, input.Read(buffer, sizeof buffer, &reason));
  EXPECT_EQ("contents", std::string(buffer, 8));
  EXPECT_EQ(0, input.Read(buffer, sizeof buffer, &reason));

  platform_tool::InputFile missing;
  EXPECT_FALSE(missing.Open(Path(folder + "/missing"), &reason));
  EXPECT_EQ("No such file or directory", reason);
}

TEST_F(FileSystemTest, ALinkIsFollowedAndItsTargetRead) {
  Write(kCafe, "abc");
  std::error_code ec;
  fs::create_symlink(fs::u8path(kCafe), fs::u8path(Path("link")), ec);
  if (ec) GTEST_SKIP() << "no symbolic link here: " << ec.message();
  FileFacts facts;
  FileFailure failure;
  ASSERT_TRUE(platform_tool::GetFileFacts(Path("link"), &facts, &failure)) << failure.reason;
  EXPECT_EQ(FileKind::kRegular, facts.kind);
  EXPECT_EQ(3u, facts.size);
  EXPECT_TRUE(platform_tool::IsSymbolicLink(Path("link")));
  EXPECT_FALSE(platform_tool::IsSymbolicLink(Path(kCafe)));
  std::string target;
  ASSERT_TRUE(platform_tool::ReadLinkTarget(Path("link"), &target));
  EXPECT_EQ(kCafe, target);
  EXPECT_FALSE(platform_tool::ReadLinkTarget(Path(kCafe), &target));

  fs::remove(fs::u8path(Path(kCafe)));
  EXPECT_FALSE(platform_tool::GetFileFacts(Path("link"), &facts, &failure));
  EXPECT_EQ(platform_tool::FileProblem::kNotFound, failure.problem);
  EXPECT_TRUE(platform_tool::IsSymbolicLink(Path("link")));
}

TEST_F(FileSystemTest, RelativePathsStartAtTheCurrentFolder) {
  Write(kCafe, "12");
  ASSERT_TRUE(platform_tool::MakeFolders(Path("sub/deeper")));
  const std::string before = platform_tool::CurrentFolder();
  ASSERT_TRUE(platform_tool::SetCurrentFolder(Path("sub")));
  FileFacts facts;
  FileFailure failure;
  EXPECT_TRUE(platform_tool::GetFileFacts(std::string("../") + kCafe, &facts, &failure)) << failure.reason;
  EXPECT_EQ(2u, facts.size);
  EXPECT_TRUE(platform_tool::GetFileFacts(std::string("./deeper/../../") + kCafe, &facts, &failure));
  std::vector<std::string> names;
  std::string reason;
  EXPECT_TRUE(platform_tool::ListFolder("deeper/..", &names, &reason)) << reason;
  EXPECT_EQ(std::vector<std::string>{"deeper"}, names);
  EXPECT_FALSE(platform_tool::ListFolder("", &names, &reason));
  EXPECT_TRUE(platform_tool::MakeFolders("made/here"));
  EXPECT_TRUE(platform_tool::IsOfKind(Path("sub/made/here"), FileKind::kFolder));
  ASSERT_TRUE(platform_tool::SetCurrentFolder(before));
}

TEST(FilePathTest, ParentFoldersAndAbsolutePaths) {
  const struct {
    const char* path;
    const char* parent;
    bool absolute;
  } kCases[] = {
      {"", ".", false},           {"name", ".", false},      {"a/b", "a", false},
      {"a/b/c.txt", "a/b", false}, {"/x", "/", true},         {"/x/y", "/x", true},
#ifdef _WIN32
      {"a\\b", "a", false},       {"C:\\x", "C:\\", true},   {"C:/x/y", "C:/x", true},
      {"\\x", "\\", true},        {"C:x", ".", false},
#endif
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.parent, platform_tool::ParentFolder(c.path)) << c.path;
    EXPECT_EQ(c.absolute, platform_tool::IsAbsolutePath(c.path)) << c.path;
  }
}

TEST_F(FileSystemTest, TheExtractionFolderIsMadeEnteredAndLeft) {
  const std::string before = platform_tool::CurrentFolder();
  ASSERT_FALSE(before.empty());
  const std::string folder = Path(std::string(kJapan) + "/out");
  {
    platform_tool::ExtractionFolder extraction;
    ASSERT_EQ(platform_tool::ExtractionFolder::Problem::kNone, extraction.Enter(folder));
    EXPECT_EQ(platform_tool::AbsolutePath(folder), platform_tool::CurrentFolder());
    std::FILE* file = platform_tool::OpenFile("here.txt", "wb");
    ASSERT_NE(nullptr, file);
    std::fclose(file);
  }
  EXPECT_EQ(before, platform_tool::CurrentFolder());
  FileFacts facts;
  FileFailure failure;
  EXPECT_TRUE(platform_tool::GetFileFacts(folder + "/here.txt", &facts, &failure)) << failure.reason;
}

}  // namespace
