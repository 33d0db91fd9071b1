// Tests of VxString character access, extraction and search.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "platform/memory.h"
#include "string/vx_string.h"
#include "string/vx_string_probe.h"
#include "platform/testing/allocation_faults.h"

namespace {

// --- Character access -------------------------------------------------------------------

TEST(VxStringSearchTest, GetAtInsideAndAtTheLength) {
  const VxString s("abc");
  EXPECT_EQ(s.GetAt(0), 'a');
  EXPECT_EQ(s.GetAt(2), 'c');
  EXPECT_EQ(s.GetAt(3), '\0');
  EXPECT_EQ(s[0], 'a');
  EXPECT_EQ(s[1], 'b');
  EXPECT_EQ(s[3], '\0');
}

TEST(VxStringSearchTest, GetAtOutsideTheStringGivesNul) {
  const VxString s("abc");
  const int outside[] = {-1, -100, INT_MIN, 4, 1000, INT_MAX};
  for (int index : outside) {
    EXPECT_EQ(s.GetAt(index), '\0') << index;
    EXPECT_EQ(s[index], '\0') << index;
  }
  const VxString empty;
  EXPECT_EQ(empty.GetAt(0), '\0');
  EXPECT_EQ(empty.GetAt(1), '\0');
  EXPECT_EQ(empty[-1], '\0');
}

TEST(VxStringSearchTest, GetAtReadsPastEmbeddedNul) {
  const ProbeString s = Make(Raw("a\0b"));
  EXPECT_EQ(s.GetAt(1), '\0');
  EXPECT_EQ(s.GetAt(2), 'b');
  EXPECT_EQ(s.GetAt(3), '\0');
}

TEST(VxStringSearchTest, SetAtChangesOnlyThisSharer) {
  ProbeString a("abc");
  ProbeString b(a);
  ASSERT_EQ(a.RefCount(), 2);
  a.SetAt(0, 'X');
  EXPECT_STREQ(a, "Xbc");
  EXPECT_STREQ(b, "abc");
  EXPECT_EQ(a.RefCount(), 1);
  EXPECT_EQ(b.RefCount(), 1);
  EXPECT_NE(a.Chars(), b.Chars());
}

TEST(VxStringSearchTest, SetAtNulKeepsTheLength) {
  ProbeString s("abc");
  s.SetAt(1, '\0');
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(s.Bytes(), Raw("a\0c"));
  s.SetAt(2, 'z');
  EXPECT_EQ(s.Bytes(), Raw("a\0z"));
}

TEST(VxStringSearchTest, SetAtOutsideTheTextDoesNothing) {
  ProbeString a("abc");
  ProbeString b(a);
  // The terminator at the length is not writable either.
  const int outside[] = {-1, INT_MIN, 3, 4, INT_MAX};
  for (int index : outside) {
    a.SetAt(index, 'X');
    EXPECT_EQ(a.Bytes(), "abc") << index;
    EXPECT_TRUE(a.Terminated()) << index;
    EXPECT_EQ(a.RefCount(), 2) << index;  // not even unshared
  }
  ProbeString empty;
  empty.SetAt(0, 'X');
  EXPECT_TRUE(empty.OnSharedEmpty());
  EXPECT_EQ(VxGetEmptyString().GetLength(), 0);
  EXPECT_STREQ(VxGetEmptyString(), "");
}

// --- Extraction -------------------------------------------------------------------------

struct ExtractCase {
  const char* label;
  ProbeString (*extract)(const VxString&);
  std::string expected;
};

const ExtractCase kExtractCases[] = {
    {"Mid(2, 3)", [](const VxString& s) -> ProbeString { return s.Mid(2, 3); }, "cde"},
    {"Mid(-1, 3)", [](const VxString& s) -> ProbeString { return s.Mid(-1, 3); }, "abc"},
    {"Mid(4, 10)", [](const VxString& s) -> ProbeString { return s.Mid(4, 10); }, "ef"},
    {"Mid(7, 2)", [](const VxString& s) -> ProbeString { return s.Mid(7, 2); }, ""},
    {"Mid(6, 1)", [](const VxString& s) -> ProbeString { return s.Mid(6, 1); }, ""},
    {"Mid(0, 6)", [](const VxString& s) -> ProbeString { return s.Mid(0, 6); }, "abcdef"},
    {"Mid(0, 0)", [](const VxString& s) -> ProbeString { return s.Mid(0, 0); }, ""},
    {"Mid(2, -1)", [](const VxString& s) -> ProbeString { return s.Mid(2, -1); }, ""},
    {"Mid(-5, -5)", [](const VxString& s) -> ProbeString { return s.Mid(-5, -5); }, ""},
    {"Mid(1, INT_MAX)", [](const VxString& s) -> ProbeString { return s.Mid(1, INT_MAX); }, "bcdef"},
    {"Mid(INT_MAX, INT_MAX)",
     [](const VxString& s) -> ProbeString { return s.Mid(INT_MAX, INT_MAX); }, ""},
    {"Mid(INT_MIN, 2)", [](const VxString& s) -> ProbeString { return s.Mid(INT_MIN, 2); }, "ab"},
    {"Mid(6)", [](const VxString& s) -> ProbeString { return s.Mid(6); }, ""},
    {"Mid(7)", [](const VxString& s) -> ProbeString { return s.Mid(7); }, ""},
    {"Mid(-3)", [](const VxString& s) -> ProbeString { return s.Mid(-3); }, "abcdef"},
    {"Mid(INT_MIN)", [](const VxString& s) -> ProbeString { return s.Mid(INT_MIN); }, "abcdef"},
    {"Mid(INT_MAX)", [](const VxString& s) -> ProbeString { return s.Mid(INT_MAX); }, ""},
    {"Mid(0)", [](const VxString& s) -> ProbeString { return s.Mid(0); }, "abcdef"},
    {"Mid(5)", [](const VxString& s) -> ProbeString { return s.Mid(5); }, "f"},
    {"Left(-1)", [](const VxString& s) -> ProbeString { return s.Left(-1); }, ""},
    {"Left(0)", [](const VxString& s) -> ProbeString { return s.Left(0); }, ""},
    {"Left(1)", [](const VxString& s) -> ProbeString { return s.Left(1); }, "a"},
    {"Left(6)", [](const VxString& s) -> ProbeString { return s.Left(6); }, "abcdef"},
    {"Left(10)", [](const VxString& s) -> ProbeString { return s.Left(10); }, "abcdef"},
    {"Left(INT_MIN)", [](const VxString& s) -> ProbeString { return s.Left(INT_MIN); }, ""},
    {"Right(2)", [](const VxString& s) -> ProbeString { return s.Right(2); }, "ef"},
    {"Right(0)", [](const VxString& s) -> ProbeString { return s.Right(0); }, ""},
    {"Right(-4)", [](const VxString& s) -> ProbeString { return s.Right(-4); }, ""},
    {"Right(6)", [](const VxString& s) -> ProbeString { return s.Right(6); }, "abcdef"},
    {"Right(INT_MAX)", [](const VxString& s) -> ProbeString { return s.Right(INT_MAX); }, "abcdef"},
};

TEST(VxStringSearchTest, ExtractionsOnAbcdef) {
  const ProbeString source("abcdef");
  for (const ExtractCase& c : kExtractCases) {
    const ProbeString result = c.extract(source);
    EXPECT_EQ(result.Bytes(), c.expected) << c.label;
    EXPECT_TRUE(result.Terminated()) << c.label;
    if (c.expected.empty()) {
      EXPECT_TRUE(result.OnSharedEmpty()) << c.label;
    } else {
      // A fresh block of exactly the result's length, never the source's.
      EXPECT_NE(result.Chars(), source.Chars()) << c.label;
      EXPECT_EQ(result.GetAllocLength(), static_cast<int>(c.expected.size())) << c.label;
      EXPECT_EQ(result.RefCount(), 1) << c.label;
    }
  }
  EXPECT_EQ(source.RefCount(), 1);
  EXPECT_STREQ(source, "abcdef");
}

TEST(VxStringSearchTest, ExtractionsOfTheEmptyString) {
  const VxString empty;
  for (const ExtractCase& c : kExtractCases) {
    const ProbeString result = c.extract(empty);
    EXPECT_TRUE(result.OnSharedEmpty()) << c.label;
  }
}

TEST(VxStringSearchTest, LeftOfTheWholeStringIsANewBlock) {
  const ProbeString source("abcdef");
  const ProbeString whole(source.Left(10));
  EXPECT_STREQ(whole, "abcdef");
  EXPECT_NE(whole.Chars(), source.Chars());
  EXPECT_EQ(source.RefCount(), 1);
}

TEST(VxStringSearchTest, ExtractionsCopyEmbeddedNuls) {
  const ProbeString source = Make(Raw("a\0bc\0"));
  EXPECT_EQ(ProbeString(source.Mid(1, 2)).Bytes(), Raw("\0b"));
  EXPECT_EQ(ProbeString(source.Mid(1)).Bytes(), Raw("\0bc\0"));
  EXPECT_EQ(ProbeString(source.Left(3)).Bytes(), Raw("a\0b"));
  EXPECT_EQ(ProbeString(source.Right(1)).Bytes(), Raw("\0"));
  EXPECT_EQ(ProbeString(source.Right(5)).Bytes(), Raw("a\0bc\0"));
}

TEST(VxStringSearchTest, ExtractionFromASharedStringLeavesItShared) {
  ProbeString a("abcdef");
  ProbeString b(a);
  const ProbeString mid(a.Mid(1, 2));
  EXPECT_STREQ(mid, "bc");
  EXPECT_EQ(a.RefCount(), 2);
}

struct SpanCase {
  std::string text;
  const char* set;
  std::string including;
  std::string excluding;
};

const SpanCase kSpanCases[] = {
    {"123abc", "0123456789", "123", ""},
    {"ab,cd", ",;", "", "ab"},
    {"ab;cd,", ",;", "", "ab"},
    {"abc", "", "", "abc"},
    {"", "abc", "", ""},
    {"", "", "", ""},
    {"aaa", "a", "aaa", ""},
    {"baa", "a", "", "b"},
    {",x", ",", ",", ""},
    // Spans are text scans: they end at the first NUL.
    {Raw("ab\0ab"), "ab", "ab", ""},
    {Raw("ab\0,c"), ",", "", "ab"},
    {Raw("\0ab"), "ab", "", ""},
};

TEST(VxStringSearchTest, SpanIncludingAndExcluding) {
  for (const SpanCase& c : kSpanCases) {
    const ProbeString s = Make(c.text);
    const ProbeString including(s.SpanIncluding(c.set));
    const ProbeString excluding(s.SpanExcluding(c.set));
    EXPECT_EQ(including.Bytes(), c.including) << "'" << c.text << "' with '" << c.set << "'";
    EXPECT_EQ(excluding.Bytes(), c.excluding) << "'" << c.text << "' with '" << c.set << "'";
    if (c.including.empty()) {
      EXPECT_TRUE(including.OnSharedEmpty());
    }
  }
}

// --- Search -----------------------------------------------------------------------------

TEST(VxStringSearchTest, FindCharacterOnAbcabc) {
  const VxString s("abcabc");
  EXPECT_EQ(s.Find('c'), 2);
  EXPECT_EQ(s.Find('a'), 0);
  EXPECT_EQ(s.Find('x'), -1);
  EXPECT_EQ(s.Find('\0'), 6);
  EXPECT_EQ(s.Find('c', 3), 5);
  EXPECT_EQ(s.Find('c', 2), 2);
  EXPECT_EQ(s.Find('c', 5), 5);
  EXPECT_EQ(s.Find('c', 6), -1);
  EXPECT_EQ(s.Find('c', 7), -1);
  EXPECT_EQ(s.Find('c', INT_MAX), -1);
  EXPECT_EQ(s.Find('a', 1), 3);
  // A start equal to the length is not searched, so not even the NUL is found there.
  EXPECT_EQ(s.Find('\0', 6), -1);
  EXPECT_EQ(s.Find('\0', 5), 6);
}

TEST(VxStringSearchTest, FindCharacterWithNegativeStartSearchesFromZero) {
  const VxString s("abcabc");
  EXPECT_EQ(s.Find('a', -1), 0);
  EXPECT_EQ(s.Find('c', -5), 2);
  EXPECT_EQ(s.Find('x', -1), -1);
  EXPECT_EQ(s.Find('b', INT_MIN), 1);
  const VxString empty;
  EXPECT_EQ(empty.Find('a', -1), -1);
}

TEST(VxStringSearchTest, FindCharacterOnTheEmptyString) {
  const VxString empty;
  EXPECT_EQ(empty.Find('a'), -1);
  EXPECT_EQ(empty.Find('\0'), 0);
  EXPECT_EQ(empty.Find('\0', 0), -1);
}

TEST(VxStringSearchTest, FindCharacterStopsAtEmbeddedNul) {
  const ProbeString s = Make(Raw("ab\0ab"));
  EXPECT_EQ(s.Find('b'), 1);
  EXPECT_EQ(s.Find('\0'), 2);
  EXPECT_EQ(s.Find('b', 2), -1);  // the scan from 2 ends at once, at the NUL
  EXPECT_EQ(s.Find('b', 3), 4);
  EXPECT_EQ(s.Find('\0', 3), 5);
}

TEST(VxStringSearchTest, FindTextOnAbcabc) {
  const VxString s("abcabc");
  EXPECT_EQ(s.Find("bc"), 1);
  EXPECT_EQ(s.Find("bc", 2), 4);
  EXPECT_EQ(s.Find("abc", 1), 3);
  EXPECT_EQ(s.Find("abcabc"), 0);
  EXPECT_EQ(s.Find("abcabcd"), -1);
  EXPECT_EQ(s.Find("cb"), -1);
  EXPECT_EQ(s.Find("c", 6), -1);
  EXPECT_EQ(s.Find(""), 0);
  EXPECT_EQ(s.Find("", 3), 3);
  EXPECT_EQ(s.Find("", 6), 6);
  EXPECT_EQ(s.Find("", 7), -1);
  EXPECT_EQ(s.Find("a", INT_MAX), -1);
}

TEST(VxStringSearchTest, FindTextWithNegativeStartSearchesFromZero) {
  const VxString s("abcabc");
  EXPECT_EQ(s.Find("bc", -1), 1);
  EXPECT_EQ(s.Find("", -3), 0);
  EXPECT_EQ(s.Find("ab", INT_MIN), 0);
  EXPECT_EQ(s.Find("x", -1), -1);
}

TEST(VxStringSearchTest, FindTextOnTheEmptyStringAndAcrossNuls) {
  const VxString empty;
  EXPECT_EQ(empty.Find(""), 0);
  EXPECT_EQ(empty.Find("", 0), 0);
  EXPECT_EQ(empty.Find("", 1), -1);
  EXPECT_EQ(empty.Find("a"), -1);
  const ProbeString s = Make(Raw("ab\0ab"));
  EXPECT_EQ(s.Find("ab"), 0);
  EXPECT_EQ(s.Find("ab", 1), -1);  // the scan ends at the NUL
  EXPECT_EQ(s.Find("ab", 3), 3);
  EXPECT_EQ(s.Find("b\0a"), 1);    // the text ends at its own NUL: "b"
}

TEST(VxStringSearchTest, ReverseFind) {
  const VxString s("abcabc");
  EXPECT_EQ(s.ReverseFind('a'), 3);
  EXPECT_EQ(s.ReverseFind('c'), 5);
  EXPECT_EQ(s.ReverseFind('x'), -1);
  EXPECT_EQ(s.ReverseFind('\0'), 6);
  const VxString empty;
  EXPECT_EQ(empty.ReverseFind('a'), -1);
  EXPECT_EQ(empty.ReverseFind('\0'), 0);
  const ProbeString nul = Make(Raw("a\0a"));
  EXPECT_EQ(nul.ReverseFind('a'), 0);
  EXPECT_EQ(nul.ReverseFind('\0'), 1);
  const VxString high("\xE4x\xE4y");
  EXPECT_EQ(high.ReverseFind('\xE4'), 2);
}

TEST(VxStringSearchTest, FindOneOf) {
  const VxString s("abcabc");
  EXPECT_EQ(s.FindOneOf("xc"), 2);
  EXPECT_EQ(s.FindOneOf("cb"), 1);
  EXPECT_EQ(s.FindOneOf(""), -1);
  EXPECT_EQ(s.FindOneOf("xyz"), -1);
  const VxString empty;
  EXPECT_EQ(empty.FindOneOf("a"), -1);
  EXPECT_EQ(empty.FindOneOf(""), -1);
  const ProbeString nul = Make(Raw("a\0b"));
  EXPECT_EQ(nul.FindOneOf("b"), -1);
}

TEST(VxStringSearchTest, SearchesAndAccessAllocateNothing) {
  const VxString s("abcabc");
  const uint64_t before = platform::HeapAllocationCount();
  int sum = s.Find('c') + s.Find('c', 3) + s.Find("bc") + s.Find("bc", 2);
  sum += s.ReverseFind('a') + s.FindOneOf("c") + s.GetAt(0) + s[1];
  EXPECT_EQ(platform::HeapAllocationCount(), before);
  EXPECT_EQ(sum, 2 + 5 + 1 + 4 + 3 + 2 + 'a' + 'b');
}

}  // namespace
