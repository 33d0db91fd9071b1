// Tests of VxString comparison: Compare, CompareNoCase, Collate, CollateNoCase and the
// eighteen operators.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/memory.h"
#include "string/vx_string.h"
#include "string/vx_string_probe.h"
#include "platform/testing/allocation_faults.h"

namespace {

struct CompareCase {
  const char* label;
  std::string left;  // bytes of the string; may hold NULs
  const char* right;
  int expected;
};

const CompareCase kCompareCases[] = {
    {"less", "abc", "abd", -1},
    {"equal", "abc", "abc", 0},
    {"longer", "abc", "ab", 1},
    {"shorter", "ab", "abc", -1},
    {"both empty", "", "", 0},
    {"empty left", "", "a", -1},
    {"empty right", "a", "", 1},
    {"far apart is still -1", "a", "z", -1},
    {"far apart is still 1", "z", "a", 1},
    {"upper before lower", "A", "a", -1},
    {"underscore after A", "_", "A", 1},
    {"bytes are unsigned", "\x80", "a", 1},
    {"high bytes", "\xE4", "\xC4", 1},
    {"left stops at its first NUL", Raw("a\0z"), "a", 0},
    {"left's NUL before right's byte", Raw("a\0z"), "ab", -1},
};

TEST(VxStringCompareTest, CompareIsByteOrderUpToFirstNul) {
  for (const CompareCase& c : kCompareCases) {
    ProbeString s = Make(c.left);
    EXPECT_EQ(s.Compare(c.right), c.expected) << c.label;
  }
}

TEST(VxStringCompareTest, CollateEqualsCompareUnderDefaultLocale) {
  for (const CompareCase& c : kCompareCases) {
    ProbeString s = Make(c.left);
    EXPECT_EQ(s.Collate(c.right), c.expected) << c.label;
  }
}

const CompareCase kNoCaseCases[] = {
    {"same letters", "ABC", "abc", 0},
    {"mixed", "aBc", "AbC", 0},
    {"less", "abc", "ABD", -1},
    {"greater", "ABD", "abc", 1},
    {"prefix", "AB", "abc", -1},
    {"both empty", "", "", 0},
    {"empty left", "", "A", -1},
    {"empty right", "a", "", 1},
    // Folding goes to lower case: the bytes between Z and a sort before every letter.
    {"underscore before A", "_", "A", -1},
    {"bracket before a", "[", "a", -1},
    {"Z after bracket", "Z", "[", 1},
    {"at sign before letters", "@", "a", -1},
    {"high bytes are not folded", "\xC4", "\xE4", -1},
    {"high bytes equal", "\xE4", "\xE4", 0},
    {"stops at first NUL", Raw("AB\0c"), "ab", 0},
    {"far apart is still -1", "a", "Z", -1},
};

TEST(VxStringCompareTest, CompareNoCaseFoldsOnlyAsciiLetters) {
  for (const CompareCase& c : kNoCaseCases) {
    ProbeString s = Make(c.left);
    EXPECT_EQ(s.CompareNoCase(c.right), c.expected) << c.label;
  }
}

TEST(VxStringCompareTest, CollateNoCaseEqualsCompareNoCaseUnderDefaultLocale) {
  for (const CompareCase& c : kNoCaseCases) {
    ProbeString s = Make(c.left);
    EXPECT_EQ(s.CollateNoCase(c.right), c.expected) << c.label;
  }
}

TEST(VxStringCompareTest, UnderscoreAgainstAByCaseAndWithout) {
  VxString underscore("_");
  EXPECT_EQ(underscore.CompareNoCase("A"), -1);
  EXPECT_EQ(underscore.Compare("A"), 1);
}

// Expected results of the six operators for one comparison sign.
struct OperatorResults {
  bool eq, ne, lt, gt, le, ge;
};

OperatorResults ForSign(int sign) {
  return {sign == 0, sign != 0, sign < 0, sign > 0, sign <= 0, sign >= 0};
}

TEST(VxStringCompareTest, OperatorsAgreeWithCompareInAllThreeForms) {
  const char* const texts[] = {"", "a", "ab", "abc", "abd", "B", "_", "\xE4"};
  for (const char* left : texts) {
    for (const char* right : texts) {
      const VxString a(left);
      const VxString b(right);
      const OperatorResults want = ForSign(a.Compare(right));
      const std::string label = std::string("'") + left + "' vs '" + right + "'";
      // (string, string)
      EXPECT_EQ(a == b, want.eq) << label;
      EXPECT_EQ(a != b, want.ne) << label;
      EXPECT_EQ(a < b, want.lt) << label;
      EXPECT_EQ(a > b, want.gt) << label;
      EXPECT_EQ(a <= b, want.le) << label;
      EXPECT_EQ(a >= b, want.ge) << label;
      // (string, text)
      EXPECT_EQ(a == right, want.eq) << label;
      EXPECT_EQ(a != right, want.ne) << label;
      EXPECT_EQ(a < right, want.lt) << label;
      EXPECT_EQ(a > right, want.gt) << label;
      EXPECT_EQ(a <= right, want.le) << label;
      EXPECT_EQ(a >= right, want.ge) << label;
      // (text, string): the text is the left side
      EXPECT_EQ(left == b, want.eq) << label;
      EXPECT_EQ(left != b, want.ne) << label;
      EXPECT_EQ(left < b, want.lt) << label;
      EXPECT_EQ(left > b, want.gt) << label;
      EXPECT_EQ(left <= b, want.le) << label;
      EXPECT_EQ(left >= b, want.ge) << label;
    }
  }
}

TEST(VxStringCompareTest, TextOnTheLeftOfTheOperator) {
  const VxString abd("abd");
  EXPECT_TRUE("abc" < abd);
  EXPECT_FALSE("abc" > abd);
  EXPECT_TRUE("abc" <= abd);
  EXPECT_FALSE("abc" >= abd);
  EXPECT_TRUE("abe" > abd);
  EXPECT_TRUE("abd" == abd);
}

TEST(VxStringCompareTest, StringsCompareUpToTheirFirstNulNotTheirLength) {
  const ProbeString a = Make(Raw("a\0b"));
  const ProbeString b = Make(Raw("a\0c"));
  const VxString plain("a");
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a == plain);
  EXPECT_FALSE(a < b);
  EXPECT_EQ(a.Compare(b), 0);
}

TEST(VxStringCompareTest, ComparisonsAllocateNothing) {
  const VxString a("Setup");
  const VxString b("setup");
  const uint64_t before = platform::HeapAllocationCount();
  int sum = a.Compare(b) + a.CompareNoCase(b) + a.Collate(b) + a.CollateNoCase(b);
  sum += (a == b) + (a < "x") + ("x" > a);
  EXPECT_EQ(platform::HeapAllocationCount(), before);
  EXPECT_EQ(sum, -1 + 0 - 1 + 0 + 0 + 1 + 1);
}

TEST(VxStringCompareTest, ComparingLeavesSharingAlone) {
  ProbeString a("abc");
  ProbeString b(a);
  EXPECT_EQ(a.Compare("abd"), -1);
  EXPECT_EQ(b.CompareNoCase("ABC"), 0);
  EXPECT_TRUE(a == b);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(a.Chars(), b.Chars());
}

}  // namespace
