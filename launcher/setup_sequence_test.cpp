#include "launcher/setup_sequence.h"

#include "archive/testing/archive_writer.h"
#include "launcher/exit_codes.h"
#include "launcher/file_system.h"
#include "launcher/launcher_flags.h"
#include "launcher/script_path.h"
#include "launcher/testing/setup_sequence_fixture.h"
#include "launcher/testing/unique_names.h"
#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/file.h"
#include "platform/process.h"
#include "platform/testing/allocation_faults.h"
#include "platform/testing/file_faults.h"
#include "platform/testing/process_recorder.h"
#include "platform/testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using archive_testing::ArchiveWriter;
using platform_testing::ScratchDir;
using setup_sequence_testing::Lines;
using setup_sequence_testing::SetupSequenceTest;

TEST_F(SetupSequenceTest, ExampleScriptLineForLine) {
  ArchiveWriter writer;
  writer.AddFile("a.dll", "library bytes");
  writer.AddFile("Data\\b.dat", std::string(1000, 'b'));
  if (!AddArchive("BASE", writer.Build())) GTEST_SKIP() << "no archive resources in this build";
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  EXPECT_STREQ("", outcome.detail);
  const std::string& t = temp_;
  std::vector<std::string> expected = {
      "cd \\",
      t + "VAVOdozu0\\pidwait %1",
      "del " + t + "VAVOdozu0\\a.dll",
      "del " + t + "VAVOdozu0\\Data\\b.dat",
      "rmdir " + t + "VAVOdozu0\\Data",
      "rmdir " + t + "VAVOdozu0",
      "del " + t + "0.bat",
  };
  EXPECT_EQ(expected, Lines(Script("0.bat")));
#ifndef _WIN32
  // The host's scratch folder is the example's own temporary folder.
  ASSERT_EQ("C:\\TEMP\\", temp_);
  EXPECT_EQ("cd \\\r\nC:\\TEMP\\VAVOdozu0\\pidwait %1\r\ndel C:\\TEMP\\VAVOdozu0\\a.dll\r\n"
            "del C:\\TEMP\\VAVOdozu0\\Data\\b.dat\r\nrmdir C:\\TEMP\\VAVOdozu0\\Data\r\n"
            "rmdir C:\\TEMP\\VAVOdozu0\r\ndel C:\\TEMP\\0.bat\r\n",
            Script("0.bat"));
#endif
  std::vector<std::string> tree = {"0.bat", "VAVOdozu0\\", "VAVOdozu0\\Data\\",
                                   "VAVOdozu0\\Data\\b.dat", "VAVOdozu0\\a.dll"};
  EXPECT_EQ(tree, ScratchDir::ListTree(scratch_.Path()));
  std::string contents;
  ASSERT_TRUE(ScratchDir::ReadFile(t + "VAVOdozu0\\Data\\b.dat", &contents));
  EXPECT_EQ(std::string(1000, 'b'), contents);
  EXPECT_TRUE(stageLaunched);
  EXPECT_EQ(1, platform::CommandCountForTesting());
  EXPECT_EQ(ExpectedCommand(t + "0.bat", ""), platform::LastCommandForTesting());
  EXPECT_EQ(5u, platform::LastShowForTesting());
}

// Without entries there is no work folder to start the next stage from: it is never looked
// for anywhere else.
TEST_F(SetupSequenceTest, WithoutArchivesNothingStartsAndNothingStays) {
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ExpectNothingLeft(outcome, kExitStageNotStarted);
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find(temp_ + "VAVOdozu0"));
}

TEST_F(SetupSequenceTest, FailedStartLeavesNothing) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  platform::FailProgramStartsForTesting(193);  // ERROR_BAD_EXE_FORMAT
  char* before = platform::GetCwd(nullptr, 0);
  ASSERT_NE(nullptr, before);
  const std::string start = before;
  platform::FreeCwd(before);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ExpectNothingLeft(outcome, kExitStageNotStarted);
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find("VAVOdozu0\\Vistart.exe"));
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find("193"));
  char* after = platform::GetCwd(nullptr, 0);
  ASSERT_NE(nullptr, after);
  EXPECT_EQ(start, after);
  platform::FreeCwd(after);
}

// Whichever folder cannot be entered (while the entries' folders are made, or the work
// folder before the start), the run either starts the stage or leaves nothing of its own.
TEST_F(SetupSequenceTest, AnyFolderThatCannotBeEnteredLeavesNothingOrStarts) {
  ArchiveWriter writer;
  writer.AddFile("Vistart.exe", "stage");
  writer.AddFile("Data\\Deep\\b.dat", "b");
  writer.AddFile("Docs\\c.txt", "c");
  if (!AddArchive("SETUPBASE", writer.Build())) GTEST_SKIP() << "no archive resources in this build";
  int failures = 0;
  for (uint32_t passes = 0; passes < 40; ++passes) {
    SCOPED_TRACE("enter " + std::to_string(passes));
    const std::vector<std::string> before = ScratchDir::ListTree(scratch_.Path());
    platform::RecordCommandsForTesting(true);
    platform::FileFaults::Arm(platform::FileCall::ChangeDir, platform::FileFault::Fail, passes);
    SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
    const bool faultUsed = !platform::FileFaults::Pending(platform::FileCall::ChangeDir);
    platform::FileFaults::Clear();
    if (outcome.exitCode == kExitSuccess) {
      EXPECT_EQ(1, platform::CommandCountForTesting());
    } else {
      ++failures;
      EXPECT_TRUE(outcome.exitCode == kExitStreamFailure || outcome.exitCode == kExitStageNotStarted)
          << outcome.exitCode << " " << outcome.detail;
      EXPECT_EQ(before, ScratchDir::ListTree(scratch_.Path()));
      EXPECT_EQ(0, platform::CommandCountForTesting());
    }
    if (!faultUsed) break;
  }
  EXPECT_GT(failures, 2);
}

// The work folder's name taken by someone else between its choice and its making, and no
// other name free: as for the script, that is "no free name".
TEST_F(SetupSequenceTest, WorkFolderTakenMeanwhileWithNoOtherNameGivesNoFreeName) {
#ifdef _WIN32
  GTEST_SKIP() << "a thousand folders and their existence tests: too slow under wine";
#endif
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  // Every candidate of the search anew taken: number 0 by the folder made meanwhile, the
  // others by files made here, with the generator seeded alike each time.
  const std::string pattern =
      std::string(static_cast<const char*>(EscapePercents(temp_.c_str()))) + "VAVOdozu%d";
  for (int i = 0; i < 1100; ++i) {
    SeedUniqueNamesForTesting(4242);
    VxString name = FindUniqueName(pattern.c_str());
    if (name.GetLength() == 0) break;
    ASSERT_TRUE(ScratchDir::WriteFile(static_cast<const char*>(name), ""));
  }
  ASSERT_TRUE(platform::RemoveFile((temp_ + "VAVOdozu0").c_str()));
  std::vector<std::string> expected = ScratchDir::ListTree(scratch_.Path());
  expected.insert(expected.begin(), "VAVOdozu0\\");
  std::sort(expected.begin(), expected.end());
  SeedUniqueNamesForTesting(4242);
  platform::FileFaults::Arm(platform::FileCall::MakeDir, platform::FileFault::Short);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  EXPECT_EQ(kExitNoUniqueName, outcome.exitCode) << outcome.detail;
  // The folder that someone else made stays theirs.
  EXPECT_EQ(expected, ScratchDir::ListTree(scratch_.Path()));
  EXPECT_EQ(0, platform::CommandCountForTesting());
}

TEST_F(SetupSequenceTest, ArgumentsGoLastUnquoted) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "/S \"x y\" Lang=IT");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  EXPECT_EQ(ExpectedCommand(temp_ + "0.bat", "/S \"x y\" Lang=IT"),
            platform::LastCommandForTesting());
}

TEST_F(SetupSequenceTest, StageCommandByteForByte) {
  EXPECT_EQ(std::string("Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None "
                        "Wnd=Maximized ResourceFile=\"C:\\a b\\z.exe\" CleanUp=\"C:\\TEMP\\0.bat\" "),
            static_cast<const char*>(BuildStageCommand("C:\\a b\\z.exe", "C:\\TEMP\\0.bat", "")));
  EXPECT_EQ(std::string("Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None "
                        "Wnd=Maximized ResourceFile=\"m\" CleanUp=\"s\" -x %d"),
            static_cast<const char*>(BuildStageCommand("m", "s", "-x %d")));
  EXPECT_EQ(std::string("Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None "
                        "Wnd=Maximized ResourceFile=\"m\" CleanUp=\"s\" "),
            static_cast<const char*>(BuildStageCommand("m", "s", nullptr)));
}

TEST_F(SetupSequenceTest, TakenScriptNumberZeroGivesARandomOne) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  ASSERT_TRUE(ScratchDir::WriteFile(temp_ + "0.bat", "old"));
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  std::vector<std::string> tree = ScratchDir::ListTree(scratch_.Path());
  ASSERT_EQ(4u, tree.size());  // the old 0.bat, the script, the work folder and its file
  std::string script = tree[0] == "0.bat" ? tree[1] : tree[0];
  ASSERT_GT(script.size(), 4u);
  EXPECT_EQ(".bat", script.substr(script.size() - 4));
  std::string old;
  ASSERT_TRUE(ScratchDir::ReadFile(temp_ + "0.bat", &old));
  EXPECT_EQ("old", old);
  std::vector<std::string> lines = Lines(Script(script));
  ASSERT_EQ(5u, lines.size());
  EXPECT_EQ(temp_ + "VAVOdozu0\\pidwait %1", lines[1]);
  EXPECT_EQ("del " + temp_ + script, lines[4]);
  EXPECT_EQ(ExpectedCommand(temp_ + script, ""), platform::LastCommandForTesting());
}

TEST_F(SetupSequenceTest, TopLevelEntriesGiveOneRmdirRightBeforeTheSelfDeletion) {
  ArchiveWriter first;
  first.AddFile("Vistart.exe", "starter");
  first.AddFile("pidwait.exe", "waiter");
  ArchiveWriter second;
  second.AddFile("readme.txt", "");
  if (!AddArchive("SETUPBASE", first.Build()) || !AddArchive("ZVIMAGE", second.Build())) {
    GTEST_SKIP() << "no archive resources in this build";
  }
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  std::string w = temp_ + "VAVOdozu0\\";
  std::vector<std::string> expected = {
      "cd \\",           w + "pidwait %1",          "del " + w + "Vistart.exe",
      "del " + w + "pidwait.exe", "del " + w + "readme.txt", "rmdir " + temp_ + "VAVOdozu0",
      "del " + temp_ + "0.bat"};
  EXPECT_EQ(expected, Lines(Script("0.bat")));
}

TEST_F(SetupSequenceTest, ArchivesGoInTheFixedOrder) {
  const char* names[] = {"ZVIMAGE", "PICTLITE", "SETUPPICTLITE", "SETUPBASE", "BASE", "APPBASE"};
  for (const char* name : names) {
    ArchiveWriter writer;
    writer.AddFile(std::string(name) + ".txt", name);
    if (!AddArchive(name, writer.Build())) GTEST_SKIP() << "no archive resources in this build";
  }
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  std::vector<std::string> lines = Lines(Script("0.bat"));
  ASSERT_EQ(9u, lines.size());
  const char* order[] = {"BASE", "SETUPBASE", "SETUPPICTLITE", "PICTLITE", "ZVIMAGE"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ("del " + temp_ + "VAVOdozu0\\" + order[i] + ".txt", lines[2 + i]);
  }
}

TEST_F(SetupSequenceTest, StageStartsInTheWorkFolderAndTheLauncherLeavesIt) {
  ArchiveWriter writer;
  writer.AddFile("Vistart.exe", "stage");
  if (!AddArchive("SETUPBASE", writer.Build())) GTEST_SKIP() << "no archive resources in this build";
  char* before = platform::GetCwd(nullptr, 0);
  ASSERT_NE(nullptr, before);
  std::string start = before;
  platform::FreeCwd(before);
  ASSERT_EQ(kExitSuccess, RunSetupSequence(temp_.c_str(), "").exitCode);
  EXPECT_EQ(temp_ + "VAVOdozu0", platform::LastCommandDirForTesting());
  // By its full path: no other file of that name can run instead.
  EXPECT_EQ(temp_ + "VAVOdozu0\\Vistart.exe", platform::LastProgramForTesting());
  char* after = platform::GetCwd(nullptr, 0);
  ASSERT_NE(nullptr, after);
  EXPECT_EQ(start, after);
  platform::FreeCwd(after);
}

TEST_F(SetupSequenceTest, PercentSignsInTheTempFolderAreTakenLiterally) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  std::string temp = temp_ + "50%d %s%%x\\";
  ASSERT_EQ(0, platform::MakeDir((temp_ + "50%d %s%%x").c_str()));
  SetupOutcome outcome = RunSetupSequence(temp.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  std::string text;
  ASSERT_TRUE(ScratchDir::ReadFile(temp + "0.bat", &text));
  // The script's lines carry the paths in the form cmd reads (script_path.h); the
  // command line carries them literally.
  std::vector<std::string> expected = {
      "cd \\", std::string(BatchPath((temp + "VAVOdozu0\\pidwait").c_str())) + " %1",
      "del " + std::string(BatchPath((temp + "VAVOdozu0\\Vistart.exe").c_str())),
      "rmdir " + std::string(BatchPath((temp + "VAVOdozu0").c_str())),
      "del " + std::string(BatchPath((temp + "0.bat").c_str()))};
  EXPECT_EQ(expected, Lines(text));
  EXPECT_NE(std::string::npos, expected[1].find("%%")) << "a percent sign left single";
  EXPECT_EQ(ExpectedCommand(temp + "0.bat", ""), platform::LastCommandForTesting());
}

TEST_F(SetupSequenceTest, DamagedArchiveLeavesNothing) {
  ArchiveWriter good;
  good.AddFile("Sub\\good.dll", "fine");
  ArchiveWriter bad;
  bad.AddFile("bad.dll", "broken");
  bad.Entries()[0].overrideData = true;
  bad.Entries()[0].dataOffset = 4;
  bad.Entries()[0].compressedSize = 0x10000;  // runs past the data area
  if (!AddArchive("BASE", good.Build()) || !AddArchive("PICTLITE", bad.Build())) {
    GTEST_SKIP() << "no archive resources in this build";
  }
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ExpectNothingLeft(outcome, kExitDamagedArchive);
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find("PICTLITE"));
}

TEST_F(SetupSequenceTest, EntryOfTheWrongSizeLeavesNothing) {
  ArchiveWriter first;
  first.AddFile("Docs\\Eng\\a.rtf", "first");
  ArchiveWriter second;
  second.AddFile("b.dll", "second");
  second.AddStream("Docs\\Fre\\c.rtf", archive_testing::Deflate("short"), 6);
  second.AddFile("d.dll", "never reached");
  if (!AddArchive("BASE", first.Build()) || !AddArchive("SETUPBASE", second.Build())) {
    GTEST_SKIP() << "no archive resources in this build";
  }
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ExpectNothingLeft(outcome, kExitDamagedArchive);
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find("c.rtf"));
}

TEST_F(SetupSequenceTest, CutStreamLeavesNothing) {
  std::string stream = archive_testing::Deflate(std::string(5000, 'z'));
  ArchiveWriter writer;
  writer.AddStream("cut.bin", stream.substr(0, stream.size() / 2), 5000);
  if (!AddArchive("BASE", writer.Build())) GTEST_SKIP() << "no archive resources in this build";
  ExpectNothingLeft(RunSetupSequence(temp_.c_str(), ""), kExitDamagedArchive);
}

TEST_F(SetupSequenceTest, DamagedTrailerIsRefusedBeforeAnythingIsWritten) {
  // The data inflates completely; only the Adler-32 behind it is wrong, which
  // the inflate streams let pass. The check before unpacking does not.
  std::string stream = archive_testing::Deflate("all of the data is here");
  stream[stream.size() - 1] ^= 0x01;
  ArchiveWriter writer;
  writer.AddFile("first.dll", "sound");
  writer.AddStream("second.dll", stream, 23);
  if (!AddArchive("ZVIMAGE", writer.Build())) GTEST_SKIP() << "no archive resources in this build";
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ExpectNothingLeft(outcome, kExitDamagedArchive);
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find("second.dll"));
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find("Adler-32"));
}

TEST_F(SetupSequenceTest, ScriptThatCannotBeMadeAnywhereLeavesNothing) {
  platform::FileFaults::Arm(platform::FileCall::Open, platform::FileFault::Fail, 0, 100);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ExpectNothingLeft(outcome, kExitStreamFailure);
  EXPECT_NE(std::string::npos, std::string(outcome.detail).find(".bat"));
}

// A script that cannot be made new under the chosen name (taken meanwhile by another
// launcher, or by something planted there) is made under a name chosen anew.
TEST_F(SetupSequenceTest, ScriptNameTakenMeanwhileIsChosenAnew) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  platform::FileFaults::Arm(platform::FileCall::Open, platform::FileFault::Fail, 0, 1);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  const std::string command = platform::LastCommandForTesting();
  const size_t at = command.find("CleanUp=\"");
  ASSERT_NE(std::string::npos, at);
  const std::string script = command.substr(at + 9, command.find('"', at + 9) - at - 9);
  std::string text;
  ASSERT_TRUE(ScratchDir::ReadFile(script, &text)) << script;
  EXPECT_NE(std::string::npos, text.find("del " + script + "\r\n"));
}

// A folder of the work folder's name that someone else made is never unpacked into.
TEST(CreateFreshDirTest, TakesOnlyAFolderItMakesItself) {
  ScratchDir scratch;
  const std::string mine = scratch.Path() + "\\mine";
  CreatedDirList dirs;
  ASSERT_EQ(0, CreateFreshDir(mine.c_str(), &dirs));
  ASSERT_EQ(1, dirs.GetCount());
  EXPECT_EQ(mine, std::string(*dirs.begin()));
  EXPECT_EQ(1, CreateFreshDir(mine.c_str(), &dirs));
  EXPECT_EQ(1, dirs.GetCount());
  ASSERT_TRUE(ScratchDir::WriteFile(scratch.Path() + "\\file", "x"));
  EXPECT_EQ(1, CreateFreshDir((scratch.Path() + "\\file").c_str(), &dirs));
  EXPECT_EQ(1, CreateFreshDir((scratch.Path() + "\\no\\parent").c_str(), &dirs));
  EXPECT_EQ(1, dirs.GetCount());
  // Made but not entered: not the run's folder after all, so it goes again at once.
  platform::FileFaults::Arm(platform::FileCall::ChangeDir, platform::FileFault::Fail);
  EXPECT_EQ(1, CreateFreshDir((scratch.Path() + "\\unentered").c_str(), &dirs));
  platform::FileFaults::Clear();
  EXPECT_EQ(1, dirs.GetCount());
  EXPECT_NE(0, platform::Access((scratch.Path() + "\\unentered").c_str(), platform::kAccessExists));
  // ... unless it cannot be removed: then it is recorded, to go with the rest.
  platform::FileFaults::Arm(platform::FileCall::ChangeDir, platform::FileFault::Fail);
  platform::FileFaults::Arm(platform::FileCall::Remove, platform::FileFault::Fail);
  EXPECT_EQ(1, CreateFreshDir((scratch.Path() + "\\kept").c_str(), &dirs));
  platform::FileFaults::Clear();
  ASSERT_EQ(2, dirs.GetCount());
  EXPECT_EQ(scratch.Path() + "\\kept", std::string(*dirs.begin()));
}

// A work-folder name that was made but could not be entered is not the work folder: the
// script names only the folder the run unpacked into, and the other is gone at once.
TEST_F(SetupSequenceTest, UnenteredWorkFolderCandidateLeavesNoTrace) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  // The run's first folder entered is the first work-folder candidate, VAVOdozu0.
  platform::FileFaults::Arm(platform::FileCall::ChangeDir, platform::FileFault::Fail);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  ASSERT_EQ(kExitSuccess, outcome.exitCode) << outcome.detail;
  const std::string workDir = platform::LastCommandDirForTesting();
  std::vector<std::string> rmdirs;
  for (const std::string& line : Lines(Script("0.bat"))) {
    if (line.compare(0, 6, "rmdir ") == 0) rmdirs.push_back(line.substr(6));
  }
  EXPECT_EQ(std::vector<std::string>{workDir}, rmdirs);
  const std::vector<std::string> tree = ScratchDir::ListTree(scratch_.Path());
  const std::string workName = workDir.substr(temp_.size()) + "\\";
  EXPECT_EQ((std::vector<std::string>{"0.bat", workName, workName + "Vistart.exe"}), tree);
}

// The start of the next stage without memory for it is out of memory, not a blocked program.
TEST_F(SetupSequenceTest, StartWithoutMemoryIsOutOfMemory) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  for (uint32_t error : {8u, 14u}) {  // ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY
    SCOPED_TRACE(error);
    platform::RecordCommandsForTesting(true);
    platform::FailProgramStartsForTesting(error);
    ExpectNothingLeft(RunSetupSequence(temp_.c_str(), ""), kExitOutOfMemory);
  }
}

// Failure texts name the temporary folder as it is, not in its escaped pattern form.
TEST_F(SetupSequenceTest, FailureTextsNameTheTemporaryFolderAsItIs) {
  if (!AddStage()) GTEST_SKIP() << "no archive resources in this build";
  const std::string temp = temp_ + "50% off\\";
  ASSERT_EQ(0, platform::MakeDir((temp_ + "50% off").c_str()));
  // No work folder can be made in ten tries (exit 3) ...
  platform::FileFaults::Arm(platform::FileCall::MakeDir, platform::FileFault::Fail, 0, 100);
  SetupOutcome outcome = RunSetupSequence(temp.c_str(), "");
  platform::FileFaults::Clear();
  EXPECT_EQ(kExitStreamFailure, outcome.exitCode);
  EXPECT_EQ("the work folder could not be made in " + temp, std::string(outcome.detail));
  // ... nor the script under any name (the detail of exit 3 names the file).
  platform::FileFaults::Arm(platform::FileCall::Open, platform::FileFault::Fail, 0, 100);
  outcome = RunSetupSequence(temp.c_str(), "");
  platform::FileFaults::Clear();
  EXPECT_EQ(kExitStreamFailure, outcome.exitCode);
  EXPECT_EQ(std::string::npos, std::string(outcome.detail).find("%%")) << outcome.detail;
}

TEST_F(SetupSequenceTest, FailedFirstScriptWriteLeavesNothing) {
  platform::FileFaults::Arm(platform::FileCall::Write, platform::FileFault::Fail);
  ExpectNothingLeft(RunSetupSequence(temp_.c_str(), ""), kExitStreamFailure);
}

TEST_F(SetupSequenceTest, FailedScriptCloseLeavesNothing) {
  platform::FileFaults::Arm(platform::FileCall::Close, platform::FileFault::Fail);
  ExpectNothingLeft(RunSetupSequence(temp_.c_str(), ""), kExitStreamFailure);
}

// Every write of a run with two archives made to fail in turn, and every open:
// whichever file it hits, nothing stays behind.
TEST_F(SetupSequenceTest, AnyFailedWriteOrOpenLeavesNothing) {
  ArchiveWriter first;
  first.AddFile("a.dll", std::string(250, 'a'));
  first.AddFile("Data\\Deep\\b.dat", "b");
  ArchiveWriter second;
  second.AddFile("Data\\c.dat", std::string(120, 'c'));
  second.AddFile("empty.txt", "");
  if (!AddArchive("BASE", first.Build()) || !AddArchive("SETUPPICTLITE", second.Build())) {
    GTEST_SKIP() << "no archive resources in this build";
  }
  // Writes: 1 + (3 + 1) + (1 + 1) + (2 + 1) + (0 + 1) + 3 rmdir + 1 = 15; opens: the
  // script, then one per entry.
  for (uint32_t passes = 0; passes < 15; ++passes) {
    SCOPED_TRACE("write " + std::to_string(passes));
    platform::FileFaults::Arm(platform::FileCall::Write, platform::FileFault::Short, passes);
    ExpectNothingLeft(RunSetupSequence(temp_.c_str(), ""), kExitStreamFailure);
    platform::FileFaults::Clear();
  }
  // The first open is the script's, which a failure only sends to another name.
  for (uint32_t passes = 1; passes < 5; ++passes) {
    SCOPED_TRACE("open " + std::to_string(passes));
    platform::FileFaults::Arm(platform::FileCall::Open, platform::FileFault::Fail, passes);
    ExpectNothingLeft(RunSetupSequence(temp_.c_str(), ""), kExitStreamFailure);
    platform::FileFaults::Clear();
  }
  // With no fault left the same run succeeds.
  EXPECT_EQ(kExitSuccess, RunSetupSequence(temp_.c_str(), "").exitCode);
}

TEST_F(SetupSequenceTest, OutOfMemoryLeavesNothing) {
  platform::FailAllocations(1);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  platform::FailAllocations(0);
  ExpectNothingLeft(outcome, kExitOutOfMemory);
}

TEST_F(SetupSequenceTest, NoFreeScriptNameLeavesNothingNew) {
#ifdef _WIN32
  GTEST_SKIP() << "about half a million existence tests: too slow under wine";
#endif
  // Fills, with the generator seeded alike each time, every candidate that the
  // name search will try.
  std::vector<std::string> made;
  std::string pattern = std::string(static_cast<const char*>(EscapePercents(temp_.c_str()))) + "%d.bat";
  for (int i = 0; i < 1100; ++i) {
    SeedUniqueNamesForTesting(777);
    VxString name = FindUniqueName(pattern.c_str());
    if (name.GetLength() == 0) break;
    ASSERT_TRUE(ScratchDir::WriteFile(static_cast<const char*>(name), ""));
    made.push_back(std::string(static_cast<const char*>(name)).substr(temp_.size()));
  }
  std::vector<std::string> before = ScratchDir::ListTree(scratch_.Path());
  ASSERT_EQ(made.size(), before.size());
  SeedUniqueNamesForTesting(777);
  SetupOutcome outcome = RunSetupSequence(temp_.c_str(), "");
  EXPECT_EQ(kExitNoUniqueName, outcome.exitCode);
  EXPECT_STRNE("", outcome.detail);
  EXPECT_EQ(before, ScratchDir::ListTree(scratch_.Path()));
  EXPECT_EQ(0, platform::CommandCountForTesting());
  EXPECT_FALSE(stageLaunched);
}

TEST_F(SetupSequenceTest, EscapePercentsDoublesEachSign) {
  EXPECT_STREQ("", static_cast<const char*>(EscapePercents("")));
  EXPECT_STREQ("C:\\TEMP\\", static_cast<const char*>(EscapePercents("C:\\TEMP\\")));
  EXPECT_STREQ("%%d%%%%x%%", static_cast<const char*>(EscapePercents("%d%%x%")));
}

}  // namespace
