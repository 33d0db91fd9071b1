// Tests of the temporary output file: whole or nothing, also when a signal ends the process.
#include "tools/zvpack/temp_output.h"
#include "tools/zvpack/zvpack_test_util.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

using zvpack_testing::FolderListing;
using zvpack_testing::ReadFile;
using zvpack_testing::TempDir;
using zvpack_testing::WriteFile;

TEST(ZvpackTempOutputTest, TargetChangesOnlyOnCommit) {
  TempDir dir;
  WriteFile(dir / "out", "old");
  std::string error;
  {
    zvpack::TempOutput output(dir / "out");
    ASSERT_TRUE(output.Open(&error)) << error;
    std::fputs("new", output.File());
    EXPECT_EQ(FolderListing(dir.Path()).size(), 2u);
    EXPECT_EQ(ReadFile(dir / "out"), "old");
  }
  EXPECT_EQ(FolderListing(dir.Path()), std::vector<std::string>{"out"});
  EXPECT_EQ(ReadFile(dir / "out"), "old");

  zvpack::TempOutput output(dir / "out");
  ASSERT_TRUE(output.Open(&error)) << error;
  std::fputs("new", output.File());
  ASSERT_TRUE(output.Commit(&error)) << error;
  EXPECT_EQ(FolderListing(dir.Path()), std::vector<std::string>{"out"});
  EXPECT_EQ(ReadFile(dir / "out"), "new");

  zvpack::TempOutput nowhere(dir / "missing/out");
  EXPECT_FALSE(nowhere.Open(&error));
  EXPECT_EQ(error.find(dir / "missing/out: "), 0u) << error;
}

TEST(ZvpackTempOutputTest, TerminatingSignalRemovesTheTemporaryFile) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    WriteFile(dir / "out", "old");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      zvpack::TempOutput output(dir / "out");
      std::string error;
      if (!output.Open(&error)) _exit(1);
      std::fputs("half", output.File());
      std::fflush(output.File());
      (void)!write(ready[1], "r", 1);
      for (;;) pause();
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(FolderListing(dir.Path()).size(), 2u);
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_EQ(FolderListing(dir.Path()), std::vector<std::string>{"out"}) << signal;
    EXPECT_EQ(ReadFile(dir / "out"), "old");
  }
}

}  // namespace
