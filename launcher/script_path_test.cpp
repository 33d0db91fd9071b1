#include "launcher/script_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The host keeps no short names, so these are the steps after the short form: the OEM
// code page (850 against Windows-1252), percent doubling and quoting.
TEST(BatchPathTest, MakesEveryPathSafeForCmd) {
  const struct {
    const char* path;
    const char* line;
  } cases[] = {
      {"C:\\TEMP\\VAVOdozu0\\Data\\b.dat", "C:\\TEMP\\VAVOdozu0\\Data\\b.dat"},
      {"C:\\TEMP\\0.bat", "C:\\TEMP\\0.bat"},
      {"C:\\Temp 1\\a.dll", "\"C:\\Temp 1\\a.dll\""},
      {"C:\\100%\\a", "C:\\100%%\\a"},
      {"C:\\100%1\\a b", "\"C:\\100%%1\\a b\""},
      {"C:\\a&b\\x", "\"C:\\a&b\\x\""},
      {"C:\\a^b(c)\\x", "\"C:\\a^b(c)\\x\""},
      {"C:\\x,y;z=1", "\"C:\\x,y;z=1\""},
      {"C:\\T\\\xE4\xE9\xDF.dll", "C:\\T\\\x84\x82\xE1.dll"},
      {"C:\\T \xE4\\%x", "\"C:\\T \x84\\%%x\""},
      // The euro sign has no place in code page 850: the text stays as it is rather than
      // naming another file.
      {"C:\\T\\\x80.txt", "C:\\T\\\x80.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(c.line), std::string(BatchPath(c.path))) << c.path;
  }
}

TEST(BatchPathTest, PlainMeansPrintableAsciiWithoutCommandSigns) {
  EXPECT_TRUE(IsPlainBatchPath("C:\\Program_Files-x86\\a.b~1"));
  EXPECT_TRUE(IsPlainBatchPath(""));
  for (const char* path : {"a b", "a%b", "a\"b", "a\tb", "a\xE4", "a|b", "a<b", "a>b", "a\x7F"}) {
    EXPECT_FALSE(IsPlainBatchPath(path)) << path;
  }
}

}  // namespace
