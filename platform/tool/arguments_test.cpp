// Tests of the command-line words.
#include "platform/tool/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ProgramWordsTest, AreTheWordsTheProgramWasStartedWith) {
  // GoogleTest keeps main's words; on Windows ProgramWords reads them again from the command
  // line, and ASCII words come back the same.
  const std::vector<std::string> started = testing::internal::GetArgvs();
  std::vector<char*> argv;
  for (const std::string& word : started) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  platform_tool::ProgramWords words(static_cast<int>(started.size()), argv.data());
  ASSERT_EQ(words.Count(), static_cast<int>(started.size()));
  for (size_t i = 1; i < started.size(); ++i) EXPECT_EQ(std::string(words.Words()[i]), started[i]) << i;
  EXPECT_EQ(words.Words()[words.Count()], nullptr);
}

}  // namespace
