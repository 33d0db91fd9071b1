// The descriptors of an elevated run, and the calls that are handed them.
#include "launcher/work_protection.h"

#include "archive/testing/archive_writer.h"
#include "launcher/exit_codes.h"
#include "launcher/setup_sequence.h"
#include "launcher/testing/setup_sequence_fixture.h"
#include "platform/disk.h"
#include "platform/security.h"
#include "platform/testing/process_recorder.h"
#include "platform/testing/security_recorder.h"
#include "platform/testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using archive_testing::ArchiveWriter;
using platform_testing::ScratchDir;
using setup_sequence_testing::SetupSequenceTest;

constexpr char kUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

TEST(WorkProtectionTest, SddlGivesTheUserReadAndExecuteOnly) {
  EXPECT_STREQ(
      "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;S-1-5-21-1004336348-1177238915-"
      "682003330-1001)(A;OICI;0x1200a9;;;S-1-3-4)",
      static_cast<const char*>(BuildProtectionSddl(kUser, true)));
  EXPECT_STREQ("D:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;S-1-5-21-1004336348-1177238915-"
               "682003330-1001)(A;;0x1200a9;;;S-1-3-4)",
               static_cast<const char*>(BuildProtectionSddl(kUser, false)));
}

class WorkProtectionRunTest : public SetupSequenceTest {
 protected:
  void TearDown() override {
    platform::SetElevatedUserForTesting(nullptr);
    platform::ResetSecuredCreationsForTesting();
    SetupSequenceTest::TearDown();
  }

  // One run as sid ("": not elevated): its script, its files and the command it started.
  std::string Run(const char* sid) {
    platform::SetElevatedUserForTesting(sid);
    platform::ResetSecuredCreationsForTesting();
    platform::RecordCommandsForTesting(true);
    const SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "-x");
    EXPECT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
    std::string seen = Script("0.bat") + "|" + platform::LastCommandForTesting();
    for (const std::string& item : ScratchDir::ListTree(scratch_.Path())) seen += "|" + item;
    for (const char* path : {"VAVOdozu0\\Data\\b.dat", "VAVOdozu0\\Vistart.exe", "0.bat"}) {
      platform::RemoveFile((temp_ + path).c_str());
    }
    platform::RemoveDir((temp_ + "VAVOdozu0\\Data").c_str());
    platform::RemoveDir((temp_ + "VAVOdozu0").c_str());
    return seen;
  }
};

TEST_F(WorkProtectionRunTest, ElevatedRunMakesFolderAndScriptProtectedAndAllElseAlike) {
  ArchiveWriter writer;
  writer.AddFile("Vistart.exe", "stage");
  writer.AddFile("Data\\b.dat", "b");
  if (!AddArchive("SETUPBASE", writer.Build())) GTEST_SKIP() << "no archive resources in this build";

  const std::string plain = Run("");
  EXPECT_EQ(0, platform::SecuredCreationsForTesting());

  const std::string elevated = Run(kUser);
  EXPECT_EQ(plain, elevated);
  // The work folder and the script alone: the entries' files and folders inherit.
  EXPECT_EQ(2, platform::SecuredCreationsForTesting());
  EXPECT_EQ(temp_ + "VAVOdozu0", platform::SecuredPathForTesting("folder"));
  EXPECT_EQ(std::string(BuildProtectionSddl(kUser, true)), platform::SecuredSddlForTesting("folder"));
  EXPECT_EQ(temp_ + "0.bat", platform::SecuredPathForTesting("file"));
  EXPECT_EQ(std::string(BuildProtectionSddl(kUser, false)), platform::SecuredSddlForTesting("file"));
}

// With the system's own answer: under Wine, which runs programs as an elevated
// administrator, every run takes the protected path, the end-to-end scenarios' too, and
// the system takes both texts.
TEST(WorkProtectionTest, SystemsElevatedAnswerGivesBothDescriptors) {
  char sid[192];
  if (!platform::GetElevatedUser(sid, sizeof sid)) GTEST_SKIP() << "this process is not elevated";
  EXPECT_EQ(0, std::string(sid).compare(0, 4, "S-1-")) << sid;
  const WorkProtection protection;
  EXPECT_NE(nullptr, protection.Folder());
  EXPECT_NE(nullptr, protection.Script());
}

}  // namespace
