#include "archive/entry_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
  const char* label;
  std::string name;
  bool plain;
};

const NameCase kNameCases[] = {
    {"single file", "a.dll", true},
    {"one folder", "Data\\b.dat", true},
    {"two folders", "Docs\\Eng\\Licence.rtf", true},
    {"inner dots", "a..b", true},
    {"leading dot", ".profile", true},
    {"leading blank", " a", true},
    {"high bytes", "\xE4\xF6\xFC.txt", true},
    {"device-like prefix", "CONSOLE.txt", true},
    {"device-like suffix", "ACON", true},
    {"port without digit", "COM", true},
    {"port with two digits", "COM10", true},
    {"device in extension", "readme.con", true},
    {"255 characters", std::string(255, 'x'), true},
    {"empty", "", false},
    {"dot", ".", false},
    {"dot dot", "..", false},
    {"dot component", "a\\.\\b", false},
    {"dot dot component", "a\\..\\b", false},
    {"dot dot at the end", "a\\..", false},
    {"dot dot at the start", "..\\a", false},
    {"three dots", "...", false},
    {"leading backslash", "\\a", false},
    {"trailing backslash", "a\\", false},
    {"doubled backslash", "a\\\\b", false},
    {"only backslash", "\\", false},
    {"forward slash", "a/b", false},
    {"leading forward slash", "/a", false},
    {"drive", "C:a", false},
    {"drive root", "C:\\a", false},
    {"stream name", "a:b", false},
    {"colon at the end", "a:", false},
    {"UNC", "\\\\server\\share\\a", false},
    {"embedded NUL", std::string("a\0b", 3), false},
    {"NUL at the end", std::string("a\0", 2), false},
    {"tab", "a\tb", false},
    {"newline", "a\nb", false},
    {"escape", "a\x1b", false},
    {"0x1F", "a\x1f", false},
    {"asterisk", "a*", false},
    {"question mark", "a?", false},
    {"double quote", "a\"b", false},
    {"less than", "a<b", false},
    {"greater than", "a>b", false},
    {"pipe", "a|b", false},
    {"trailing dot", "a.", false},
    {"trailing blank", "a ", false},
    {"folder with trailing dot", "a.\\b", false},
    {"CON", "CON", false},
    {"con", "con", false},
    {"Con with extension", "Con.txt", false},
    {"NUL with two extensions", "nul.tar.gz", false},
    {"AUX in a folder", "Data\\aux", false},
    {"PRN as a folder", "prn\\a", false},
    {"device with blank before dot", "NUL .txt", false},
    {"COM1", "COM1", false},
    {"com9 with extension", "com9.log", false},
    {"COM0", "COM0", false},
    {"LPT1", "LPT1", false},
    {"lpt9", "lpt9.x", false},
    {"superscript port", "COM\xB9", false},
    {"superscript printer", "lpt\xB2.txt", false},
    {"CONIN$", "CONIN$", false},
    {"conout$", "conout$.x", false},
    {"CLOCK$", "CLOCK$", false},
};

class EntryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(EntryNameTest, AcceptsOnlyPlainRelativePaths) {
  const NameCase& c = GetParam();
  EXPECT_EQ(IsPlainEntryName(c.name.data(), c.name.size()), c.plain) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Table, EntryNameTest, ::testing::ValuesIn(kNameCases));

TEST(EntryNameLengthTest, OnlyTheGivenBytesCount) {
  // Only the given bytes count: what lies behind them is not part of the name.
  EXPECT_TRUE(IsPlainEntryName("ab\\..", 2));
  EXPECT_FALSE(IsPlainEntryName("ab\\..", 5));
  EXPECT_FALSE(IsPlainEntryName("ab", 0));
}

}  // namespace
