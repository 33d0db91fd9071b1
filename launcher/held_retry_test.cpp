// The steps tried again while a security program holds a file: the hold of the next
// stage's program, its start and the removals of a failed run, failed through the
// platform seam with the errors such a program causes.
#include "launcher/held_retry.h"

#include "launcher/exit_codes.h"
#include "launcher/launcher_flags.h"
#include "launcher/setup_sequence.h"
#include "launcher/testing/setup_sequence_fixture.h"
#include "platform/disk.h"
#include "platform/file.h"
#include "platform/system_error.h"
#include "platform/testing/file_faults.h"
#include "platform/testing/process_recorder.h"
#include "platform/testing/sleeps.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::FileCall;
using platform::FileFault;
using platform::FileFaults;
using setup_sequence_testing::SetupSequenceTest;

constexpr int kTriesInTheLimit = 1 + kHeldRetryLimitMs / kHeldRetryIntervalMs;

// The calls of a run with the stage alone (AddStage) that the cases fail.
enum class Step { HoldOpen, Start, Removal };

// The opens of such a run: the script, the program's extraction, then its hold.
constexpr uint32_t kOpensBeforeTheHold = 2;

void FailStep(Step step, uint32_t error, int times) {
  switch (step) {
    case Step::HoldOpen:
      FileFaults::SetError(error);
      FileFaults::Arm(FileCall::Open, FileFault::Fail, kOpensBeforeTheHold,
                      static_cast<uint32_t>(times));
      break;
    case Step::Start:
      platform::FailProgramStartsForTesting(error, times);
      break;
    case Step::Removal:
      // A failed start, and then the program's removal refused.
      platform::FailProgramStartsForTesting(193);  // ERROR_BAD_EXE_FORMAT
      FileFaults::SetError(error);
      FileFaults::Arm(FileCall::Remove, FileFault::Fail, 0, static_cast<uint32_t>(times));
      break;
  }
}

TEST_F(SetupSequenceTest, HeldStepsAreTriedAgainEvery100MsForUpTo5s) {
  const struct {
    const char* label;
    Step step;
    uint32_t error;
    int failures;       // tries that fail
    int exitCode;
    uint64_t sleptMs;   // in pauses between tries
  } cases[] = {
      {"hold: sharing violation thrice", Step::HoldOpen, platform::kErrorSharingViolation, 3,
       kExitSuccess, 300},
      {"hold: held throughout", Step::HoldOpen, platform::kErrorSharingViolation, 1000,
       kExitStageNotStarted, kHeldRetryLimitMs},
      {"hold: not found, not tried again", Step::HoldOpen, 2, 1, kExitStageNotStarted, 0},
      {"start: access denied thrice", Step::Start, platform::kErrorAccessDenied, 3, kExitSuccess,
       300},
      {"start: lock violation for the last try but one", Step::Start,
       platform::kErrorLockViolation, kTriesInTheLimit - 1, kExitSuccess, kHeldRetryLimitMs},
      {"start: held throughout", Step::Start, platform::kErrorSharingViolation, -1,
       kExitStageNotStarted, kHeldRetryLimitMs},
      {"start: no program, not tried again", Step::Start, 193, -1, kExitStageNotStarted, 0},
      {"removal: sharing violation twice", Step::Removal, platform::kErrorSharingViolation, 2,
       kExitStageNotStarted, 200},
  };
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    platform::RecordCommandsForTesting(true);
    platform::ResetSleptMsForTesting();
    stageLaunched = false;
    FailStep(c.step, c.error, c.failures);
    const SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
    FileFaults::Clear();
    EXPECT_EQ(c.sleptMs, platform::SleptMsForTesting());
    if (c.exitCode == kExitSuccess) {
      ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
      EXPECT_EQ(1, platform::CommandCountForTesting());
      // The hold ends once the start has returned: the program is anyone's again.
      const std::string program = temp_ + "VAVOdozu0\\Vistart.exe";
      platform::FileHandle handle = platform::FileOpen(
          program.c_str(), platform::FileAccessWrite, 0, platform::FileOpenExisting);
      EXPECT_NE(platform::InvalidFileHandle(), handle);
      platform::FileClose(handle);
      // What the script would remove, so that the next case starts from an empty folder.
      EXPECT_TRUE(platform::RemoveFile(program.c_str()));
      EXPECT_TRUE(platform::RemoveDir((temp_ + "VAVOdozu0").c_str()));
      EXPECT_TRUE(platform::RemoveFile((temp_ + "0.bat").c_str()));
    } else {
      ExpectNothingLeft(outcome, c.exitCode);
      EXPECT_NE(std::string::npos, std::string(outcome.detail).find("Vistart.exe"));
    }
  }
}

// The hold itself: read access, and nobody else may write or remove the file meanwhile.
TEST_F(SetupSequenceTest, HoldOpensForReadingWithReadSharingOnly) {
  const std::string path = temp_ + "held.exe";
  platform::FileHandle made =
      platform::FileOpen(path.c_str(), platform::FileAccessWrite, 0, platform::FileCreateNew);
  ASSERT_NE(platform::InvalidFileHandle(), made);
  platform::FileClose(made);
  platform::FileHandle held = platform::InvalidFileHandle();
  ASSERT_EQ(0u, OpenToHoldRetrying(path.c_str(), &held));
  const uint32_t shareAll = platform::FileShareRead | platform::FileShareWrite;
  platform::FileHandle reader = platform::FileOpen(path.c_str(), platform::FileAccessRead,
                                                   shareAll, platform::FileOpenExisting);
  EXPECT_NE(platform::InvalidFileHandle(), reader);
  platform::FileClose(reader);
  EXPECT_EQ(platform::InvalidFileHandle(),
            platform::FileOpen(path.c_str(), platform::FileAccessWrite, shareAll,
                               platform::FileOpenExisting));
  EXPECT_EQ(platform::kErrorSharingViolation, platform::LastSystemError());
  platform::FileClose(held);
}

}  // namespace
