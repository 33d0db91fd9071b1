// The sequence under every single fault of a whole run.
#include "launcher/exit_codes.h"
#include "launcher/setup_sequence.h"
#include "launcher/testing/setup_sequence_fixture.h"
#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/testing/allocation_faults.h"
#include "platform/testing/file_faults.h"
#include "platform/testing/process_recorder.h"
#include "platform/testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

using archive_testing::ArchiveWriter;
using platform_testing::ScratchDir;
using setup_sequence_testing::Lines;
using setup_sequence_testing::SetupSequenceTest;

// One kind of fault for the sweep below: arming the one that comes after `passes` calls,
// and whether it is still to come.
struct SweptFault {
  const char* name;
  void (*arm)(uint32_t passes);
  bool (*pending)();
  void (*disarm)();
};

const SweptFault kSweptFaults[] = {
    {"allocation", [](uint32_t passes) { platform::FailAllocationAfter(passes); },
     platform::AllocationFaultPending, [] { platform::FailAllocationAfter(-1); }},
    {"file call", platform::FileFaults::ArmAny, platform::FileFaults::AnyPending,
     platform::FileFaults::Clear},
};

// The script's own lines carried out, as cmd would once the next stage is done: the run's
// files and folders go. The paths here are plain, so each line names its path as it is.
void RunScriptLines(const std::string& script, const std::string& text) {
  for (const std::string& line : Lines(text)) {
    if (line.compare(0, 4, "del ") == 0 && line.substr(4) != script) {
      EXPECT_TRUE(platform::RemoveFile(line.substr(4).c_str())) << line;
    } else if (line.compare(0, 6, "rmdir ") == 0) {
      EXPECT_TRUE(platform::RemoveDir(line.substr(6).c_str())) << line;
    }
  }
  EXPECT_TRUE(platform::RemoveFile(script.c_str())) << script;
}

// Every allocation (heap and operator new) and every file or folder call (make, enter,
// open, write, close, remove) of a whole run made to fail in turn, once each, in the manner
// of SQLite's fault tests. Whatever fails, the run ends with one of the launcher's exit
// codes and the current drive and folder are what they were; a failed run leaves nothing of
// its own, a run that still starts the stage leaves just what its script removes.
TEST_F(SetupSequenceTest, EachAllocationOrFileCallFailingInTurnLeavesNothing) {
  ArchiveWriter first;
  first.AddFile("a.dll", std::string(300, 'a'));
  first.AddFile("Data\\Deep\\b.dat", "b");
  ArchiveWriter second;
  second.AddFile("Vistart.exe", "stage");
  second.AddFile("Data\\c.dat", "c");
  // The Windows sweep program carries two small archives of its own instead.
  if (!HasOwnPayload() &&
      (!AddArchive("BASE", first.Build()) || !AddArchive("SETUPBASE", second.Build()))) {
    GTEST_SKIP() << "no archive resources in this build";
  }
  // The current-directory query names the drive too.
  char* cwd = platform::GetCwd(nullptr, 0);
  ASSERT_NE(nullptr, cwd);
  const std::string dir = cwd;
  platform::FreeCwd(cwd);
  const std::vector<std::string> before = ScratchDir::ListTree(scratch_.Path());
  const int knownCodes[] = {kExitSuccess,     kExitDamagedArchive, kExitStreamFailure, kExitNoUniqueName,
                            kExitOutOfMemory, kExitUnexpected,     kExitStageNotStarted};
  for (const SweptFault& kind : kSweptFaults) {
    uint32_t failedRuns = 0;
    for (uint32_t passes = 0; passes < 5000; ++passes) {
      SCOPED_TRACE(std::string(kind.name) + " " + std::to_string(passes));
      platform::RecordCommandsForTesting(true);
      kind.arm(passes);
      const SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
      const bool reached = !kind.pending();
      kind.disarm();
      EXPECT_NE(std::end(knownCodes), std::find(std::begin(knownCodes), std::end(knownCodes), outcome.exitCode))
          << outcome.exitCode;
      // Where the very call that puts the folder back fails, a folder that is none of the
      // run's stands in: the drive's root, or the temporary folder after the stage's start.
      char* now = platform::GetCwd(nullptr, 0);
      const std::string here = now != nullptr ? now : "";
      platform::FreeCwd(now);
      EXPECT_TRUE(here == dir || here == dir.substr(0, 3) || here + "\\" == temp_) << here;
      if (outcome.exitCode == kExitSuccess) {
        ASSERT_EQ(1, platform::CommandCountForTesting());
        const std::string command = platform::LastCommandForTesting();
        const size_t at = command.find("CleanUp=\"") + 9;
        const std::string script = command.substr(at, command.find('"', at) - at);
        std::string text;
        ASSERT_TRUE(ScratchDir::ReadFile(script, &text)) << script;
        RunScriptLines(script, text);
      } else {
        ++failedRuns;
        EXPECT_EQ(0, platform::CommandCountForTesting()) << outcome.detail;
      }
      ASSERT_EQ(before, ScratchDir::ListTree(scratch_.Path())) << outcome.exitCode << " " << outcome.detail;
      if (!reached) break;  // the whole run passed without coming to the fault: all done
    }
    EXPECT_GT(failedRuns, 10u) << kind.name;
  }
}

}  // namespace
