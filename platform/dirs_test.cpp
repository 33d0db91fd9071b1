#include "platform/dirs.h"

#include "platform/testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include "platform/host/drive_map.h"

#include <sys/stat.h>
#endif

namespace {

using platform_testing::ScratchDir;

std::string CurrentDir() {
  char* cwd = platform::GetCwd(nullptr, 0);
  std::string text = cwd != nullptr ? cwd : "";
  platform::FreeCwd(cwd);
  return text;
}

class DirsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    temp_ = scratch_.Path();
  }
  ScratchDir scratch_;
  std::string temp_;
};

TEST_F(DirsTest, ChangeDirGivesTheWindowsForm) {
  ASSERT_EQ(platform::MakeDir((temp_ + "\\Sub").c_str()), 0);
  ASSERT_EQ(platform::ChangeDir((temp_ + "\\Sub").c_str()), 0);
  EXPECT_EQ(CurrentDir(), temp_ + "\\Sub");
  ASSERT_EQ(platform::ChangeDir(".."), 0);
  EXPECT_EQ(CurrentDir(), temp_);
  ASSERT_EQ(platform::ChangeDir("Sub"), 0);
  EXPECT_EQ(CurrentDir(), temp_ + "\\Sub");
  ASSERT_EQ(platform::ChangeDir("."), 0);
  EXPECT_EQ(CurrentDir(), temp_ + "\\Sub");
  ASSERT_EQ(platform::ChangeDir("\\"), 0);
  EXPECT_EQ(CurrentDir(), temp_.substr(0, 3));  // "C:\"
  ASSERT_EQ(platform::ChangeDir(".."), 0);      // a root has no parent
  EXPECT_EQ(CurrentDir(), temp_.substr(0, 3));
  ASSERT_EQ(platform::ChangeDir(temp_.substr(3).c_str()), 0);  // relative to the root
  EXPECT_EQ(CurrentDir(), temp_);
}

TEST_F(DirsTest, ChangeDirFailsAndKeepsThePlace) {
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "\\file", "x"));
  const std::string kBad[] = {"", "missing", temp_ + "\\missing", "file", "a:b", temp_ + "\\file\\x"};
  for (const std::string& path : kBad) {
    EXPECT_EQ(platform::ChangeDir(path.c_str()), -1) << path;
    EXPECT_EQ(CurrentDir(), temp_) << path;
  }
}

TEST_F(DirsTest, MakeDirOnlyOnce) {
  std::string dir = temp_ + "\\New";
  EXPECT_EQ(platform::MakeDir(dir.c_str()), 0);
  EXPECT_EQ(platform::MakeDir(dir.c_str()), -1);
  EXPECT_EQ(platform::MakeDir((temp_ + "\\no\\such").c_str()), -1);
  EXPECT_EQ(platform::MakeDir(""), -1);
  EXPECT_EQ(ScratchDir::ListTree(temp_), std::vector<std::string>{"New\\"});
}

TEST_F(DirsTest, AccessTellsWhatExists) {
  ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "\\pidwait.exe", "x"));
  ASSERT_EQ(platform::MakeDir((temp_ + "\\dir").c_str()), 0);
  EXPECT_EQ(platform::Access((temp_ + "\\pidwait.exe").c_str(), platform::kAccessExists), 0);
  EXPECT_EQ(platform::Access((temp_ + "\\pidwait.exe").c_str(), platform::kAccessRead), 0);
  EXPECT_EQ(platform::Access((temp_ + "\\dir").c_str(), platform::kAccessExists), 0);
  EXPECT_EQ(platform::Access((temp_ + "\\dir").c_str(), platform::kAccessRead), 0);
  EXPECT_EQ(platform::Access((temp_ + "\\missing").c_str(), platform::kAccessExists), -1);
  EXPECT_EQ(platform::Access((temp_ + "\\missing").c_str(), platform::kAccessRead), -1);
  EXPECT_EQ(platform::Access((temp_ + "\\pidwait.exe\\x").c_str(), platform::kAccessExists), -1);
  EXPECT_EQ(platform::Access(temp_.c_str(), platform::kAccessExists), 0);
}

TEST_F(DirsTest, GetCwdBuffers) {
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  char buffer[256];
  EXPECT_EQ(platform::GetCwd(buffer, sizeof buffer), buffer);
  EXPECT_EQ(std::string(buffer), temp_);
  EXPECT_EQ(platform::GetCwd(buffer, static_cast<int>(temp_.size())), nullptr);  // no room for the NUL
  EXPECT_EQ(platform::GetCwd(buffer, static_cast<int>(temp_.size()) + 1), buffer);
  char* block = platform::GetCwd(nullptr, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::string(block), temp_);
  platform::FreeCwd(block);
}

TEST_F(DirsTest, DrivesByNumber) {
  int drive = platform::GetDrive();
  EXPECT_GE(drive, 1);
  EXPECT_LE(drive, 26);
  EXPECT_EQ(platform::ChangeDrive(3), 0);
  EXPECT_EQ(platform::GetDrive(), 3);
  EXPECT_EQ(platform::ChangeDrive(0), -1);
  EXPECT_EQ(platform::ChangeDrive(27), -1);
  EXPECT_EQ(platform::GetDrive(), 3);
  EXPECT_EQ(platform::ChangeDrive(drive), 0);
}

TEST_F(DirsTest, EachDriveKeepsItsCurrentDirectory) {
  if (!scratch_.MapExtraDrive('D')) GTEST_SKIP() << "drives are the system's here";
  ASSERT_EQ(platform::MakeDir("D:\\x"), 0);
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  // A path with a drive letter also makes its drive current.
  ASSERT_EQ(platform::ChangeDir("D:\\x"), 0);
  EXPECT_EQ(platform::GetDrive(), 4);
  EXPECT_EQ(CurrentDir(), "D:\\x");
  ASSERT_EQ(platform::ChangeDrive(3), 0);
  EXPECT_EQ(CurrentDir(), temp_);
  ASSERT_EQ(platform::ChangeDrive(4), 0);
  EXPECT_EQ(CurrentDir(), "D:\\x");
  // "C:name" is relative to C's own current directory.
  ASSERT_EQ(platform::MakeDir("C:rel"), 0);
  EXPECT_EQ(platform::Access((temp_ + "\\rel").c_str(), platform::kAccessExists), 0);
  EXPECT_EQ(platform::ChangeDrive(5), -1);
  EXPECT_EQ(platform::GetDrive(), 4);
  ASSERT_EQ(platform::ChangeDrive(3), 0);
}

#ifndef _WIN32
TEST_F(DirsTest, HostPathTranslatesInOnePlace) {
  std::string root = platform::MappedDrive('C');
  ASSERT_FALSE(root.empty());
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  EXPECT_EQ(platform::HostPath("C:\\TEMP\\a\\b.txt"), root + "/TEMP/a/b.txt");
  EXPECT_EQ(platform::HostPath("c:/TEMP/a"), root + "/TEMP/a");
  EXPECT_EQ(platform::HostPath("x.txt"), root + "/TEMP/x.txt");
  EXPECT_EQ(platform::HostPath("\\x.txt"), root + "/x.txt");
  EXPECT_EQ(platform::HostPath("..\\..\\..\\x"), root + "/x");
  EXPECT_EQ(platform::HostPath("C:"), root + "/TEMP");
  EXPECT_EQ(platform::HostPath("C:\\"), root);
  EXPECT_EQ(platform::HostPath("a\\\\.\\b\\"), root + "/TEMP/a/b");
  EXPECT_EQ(platform::HostPath("temp\\y"), root + "/TEMP/temp/y");
  EXPECT_EQ(platform::HostPath("\\temp\\y"), root + "/TEMP/y");  // case as the host holds it
  EXPECT_EQ(platform::HostPath("Q:\\x"), "");                      // not mapped
  EXPECT_EQ(platform::HostPath("1:\\x"), "");
  EXPECT_EQ(platform::HostPath("a:b:c"), "");
  EXPECT_EQ(platform::HostPath("x\\a:b"), "");
  EXPECT_EQ(platform::HostPath("a*"), "");
  EXPECT_EQ(platform::HostPath("a\tb"), "");
  EXPECT_EQ(platform::HostPath(""), "");
  EXPECT_EQ(platform::HostPath(nullptr), "");
}

TEST_F(DirsTest, NamesIgnoreCase) {
  ASSERT_EQ(platform::MakeDir((temp_ + "\\Docs").c_str()), 0);
  EXPECT_EQ(platform::MakeDir((temp_ + "\\DOCS").c_str()), -1);
  EXPECT_EQ(platform::Access("c:\\temp\\docs", platform::kAccessExists), 0);
  ASSERT_EQ(platform::ChangeDir("c:\\temp\\docs"), 0);
  EXPECT_EQ(CurrentDir(), "C:\\TEMP\\Docs");
#ifndef _WIN32
  // Every letter of the ANSI code page (as on Windows, where 1252 is the ANSI code page).
  ASSERT_EQ(platform::MakeDir((temp_ + "\\\xC9t\xE9 \x8C").c_str()), 0);    // Été Œ
  EXPECT_EQ(platform::MakeDir((temp_ + "\\\xE9T\xC9 \x9C").c_str()), -1);   // éTÉ œ
  EXPECT_EQ(platform::Access((temp_ + "\\\xE9t\xE9 \x9C").c_str(), platform::kAccessExists), 0);
  EXPECT_EQ(platform::MakeDir((temp_ + "\\Stra\xDF" "e").c_str()), 0);
  EXPECT_EQ(platform::MakeDir((temp_ + "\\STRASSE").c_str()), 0);           // ß is not SS
#endif
}

// ANSI names reach the host file system in UTF-8, and the current directory comes back in 1252.
TEST_F(DirsTest, AnsiNamesAreUtf8OnTheHost) {
  std::string root = platform::MappedDrive('C');
  ASSERT_EQ(platform::MakeDir((temp_ + "\\Caf\xE9 \x80").c_str()), 0);
  EXPECT_EQ(platform::HostPath((temp_ + "\\Caf\xE9 \x80").c_str()), root + "/TEMP/Caf\xC3\xA9 \xE2\x82\xAC");
  ASSERT_EQ(platform::ChangeDir((temp_ + "\\Caf\xE9 \x80").c_str()), 0);
  EXPECT_EQ(CurrentDir(), temp_ + "\\Caf\xE9 \x80");
  // And the other way: a host name in UTF-8 is found by its 1252 spelling.
  ASSERT_EQ(mkdir((root + "/TEMP/\xC3\x9C" "ber \xC5\x93").c_str(), 0777), 0);
  EXPECT_EQ(platform::Access("..\\\xDC" "ber \x9C", platform::kAccessExists), 0);
  EXPECT_EQ(platform::Access("..\\\xC3\x9C" "ber \xC5\x93", platform::kAccessExists), -1);
}

TEST(DriveMapTest, DriveCStaysMapped) {
  EXPECT_FALSE(platform::MapDrive('C', ""));
  EXPECT_FALSE(platform::MapDrive('1', "/tmp"));
  EXPECT_FALSE(platform::MappedDrive('C').empty());
  EXPECT_TRUE(platform::MappedDrive('?').empty());
}
#endif

}  // namespace
