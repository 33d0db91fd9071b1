#include "next_stage/stage_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
  const char* label;
  std::string input;
  std::vector<std::string> words;
  std::vector<std::string> arguments;  // "key=value"
  bool endedByCleanUp;
  std::string remainder;
  bool unclosedQuote;
};

const char kLauncherHead[] =
    "ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized "
    "ResourceFile=\"C:\\Program Files\\zv setup.exe\" CleanUp=\"C:\\TEMP\\0.bat\" ";

const std::vector<std::string> kLauncherArguments = {
    "SetupProgram=ZVPict", "Lite=Yes", "Wnd=Normal", "Server=None", "Wnd=Maximized",
    "ResourceFile=C:\\Program Files\\zv setup.exe", "CleanUp=C:\\TEMP\\0.bat"};

std::vector<ParseCase> Cases() {
  const std::string head = kLauncherHead;
  return {
      {"no arguments: ends with a blank", head, {"ZVSetup"}, kLauncherArguments, true, "", false},
      {"one argument", head + "/S", {"ZVSetup"}, kLauncherArguments, true, "/S", false},
      {"quotes and percents pass verbatim", head + "/D=\"C:\\a b\" 100% %1 \"q\"", {"ZVSetup"},
       kLauncherArguments, true, "/D=\"C:\\a b\" 100% %1 \"q\"", false},
      {"only the first blank separates", head + " two", {"ZVSetup"}, kLauncherArguments, true, " two", false},
      {"a pair behind CleanUp is not parsed", head + "Wnd=Hidden", {"ZVSetup"}, kLauncherArguments, true,
       "Wnd=Hidden", false},
      {"a quote in the remainder is not ours", head + "\"unclosed", {"ZVSetup"}, kLauncherArguments, true,
       "\"unclosed", false},
      {"no blank after the closing quote", "CleanUp=\"C:\\0.bat\"", {}, {"CleanUp=C:\\0.bat"}, true, "", false},
      {"empty", "", {}, {}, false, "", false},
      {"blanks only", " \t ", {}, {}, false, "", false},
      {"program name and verb", "Vistart.exe ZVSetup A=1", {"Vistart.exe", "ZVSetup"}, {"A=1"}, false, "", false},
      {"quoted program name", "\"C:\\My Files\\Vistart.exe\" ZVSetup", {"C:\\My Files\\Vistart.exe", "ZVSetup"},
       {}, false, "", false},
      {"tabs separate", "W\tA=1\t\tB=2", {"W"}, {"A=1", "B=2"}, false, "", false},
      {"empty value", "Key= Other=1", {}, {"Key=", "Other=1"}, false, "", false},
      {"quoted empty value", "Key=\"\" X=2", {}, {"Key=", "X=2"}, false, "", false},
      {"equals sign inside the value", "A=b=c", {}, {"A=b=c"}, false, "", false},
      {"quotes inside the value", "A=x\"y z\"w", {}, {"A=xy zw"}, false, "", false},
      {"no key before the equals sign", "=x A=1", {"=x"}, {"A=1"}, false, "", false},
      {"quote before the equals sign", "\"A=b\" C=d", {"A=b"}, {"C=d"}, false, "", false},
      {"CleanUp key in any case", "cleanup=\"x\" rest", {}, {"cleanup=x"}, true, "rest", false},
      {"a word after the arguments starts the remainder", "ZVSetup A=1 stray B=2", {"ZVSetup"}, {"A=1"}, false,
       "stray B=2", false},
      {"unclosed quote takes the rest", "CleanUp=\"C:\\0.bat /S", {}, {"CleanUp=C:\\0.bat /S"}, true, "", true},
      {"unclosed quote in a word", "\"Vistart A=1", {"Vistart A=1"}, {}, false, "", true},
      {"backslash before a quote is plain", "A=\"C:\\dir\\\" B=2", {}, {"A=C:\\dir\\", "B=2"}, false, "", false},
  };
}

TEST(StageCommandLineTest, SplitsWordsArgumentsAndRemainder) {
  for (const ParseCase& c : Cases()) {
    SCOPED_TRACE(c.label);
    StageCommandLine line = ParseStageCommandLine(c.input.c_str());
    EXPECT_EQ(line.words, c.words);
    std::vector<std::string> arguments;
    for (const StageArgument& argument : line.arguments) arguments.push_back(argument.key + "=" + argument.value);
    EXPECT_EQ(arguments, c.arguments);
    EXPECT_EQ(line.endedByCleanUp, c.endedByCleanUp);
    EXPECT_EQ(line.remainder, c.remainder);
    EXPECT_EQ(line.unclosedQuote, c.unclosedQuote);
  }
}

TEST(StageCommandLineTest, FindGivesTheFirstOfRepeatedKeysIgnoringCase) {
  StageCommandLine line = ParseStageCommandLine("ZVSetup Wnd=Normal Server=None Wnd=Maximized CleanUp=\"s.bat\" ");
  const struct {
    const char* key;
    const char* value;  // null: not found
  } cases[] = {
      {"Wnd", "Normal"}, {"wnd", "Normal"}, {"SERVER", "None"}, {"CleanUp", "s.bat"},
      {"ResourceFile", nullptr}, {"", nullptr}, {"Wn", nullptr}, {"Wndx", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const std::string* found = FindStageValue(line, c.key);
    if (c.value == nullptr) {
      EXPECT_EQ(found, nullptr);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(*found, c.value);
    }
  }
}

TEST(StageCommandLineTest, NullIsAnEmptyLine) {
  StageCommandLine line = ParseStageCommandLine(nullptr);
  EXPECT_TRUE(line.words.empty());
  EXPECT_TRUE(line.arguments.empty());
  EXPECT_FALSE(line.endedByCleanUp);
  EXPECT_TRUE(line.remainder.empty());
}

TEST(StageCommandLineTest, EmbeddedNulEndsTheLine) {
  const char input[] = "A=1\0 CleanUp=x";
  StageCommandLine line = ParseStageCommandLine(input);
  ASSERT_EQ(line.arguments.size(), 1u);
  EXPECT_FALSE(line.endedByCleanUp);
}

}  // namespace
