// Tests of VxString case, order and code-page changes.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "string/vx_string.h"
#include "string/vx_string_probe.h"

namespace {

struct CaseCase {
  std::string text;
  std::string upper;
  std::string lower;
  std::string reversed;
};

const CaseCase kCaseCases[] = {
    {"", "", "", ""},
    {"a", "A", "a", "a"},
    {"abc", "ABC", "abc", "cba"},
    {"aBcD", "ABCD", "abcd", "DcBa"},
    {"az AZ", "AZ AZ", "az az", "ZA za"},
    {"`a{z@A[Z", "`A{Z@A[Z", "`a{z@a[z", "Z[A@z{a`"},
    {"1_2-3", "1_2-3", "1_2-3", "3-2_1"},
    // Bytes from 128 up have no case and stay as they are.
    {"\xE4\xC4\xE9\xFF", "\xE4\xC4\xE9\xFF", "\xE4\xC4\xE9\xFF", "\xFF\xE9\xC4\xE4"},
    {"x\xE4y", "X\xE4Y", "x\xE4y", "y\xE4x"},
    // Text scans: the part after an embedded NUL is left alone.
    {Raw("ab\0cd"), Raw("AB\0cd"), Raw("ab\0cd"), Raw("ba\0cd")},
    {Raw("AB\0CD"), Raw("AB\0CD"), Raw("ab\0CD"), Raw("BA\0CD")},
    {Raw("\0ab"), Raw("\0ab"), Raw("\0ab"), Raw("\0ab")},
};

TEST(VxStringCaseTest, MakeUpperMakeLowerMakeReverse) {
  for (const CaseCase& c : kCaseCases) {
    ProbeString upper = Make(c.text);
    ProbeString lower = Make(c.text);
    ProbeString reversed = Make(c.text);
    upper.MakeUpper();
    lower.MakeLower();
    reversed.MakeReverse();
    EXPECT_EQ(upper.Bytes(), c.upper) << c.text;
    EXPECT_EQ(lower.Bytes(), c.lower) << c.text;
    EXPECT_EQ(reversed.Bytes(), c.reversed) << c.text;
    EXPECT_TRUE(upper.Terminated() && lower.Terminated() && reversed.Terminated()) << c.text;
  }
}

TEST(VxStringCaseTest, EveryByteOfMakeUpper) {
  for (int b = 1; b < 256; ++b) {
    VxString s(static_cast<char>(b), 1);
    s.MakeUpper();
    const int want = (b >= 'a' && b <= 'z') ? b - 'a' + 'A' : b;
    EXPECT_EQ(static_cast<unsigned char>(s.GetAt(0)), want) << b;
    s.MakeLower();
    const int back = (want >= 'A' && want <= 'Z') ? want - 'A' + 'a' : want;
    EXPECT_EQ(static_cast<unsigned char>(s.GetAt(0)), back) << b;
  }
}

TEST(VxStringCaseTest, ChangesUnshareAndLeaveTheOtherSharer) {
  void (VxString::*const changes[])() = {&VxString::MakeUpper, &VxString::MakeLower,
                                          &VxString::MakeReverse, &VxString::CharToOemA,
                                          &VxString::OemToCharA};
  for (auto change : changes) {
    ProbeString a("Ab\xE4");
    ProbeString b(a);
    (a.*change)();
    EXPECT_EQ(b.Bytes(), "Ab\xE4");
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(b.RefCount(), 1);
    EXPECT_NE(a.Chars(), b.Chars());
    EXPECT_EQ(a.GetLength(), 3);
  }
}

TEST(VxStringCaseTest, ChangesOfTheEmptyStringStayOnTheSharedBlock) {
  void (VxString::*const changes[])() = {&VxString::MakeUpper, &VxString::MakeLower,
                                          &VxString::MakeReverse, &VxString::CharToOemA,
                                          &VxString::OemToCharA};
  for (auto change : changes) {
    ProbeString empty;
    (empty.*change)();
    EXPECT_TRUE(empty.OnSharedEmpty());
    EXPECT_EQ(empty.RefCount(), -2);
  }
  EXPECT_STREQ(VxGetEmptyString(), "");
}

class VxStringCodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::AnsiCodePage() != 1252 || platform::OemCodePage() != 850) {
      GTEST_SKIP() << "the system's code pages are " << platform::AnsiCodePage() << " and "
                   << platform::OemCodePage() << ", not 1252 and 850";
    }
  }
};

TEST_F(VxStringCodePageTest, CharToOemAOfNamedLetters) {
  ProbeString s("M\xE4nner, caf\xE9, Stra\xDF" "e");
  s.CharToOemA();
  EXPECT_EQ(s.Bytes(), "M\x84nner, caf\x82, Stra\xE1" "e");
  s.OemToCharA();
  EXPECT_EQ(s.Bytes(), "M\xE4nner, caf\xE9, Stra\xDF" "e");
}

TEST_F(VxStringCodePageTest, BestFitDoesNotComeBack) {
  ProbeString s("\x80 \x93quoted\x94");  // euro sign and curly quotes
  s.CharToOemA();
  EXPECT_EQ(s.Bytes(), "? \"quoted\"");
  s.OemToCharA();
  EXPECT_EQ(s.Bytes(), "? \"quoted\"");
}

TEST_F(VxStringCodePageTest, ConversionStopsAtEmbeddedNul) {
  ProbeString s = Make(Raw("\xE4\0\xE4"));
  s.CharToOemA();
  EXPECT_EQ(s.Bytes(), Raw("\x84\0\xE4"));
  s.OemToCharA();
  EXPECT_EQ(s.Bytes(), Raw("\xE4\0\xE4"));
}

}  // namespace
