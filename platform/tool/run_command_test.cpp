// Tests of running a command line through the system's interpreter (sh on the host, cmd.exe
// under Wine): its exit code, and a path quoted for it reaching the command as one word
// whatever blanks and signs it holds.
#include "platform/tool/run_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(RunCommandLineTest, ExitCodesComeBack) {
  for (int code : {0, 1, 3, 127}) {
    const platform_tool::CommandResult result = platform_tool::RunCommandLine("exit " + std::to_string(code));
    EXPECT_TRUE(result.started);
    EXPECT_EQ(code, result.exitCode);
    EXPECT_EQ(0, result.interrupt);
  }
}

TEST(RunCommandLineTest, AQuotedPathIsOneWord) {
  for (const char* name : {"plain.txt", "with blank.txt", "a & b.txt", "it's (1).txt", "semi;colon.txt"}) {
    const std::string path = std::string("run-command-test ") + name;
    std::remove(path.c_str());
    const platform_tool::CommandResult result =
        platform_tool::RunCommandLine("echo made>" + platform_tool::QuoteForCommandLine(path));
    EXPECT_EQ(0, result.exitCode) << name;
    std::FILE* made = std::fopen(path.c_str(), "rb");
    EXPECT_NE(nullptr, made) << name;
    if (made != nullptr) std::fclose(made);
    std::remove(path.c_str());
  }
}

}  // namespace
