// The stage's run over the host platform layer: resources from the registry,
// folders from the drive view, the script start recorded instead of made.
#include "next_stage/run_stage.h"

#include "archive/testing/archive_writer.h"
#include "next_stage/stage_exit_codes.h"
#include "platform/dirs.h"
#include "platform/host/resource_registry.h"
#include "platform/process.h"
#include "platform/process_wait.h"
#include "platform/resources.h"
#include "platform/testing/scratch_dir.h"
#include "platform/testing/process_recorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform_testing::ScratchDir;

const char kLauncherPath[] = "C:\\TEMP\\zvsetup.exe";
const char kWorkDir[] = "C:\\TEMP\\VAVOdozu0";
const char kRecordPath[] = "R:\\stage.txt";

std::string LauncherLine(const std::string& resourceFile, const std::string& tail) {
  return "ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized ResourceFile=\"" +
         resourceFile + "\" " + tail;
}

class RunStageTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    ASSERT_TRUE(scratch_.MapExtraDrive('R'));
    ASSERT_TRUE(ScratchDir::WriteFile(kLauncherPath, "MZ"));
    ASSERT_EQ(platform::MakeDir(kWorkDir), 0);
    ASSERT_EQ(platform::ChangeDir(kWorkDir), 0);
    archive_testing::ArchiveWriter writer;
    writer.AddFile("Uninst.exe", "uninstaller");
    image_ = writer.Build();
    platform::RegisterResource(platform::kArchiveResourceType, "PICTUNINST", image_.data(),
                               static_cast<uint32_t>(image_.size()));
    platform::RecordCommandsForTesting(true);
  }

  void TearDown() override {
    platform::ClearResources();
    platform::RecordCommandsForTesting(false);
  }

  int Run(const std::string& line, const char* recordPath, StageReport* report) {
    StageInputs inputs{line.c_str(), nullptr, recordPath, false};
    return RunStage(inputs, report);
  }

  std::string Record() {
    std::string text;
    ScratchDir::ReadFile(kRecordPath, &text);
    return text;
  }

  ScratchDir scratch_;
  std::string image_;
};

TEST_F(RunStageTest, StartsTheScriptWithItsOwnIdAndRecordsEverything) {
  StageReport report;
  const std::string line = LauncherLine(kLauncherPath, "CleanUp=\"C:\\TEMP\\0.bat\" /S \"x y\" 100%");
  EXPECT_EQ(Run(line, kRecordPath, &report), kStageSuccess);

  const std::string pid = std::to_string(platform::CurrentProcessId());
  EXPECT_EQ(platform::CommandCountForTesting(), 1);
  EXPECT_EQ(std::string(platform::LastCommandForTesting()),
            "\"C:\\Windows\\system32\\cmd.exe\" /c \"\"C:\\TEMP\\0.bat\" " + pid + "\"");
  EXPECT_EQ(platform::LastShowForTesting(), 0u);
  // Out of the work folder, which the script removes: the host's temporary folder is C:\.
  EXPECT_STREQ(platform::LastCommandDirForTesting(), "C:\\");

  const std::string record = Record();
  EXPECT_EQ(record, FormatStageRecord(report));
  for (const std::string& item :
       {"command_line=" + line, std::string("word=ZVSetup"), std::string("arg.Wnd=Normal\narg.Server=None\narg.Wnd=Maximized"),
        std::string("remainder=/S \"x y\" 100%"), std::string("current_dir=C:\\TEMP\\VAVOdozu0"), "pid=" + pid,
        std::string("resource_file=opened"), std::string("archive.APPBASE.found=no"),
        std::string("archive.PICTUNINST.entries=1\narchive.PICTUNINST.inflated=11\narchive.PICTUNINST.check=ok"),
        std::string("archive.ZVVERSION.check=no such resource"), std::string("cleanup_start=33"),
        std::string("exit_code=0")}) {
    EXPECT_NE(record.find(item + "\n"), std::string::npos) << item;
  }
  EXPECT_GT(report.startMs, 1700000000000ull);
}

TEST_F(RunStageTest, ExitCodesOfAnIncompleteCommandLine) {
  const struct {
    const char* label;
    std::string line;
    int exitCode;
    int started;
    ResourceFileState resourceFile;
  } cases[] = {
      {"no CleanUp: nothing started", LauncherLine(kLauncherPath, ""), kStageNoCleanUp, 0,
       ResourceFileState::kOpened},
      {"no ResourceFile: the script still runs", "ZVSetup CleanUp=\"C:\\TEMP\\0.bat\" ", kStageNoResourceFile, 1,
       ResourceFileState::kNotGiven},
      {"ResourceFile missing", LauncherLine("C:\\TEMP\\gone.exe", "CleanUp=\"C:\\TEMP\\0.bat\" "),
       kStageNoResourceFile, 1, ResourceFileState::kUnreadable},
      {"ResourceFile a folder", LauncherLine("C:\\TEMP", "CleanUp=\"C:\\TEMP\\0.bat\" "), kStageNoResourceFile, 1,
       ResourceFileState::kUnreadable},
      {"neither", "", kStageNoCleanUp, 0, ResourceFileState::kNotGiven},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    platform::RecordCommandsForTesting(true);
    StageReport report;
    EXPECT_EQ(Run(c.line, kRecordPath, &report), c.exitCode);
    EXPECT_EQ(platform::CommandCountForTesting(), c.started);
    EXPECT_EQ(report.resourceFile, c.resourceFile);
    EXPECT_EQ(report.archives.size(), c.resourceFile == ResourceFileState::kOpened ? 3u : 0u);
    EXPECT_NE(Record().find("exit_code=" + std::to_string(c.exitCode) + "\n"), std::string::npos);
  }
}

TEST_F(RunStageTest, RecordGoesOnlyWhereItIsAllowed) {
  const std::string line = LauncherLine(kLauncherPath, "CleanUp=\"C:\\TEMP\\0.bat\" ");
  const struct {
    const char* recordPath;
    const char* absentAt;  // where a wrong record would have gone; null: nowhere
  } cases[] = {
      {nullptr, nullptr},
      {"C:\\TEMP\\VAVOdozu0\\stage.txt", "C:\\TEMP\\VAVOdozu0\\stage.txt"},
      {"stage.txt", "C:\\TEMP\\VAVOdozu0\\stage.txt"},
      {"R:\\missing folder\\stage.txt", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.recordPath != nullptr ? c.recordPath : "(null)");
    EXPECT_EQ(Run(line, c.recordPath, nullptr), kStageSuccess);
    if (c.absentAt != nullptr) {
      EXPECT_NE(platform::Access(c.absentAt, platform::kAccessExists), 0);
    }
  }
  // The host's temporary folder is the root of drive C.
  EXPECT_EQ(Run(line, "C:\\stage.txt", nullptr), kStageSuccess);
  EXPECT_NE(platform::Access("C:\\stage.txt", platform::kAccessExists), 0);
  EXPECT_EQ(ScratchDir::ListTree("R:\\"), std::vector<std::string>());
}

}  // namespace
