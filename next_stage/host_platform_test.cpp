// The host sides of platform/data_module.h and platform/process_wait.h; the
// Windows sides run in tests/next_stage.
#include "platform/data_module.h"
#include "platform/process_wait.h"
#include "platform/testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace {

using platform_testing::ScratchDir;

TEST(HostDataModuleTest, StandsForAnExistingFileOnly) {
  ScratchDir scratch;
  ASSERT_TRUE(ScratchDir::WriteFile("C:\\TEMP\\a.exe", "MZ"));
  const struct {
    const char* path;
    bool opens;
  } cases[] = {
      {"C:\\TEMP\\a.exe", true}, {"c:/temp/A.EXE", true}, {"C:\\TEMP\\b.exe", false},
      {"C:\\TEMP", false},       {"", false},             {nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path != nullptr ? c.path : "(null)");
    void* module = platform::OpenDataModule(c.path);
    EXPECT_EQ(module != nullptr, c.opens);
    platform::CloseDataModule(module);
  }
}

TEST(HostProcessWaitTest, OwnIdIsTheProcessId) {
  EXPECT_EQ(platform::CurrentProcessId(), static_cast<uint32_t>(getpid()));
}

TEST(HostProcessWaitTest, WaitsForAChildToEnd) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    usleep(200 * 1000);
    _exit(0);
  }
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(platform::WaitForProcessEnd(static_cast<uint32_t>(child)), platform::ProcessWait::kEnded);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  // Reaped by the wait: the id is free now.
  EXPECT_EQ(platform::WaitForProcessEnd(static_cast<uint32_t>(child)), platform::ProcessWait::kNoSuchProcess);
}

TEST(HostProcessWaitTest, BoundedWaitEndsWhileTheProcessRuns) {
  EXPECT_EQ(platform::ParentProcessId(), static_cast<uint32_t>(getppid()));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    pause();
    _exit(0);
  }
  EXPECT_EQ(platform::WaitForProcessEndFor(static_cast<uint32_t>(child), 50),
            platform::ProcessWait::kTimedOut);
  kill(child, SIGKILL);
  EXPECT_EQ(platform::WaitForProcessEndFor(static_cast<uint32_t>(child), 5000),
            platform::ProcessWait::kEnded);
}

TEST(HostProcessWaitTest, NoProcessMeansNoWait) {
  for (uint32_t pid : {0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(platform::WaitForProcessEnd(pid), platform::ProcessWait::kNoSuchProcess) << pid;
  }
}

}  // namespace
