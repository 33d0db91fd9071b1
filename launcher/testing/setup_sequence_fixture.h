//===- setup_sequence_fixture.h - The sequence tests' fixture (tests only) ===//
// A scratch temporary folder, recorded program starts, a fixed module path and
// seed, and archives registered as the host's resources; for the tests of
// setup_sequence.h.
#ifndef VX_LAUNCHER_TESTING_SETUP_SEQUENCE_FIXTURE_H
#define VX_LAUNCHER_TESTING_SETUP_SEQUENCE_FIXTURE_H

#include "archive/testing/archive_writer.h"
#include "launcher/launcher_flags.h"
#include "launcher/setup_sequence.h"
#include "launcher/testing/unique_names.h"
#include "platform/resources.h"
#include "platform/testing/allocation_faults.h"
#include "platform/testing/file_faults.h"
#include "platform/testing/process_recorder.h"
#include "platform/testing/scratch_dir.h"

#ifndef _WIN32
#include "platform/host/resource_registry.h"
#endif

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

namespace setup_sequence_testing {


using archive_testing::ArchiveWriter;
using platform_testing::ScratchDir;

const char kModulePath[] = "C:\\Program Files\\Zelvora\\zvsetup.exe";

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class SetupSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    temp_ = scratch_.Path() + "\\";
    platform::RecordCommandsForTesting(true);
    platform::SetModulePathForTesting(kModulePath);
    platform::FileFaults::Clear();
    SeedUniqueNamesForTesting(12345);
    stageLaunched = false;
#ifndef _WIN32
    platform::ClearResources();
#endif
  }

  void TearDown() override {
#ifndef _WIN32
    platform::ClearResources();
#endif
    platform::FileFaults::Clear();
    platform::FailAllocations(0);
    platform::SetModulePathForTesting(nullptr);
    platform::RecordCommandsForTesting(false);
    stageLaunched = false;
  }

  // Registers image as the archive resource name. The test binary of the
  // Windows build has no archive resources and cannot add any.
  bool AddArchive(const char* name, const std::string& image) {
#ifdef _WIN32
    (void)name;
    (void)image;
    return false;
#else
    images_.push_back(image);
    const std::string& kept = images_.back();
    platform::RegisterResource(platform::kArchiveResourceType, name, kept.data(),
                               static_cast<uint32_t>(kept.size()));
    return true;
#endif
  }

  // True when this test program carries archive resources of its own (the Windows sweep
  // program does), which the run then unpacks.
  static bool HasOwnPayload() {
    platform::ResourceBytes bytes;
    return platform::FindResourceBytes(nullptr, platform::kArchiveResourceType, "BASE", &bytes);
  }

  // A payload that holds just the next stage's program, so that the stage can start.
  bool AddStage() {
    ArchiveWriter writer;
    writer.AddFile("Vistart.exe", "stage");
    return AddArchive("SETUPBASE", writer.Build());
  }

  std::string Script(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ScratchDir::ReadFile(temp_ + name, &text)) << name;
    return text;
  }

  // After a failure: nothing below the temporary folder, nothing started.
  void ExpectNothingLeft(const SetupOutcome& outcome, int exitCode) {
    EXPECT_EQ(exitCode, outcome.exitCode);
    EXPECT_NE(1, outcome.exitCode);
    EXPECT_STRNE("", outcome.detail);
    EXPECT_TRUE(ScratchDir::ListTree(scratch_.Path()).empty())
        << ::testing::PrintToString(ScratchDir::ListTree(scratch_.Path()));
    EXPECT_EQ(0, platform::CommandCountForTesting());
    EXPECT_FALSE(stageLaunched);
  }

  std::string ExpectedCommand(const std::string& script, const std::string& arguments) {
    return std::string("Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None "
                       "Wnd=Maximized ResourceFile=\"") +
           kModulePath + "\" CleanUp=\"" + script + "\" " + arguments;
  }

  ScratchDir scratch_;
  std::string temp_;
  std::list<std::string> images_;
};

}  // namespace setup_sequence_testing

#endif  // VX_LAUNCHER_TESTING_SETUP_SEQUENCE_FIXTURE_H
