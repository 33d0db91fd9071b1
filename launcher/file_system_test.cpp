#include "launcher/file_system.h"
#include "launcher/testing/unique_names.h"

#include "platform/dirs.h"
#include "platform/file.h"
#include "platform/testing/scratch_dir.h"
#include "platform/testing/file_faults.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using platform_testing::ScratchDir;

std::string CurrentDir() {
  char* cwd = platform::GetCwd(nullptr, 0);
  std::string text = cwd != nullptr ? cwd : "";
  platform::FreeCwd(cwd);
  return text;
}

std::vector<std::string> Strings(const CreatedDirList& list) {
  std::vector<std::string> out;
  for (const VxString& dir : list) out.push_back(static_cast<const char*>(dir));
  return out;
}

// The current drive and directory before and after each test step.
struct Place {
  int drive;
  std::string dir;
  bool operator==(const Place& other) const { return drive == other.drive && dir == other.dir; }
};

Place Here() { return Place{platform::GetDrive(), CurrentDir()}; }

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    temp_ = scratch_.Path();
  }

  ScratchDir scratch_;
  std::string temp_;  // "C:\TEMP" on the host, the system's temporary folder on Windows
};

TEST(CreatedDirListTest, NewestFirst) {
  CreatedDirList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.begin(), list.end());
  list.AddHead("C:\\a");
  list.AddHead(VxString("C:\\a\\b"));
  list.AddHead("C:\\a\\b\\c");
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_FALSE(list.IsEmpty());
  EXPECT_EQ(Strings(list), (std::vector<std::string>{"C:\\a\\b\\c", "C:\\a\\b", "C:\\a"}));
}

TEST(CreatedDirListTest, HoldsItsOwnValues) {
  CreatedDirList list;
  {
    VxString dir("C:\\x");
    list.AddHead(dir);
    dir += "\\changed";
  }
  EXPECT_EQ(Strings(list), std::vector<std::string>{"C:\\x"});
}

TEST_F(FileSystemTest, CreatesEachMissingLevelNewestFirst) {
  Place before = Here();
  CreatedDirList dirs;
  std::string path = temp_ + "\\VAVOdozu0\\Docs\\Eng";
  EXPECT_EQ(CreatePathDirs(path.c_str(), &dirs), 0);
  EXPECT_EQ(Strings(dirs), (std::vector<std::string>{temp_ + "\\VAVOdozu0\\Docs\\Eng",
                                                     temp_ + "\\VAVOdozu0\\Docs", temp_ + "\\VAVOdozu0"}));
  EXPECT_EQ(ScratchDir::ListTree(temp_),
            (std::vector<std::string>{"VAVOdozu0\\", "VAVOdozu0\\Docs\\", "VAVOdozu0\\Docs\\Eng\\"}));
  EXPECT_EQ(Here(), before);
}

TEST_F(FileSystemTest, ExactPathsUnderCTemp) {
  if (temp_ != "C:\\TEMP") GTEST_SKIP() << "the temporary folder is " << temp_;
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs("C:\\TEMP\\VAVOdozu0\\Docs\\Eng", &dirs), 0);
  EXPECT_EQ(Strings(dirs), (std::vector<std::string>{"C:\\TEMP\\VAVOdozu0\\Docs\\Eng",
                                                     "C:\\TEMP\\VAVOdozu0\\Docs", "C:\\TEMP\\VAVOdozu0"}));
}

TEST_F(FileSystemTest, SiblingFoldersRecordOnlyWhatTheyMake) {
  CreatedDirList dirs;
  std::string work = temp_ + "\\VAVOdozu0";
  ASSERT_EQ(platform::MakeDir(work.c_str()), 0);
  EXPECT_EQ(CreatePathDirs((work + "\\Docs\\Eng").c_str(), &dirs), 0);
  EXPECT_EQ(CreatePathDirs((work + "\\Docs\\Fre").c_str(), &dirs), 0);
  EXPECT_EQ(Strings(dirs),
            (std::vector<std::string>{work + "\\Docs\\Fre", work + "\\Docs\\Eng", work + "\\Docs"}));
}

TEST_F(FileSystemTest, ExistingPathRecordsNothing) {
  Place before = Here();
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs(temp_.c_str(), &dirs), 0);
  EXPECT_TRUE(dirs.IsEmpty());
  EXPECT_EQ(Here(), before);
}

TEST_F(FileSystemTest, NullListRecordsNothing) {
  EXPECT_EQ(CreatePathDirs((temp_ + "\\a\\b").c_str(), nullptr), 0);
  EXPECT_EQ(ScratchDir::ListTree(temp_), (std::vector<std::string>{"a\\", "a\\b\\"}));
}

TEST_F(FileSystemTest, MisplacedColonFailsAndChangesNothing) {
  const std::string kPaths[] = {temp_ + "\\a:b", "\\x:y", "ab:c", "C\\:x", "::", temp_ + "\\a\\b:"};
  for (const std::string& path : kPaths) {
    Place before = Here();
    CreatedDirList dirs;
    EXPECT_EQ(CreatePathDirs(path.c_str(), &dirs), 1) << path;
    EXPECT_TRUE(dirs.IsEmpty()) << path;
    EXPECT_EQ(Here(), before) << path;
  }
  EXPECT_TRUE(ScratchDir::ListTree(temp_).empty());
}

TEST_F(FileSystemTest, SelectPathDriveTable) {
  struct Case {
    const char* path;
    int result;
  };
  const Case kCases[] = {{"", 0}, {"a\\b", 0}, {"\\a", 0}, {"a:", 1}, {"ab:", 1}, {":a", 1},
                         {"1:\\a", 1}, {"@:\\a", 1}, {"C:\\a:b", 1}};
  Place before = Here();
  for (const Case& c : kCases) EXPECT_EQ(SelectPathDrive(c.path), c.result) << c.path;
  EXPECT_EQ(Here(), before);
  EXPECT_EQ(SelectPathDrive("c:\\x"), 0);
  EXPECT_EQ(platform::GetDrive(), 3);
  platform::ChangeDrive(before.drive);
}

TEST_F(FileSystemTest, RelativePathRecordsFullPaths) {
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  Place before = Here();
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs("rel\\sub", &dirs), 0);
  EXPECT_EQ(Strings(dirs), (std::vector<std::string>{temp_ + "\\rel\\sub", temp_ + "\\rel"}));
  EXPECT_EQ(Here(), before);
}

TEST_F(FileSystemTest, AbsolutePathOnTheCurrentDrive) {
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  Place before = Here();
  std::string rooted = temp_.substr(2) + "\\abs";  // without the drive letter
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs(rooted.c_str(), &dirs), 0);
  EXPECT_EQ(Strings(dirs), std::vector<std::string>{temp_ + "\\abs"});
  EXPECT_EQ(Here(), before);
}

TEST_F(FileSystemTest, FailureKeepsWhatWasMadeAndRestores) {
  // A file in the way can neither be entered nor made into a folder.
  ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "\\blocker", "x"));
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  Place before = Here();
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs((temp_ + "\\new\\deeper\\..\\..\\blocker\\x").c_str(), &dirs), 1);
  EXPECT_EQ(Strings(dirs), (std::vector<std::string>{temp_ + "\\new\\deeper", temp_ + "\\new"}));
  EXPECT_EQ(Here(), before);
  EXPECT_EQ(ScratchDir::ListTree(temp_), (std::vector<std::string>{"blocker", "new\\", "new\\deeper\\"}));
}

// Whichever folder cannot be entered, every folder made is recorded, so that the clean-up
// can remove it.
TEST_F(FileSystemTest, EveryFolderMadeIsRecordedWhicheverEnterFails) {
  for (uint32_t passes = 0; passes < 12; ++passes) {
    SCOPED_TRACE("enter " + std::to_string(passes));
    const std::string top = temp_ + "\\run" + std::to_string(passes);
    Place before = Here();
    CreatedDirList dirs;
    platform::FileFaults::Arm(platform::FileCall::ChangeDir, platform::FileFault::Fail, passes);
    const int result = CreatePathDirs((top + "\\a\\b\\c").c_str(), &dirs);
    const bool faultUsed = !platform::FileFaults::Pending(platform::FileCall::ChangeDir);
    platform::FileFaults::Clear();
    std::vector<std::string> made;
    for (const std::string& dir : ScratchDir::ListTree(temp_)) {
      if (dir.rfind("run" + std::to_string(passes) + "\\", 0) == 0) {
        made.insert(made.begin(), temp_ + "\\" + dir.substr(0, dir.size() - 1));
      }
    }
    EXPECT_EQ(Strings(dirs), made);
    if (!faultUsed) {
      EXPECT_EQ(result, 0);
    }
    // A fault that hits the final return cannot be undone by the call itself.
    platform::ChangeDrive(before.drive);
    platform::ChangeDir(before.dir.c_str());
    if (!faultUsed) break;
  }
}

TEST_F(FileSystemTest, OverlongComponentFails) {
  Place before = Here();
  CreatedDirList dirs;
  std::string path = temp_ + "\\ok\\" + std::string(256, 'x');
  EXPECT_EQ(CreatePathDirs(path.c_str(), &dirs), 1);
  EXPECT_EQ(Strings(dirs), std::vector<std::string>{temp_ + "\\ok"});
  EXPECT_EQ(Here(), before);
}

TEST_F(FileSystemTest, RecordsAFolderTooLongForTheQueryBuffer) {
  // 256 characters do not fit the 256-byte buffer with their NUL.
  std::string first = temp_ + "\\" + std::string(200, 'f');
  std::string second = first + "\\" + std::string(256 - first.size() - 1, 's');
  ASSERT_EQ(second.size(), 256u);
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs(second.c_str(), &dirs), 0);
  EXPECT_EQ(Strings(dirs), (std::vector<std::string>{second, first}));
}

TEST_F(FileSystemTest, OtherDriveKeepsBothCurrentDirectories) {
  if (!scratch_.MapExtraDrive('D')) GTEST_SKIP() << "no second drive to use here";
  ASSERT_EQ(platform::MakeDir("D:\\x"), 0);
  ASSERT_EQ(platform::ChangeDir("D:\\x"), 0);
  ASSERT_EQ(platform::ChangeDir(temp_.c_str()), 0);
  Place before = Here();
  CreatedDirList dirs;
  EXPECT_EQ(CreatePathDirs("D:\\y\\z", &dirs), 0);
  EXPECT_EQ(Strings(dirs), (std::vector<std::string>{"D:\\y\\z", "D:\\y"}));
  EXPECT_EQ(Here(), before);
  ASSERT_EQ(platform::ChangeDrive(4), 0);
  EXPECT_EQ(CurrentDir(), "D:\\x");
  EXPECT_EQ(CreatePathDirs("q", &dirs), 0);  // relative to D:\x
  EXPECT_STREQ(*dirs.begin(), "D:\\x\\q");
  ASSERT_EQ(platform::ChangeDrive(before.drive), 0);
  EXPECT_EQ(Here(), before);
}

TEST_F(FileSystemTest, UnknownDriveFails) {
  if (!scratch_.MapExtraDrive('D')) GTEST_SKIP() << "drives are the system's here";
  Place before = Here();
  EXPECT_EQ(CreatePathDirs("Q:\\a", nullptr), 1);
  EXPECT_EQ(Here(), before);
}

// The runtime's generator from seed 1.
const int kSeedOneNumbers[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};

std::vector<int> Candidates(uint32_t seed, int count) {
  std::vector<int> numbers{0};
  uint32_t state = seed;
  while (static_cast<int>(numbers.size()) < count) {
    state = state * 214013u + 2531011u;
    numbers.push_back(static_cast<int>((state >> 16) & 0x7FFF));
  }
  return numbers;
}

TEST_F(FileSystemTest, FirstCandidateIsZero) {
  SeedUniqueNamesForTesting(1);
  VxString name = FindUniqueName((temp_ + "\\%d.bat").c_str());
  EXPECT_EQ(std::string(name), temp_ + "\\0.bat");
  // Nothing was drawn: the next call still starts the sequence at 41.
  ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "\\0.bat", ""));
  name = FindUniqueName((temp_ + "\\%d.bat").c_str());
  EXPECT_EQ(std::string(name), temp_ + "\\41.bat");
}

TEST_F(FileSystemTest, GeneratorMatchesTheRuntimesSequence) {
  std::vector<int> numbers = Candidates(1, 11);
  ASSERT_EQ(numbers.size(), 11u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(numbers[i + 1], kSeedOneNumbers[i]);
  std::string pattern = temp_ + "\\VAVOdozu%d";
  for (int taken = 1; taken < 6; ++taken) {
    SeedUniqueNamesForTesting(1);
    ASSERT_EQ(platform::MakeDir((temp_ + "\\VAVOdozu" + std::to_string(numbers[taken - 1])).c_str()), 0);
    VxString name = FindUniqueName(pattern.c_str());
    EXPECT_EQ(std::string(name), temp_ + "\\VAVOdozu" + std::to_string(numbers[taken]));
  }
}

TEST_F(FileSystemTest, GivesUpAfterAThousandCandidates) {
  const uint32_t kSeed = 0xC0FFEE;
  std::vector<int> numbers = Candidates(kSeed, 1001);
  std::set<int> distinct(numbers.begin(), numbers.begin() + 999);
  for (int n : distinct) ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "\\" + std::to_string(n), ""));
  std::string pattern = temp_ + "\\%d";
  SeedUniqueNamesForTesting(kSeed);
  bool lastIsNew = distinct.count(numbers[999]) == 0;
  VxString name = FindUniqueName(pattern.c_str());
  if (lastIsNew) {
    EXPECT_EQ(std::string(name), temp_ + "\\" + std::to_string(numbers[999]));
  }
  ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "\\" + std::to_string(numbers[999]), ""));
  SeedUniqueNamesForTesting(kSeed);
  name = FindUniqueName(pattern.c_str());
  EXPECT_TRUE(name.IsEmpty()) << static_cast<const char*>(name);
  EXPECT_EQ(distinct.count(numbers[1000]), 0u) << "the 1001st candidate would have been free";
}

}  // namespace
