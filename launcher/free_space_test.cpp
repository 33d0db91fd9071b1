#include "launcher/free_space.h"

#include "launcher/messages.h"
#include "platform/disk.h"
#include "platform/testing/disk_overrides.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class FreeSpaceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::ClearDriveFreeBytesForTesting();
    platform::SetTempFolderForTesting(nullptr);
  }
};

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(FreeSpaceTest, ExactlyTenMebibytesIsEnough) {
  EXPECT_TRUE(HasRoomForSetup(10485760.0));
  EXPECT_FALSE(HasRoomForSetup(10485759.0));
  EXPECT_FALSE(HasRoomForSetup(0.0));
  EXPECT_TRUE(HasRoomForSetup(5.0e12));  // above 4 GiB
}

TEST_F(FreeSpaceTest, OneByteShortPrintsTenPointZeroTwice) {
  VxString text = FormatNoRoomMessage("C:", 10485759.0);
  VxString expected;
  expected.Format(GetMessageText(kMsgNoRoom), "C:", 10.0, 10485759.0 / 1048576.0);
  EXPECT_STREQ(static_cast<const char*>(expected), static_cast<const char*>(text));
  EXPECT_EQ(2, CountOf(static_cast<const char*>(text), "10.0"));
  EXPECT_NE(std::string::npos, std::string(text).find("C:"));
}

TEST_F(FreeSpaceTest, MessageShowsTheRoundedFigure) {
  VxString text = FormatNoRoomMessage("D:", 1048576.0 * 2.5);
  EXPECT_NE(std::string::npos, std::string(text).find("2.5"));
  EXPECT_NE(std::string::npos, std::string(text).find("D:"));
}

TEST_F(FreeSpaceTest, FreeBytesComeFromThePlatform) {
  platform::SetDriveFreeBytesForTesting(123456789.0);
  EXPECT_EQ(123456789.0, GetFreeDiskBytes("C:"));
  platform::ClearDriveFreeBytesForTesting();
  EXPECT_GT(GetFreeDiskBytes("C:"), 0.0);
}

// Where the extended call is missing, the fallback measures the same drive (its root
// folder, as GetDiskFreeSpaceA wants it), without wrapping above 4 GiB.
TEST_F(FreeSpaceTest, FallbackMeasuresTheSameDrive) {
  const double extended = GetFreeDiskBytes("C:");
  platform::HideExtendedFreeSpaceForTesting(true);
  const double fallback = GetFreeDiskBytes("C:");
  platform::HideExtendedFreeSpaceForTesting(false);
  ASSERT_GT(extended, 0.0);
  EXPECT_NEAR(fallback, extended, extended * 0.01 + 1048576.0);
}

TEST_F(FreeSpaceTest, FixTempDirKeepsOnlyDriveColonBackslash) {
  struct Case {
    const char* given;
    const char* expected;
  } cases[] = {
      {"C:\\TEMP\\", "C:\\TEMP\\"},
      {"D:\\", "D:\\"},
      {"e:\\Users\\x\\AppData\\Local\\Temp\\", "e:\\Users\\x\\AppData\\Local\\Temp\\"},
      {"\\\\server\\share\\temp\\", "C:\\"},
      {"TEMP\\", "C:\\"},
      {"C:TEMP\\", "C:\\"},
      {"C:", "C:\\"},
      {"C", "C:\\"},
      {"", "C:\\"},
  };
  for (const Case& c : cases) {
    char buffer[kTempDirSize] = {};
    std::strcpy(buffer, c.given);
    FixTempDir(buffer);
    EXPECT_STREQ(c.expected, buffer) << "given " << c.given;
  }
}

TEST_F(FreeSpaceTest, TakeTempDirFallsBackForANetworkPath) {
  char tempDir[kTempDirSize];
  platform::SetTempFolderForTesting("\\\\server\\share\\");
  TakeTempDir(tempDir);
  EXPECT_STREQ("C:\\", tempDir);
  platform::SetTempFolderForTesting("X:\\Temp 1\\");
  TakeTempDir(tempDir);
  EXPECT_STREQ("X:\\Temp 1\\", tempDir);
  platform::SetTempFolderForTesting(std::string(300, 'a').c_str());  // does not fit
  TakeTempDir(tempDir);
  EXPECT_STREQ("C:\\", tempDir);
}

TEST_F(FreeSpaceTest, RootDriveIsLetterAndColon) {
  char root[3] = {'x', 'x', 'x'};
  TakeRootDrive("Q:\\TEMP\\", root);
  EXPECT_STREQ("Q:", root);
}

}  // namespace
