// Tests of the temporary output file when a signal ends the process (the other failures:
// zvpack_names_test.cpp).
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
