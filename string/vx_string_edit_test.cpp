// Tests of VxString trimming, insertion, deletion, replacement and removal.
#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <string>

#include "platform/memory.h"
#include "string/vx_string.h"
#include "string/vx_string_probe.h"
#include "platform/testing/allocation_faults.h"

namespace {

// A private block of `room` characters holding `bytes`: room left behind the text.
ProbeString WithRoom(const std::string& bytes, int room) {
  ProbeString s;
  char* buffer = s.GetBuffer(room);
  for (size_t i = 0; i < bytes.size(); ++i) buffer[i] = bytes[i];
  s.ReleaseBuffer(static_cast<int>(bytes.size()));
  return s;
}

// --- Trimming ---------------------------------------------------------------------------

struct TrimCase {
  const char* label;
  void (*trim)(VxString&);
  std::string text;
  std::string expected;
};

const TrimCase kTrimCases[] = {
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "ab \t\r\n", "ab"},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "a b ", "a b"},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "ab\v\f", "ab"},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "  ", ""},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "", ""},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "ab", "ab"},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, " ab", " ab"},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "ab\x08", "ab\x08"},  // 8 is not space
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "ab\x0E", "ab\x0E"},  // nor is 14
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, "ab\xA0", "ab\xA0"},  // nor 160
    // Stops at the first NUL: trailing space before it drops the rest.
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, Raw("ab \0cd"), "ab"},
    {"TrimRight()", [](VxString& s) { s.TrimRight(); }, Raw("ab\0cd "), Raw("ab\0cd ")},
    {"TrimRight(x)", [](VxString& s) { s.TrimRight('x'); }, "abxx", "ab"},
    {"TrimRight(x)", [](VxString& s) { s.TrimRight('x'); }, "xxab", "xxab"},
    {"TrimRight(x)", [](VxString& s) { s.TrimRight('x'); }, "xx", ""},
    {"TrimRight(x)", [](VxString& s) { s.TrimRight('x'); }, "axbx", "axb"},
    {"TrimRight(x)", [](VxString& s) { s.TrimRight('x'); }, "", ""},
    {"TrimRight(NUL)", [](VxString& s) { s.TrimRight('\0'); }, Raw("ab\0"), Raw("ab\0")},
    {"TrimRight(NUL)", [](VxString& s) { s.TrimRight('\0'); }, "", ""},
    {"TrimRight(xy)", [](VxString& s) { s.TrimRight("xy"); }, "abyxy", "ab"},
    {"TrimRight(xy)", [](VxString& s) { s.TrimRight("xy"); }, "abyxya", "abyxya"},
    {"TrimRight(xy)", [](VxString& s) { s.TrimRight("xy"); }, "xyyx", ""},
    {"TrimRight(xy)", [](VxString& s) { s.TrimRight("xy"); }, "", ""},
    {"TrimRight(xy)", [](VxString& s) { s.TrimRight("xy"); }, Raw("ax\0y"), "a"},
    {"TrimRight(empty)", [](VxString& s) { s.TrimRight(""); }, "ab  ", "ab  "},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, "  ab ", "ab "},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, "\t\n\v\f\r ab", "ab"},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, "ab", "ab"},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, "   ", ""},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, "", ""},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, "\x08" "ab", "\x08" "ab"},
    // Never passes the first NUL; what follows it moves along.
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, Raw("  \0 ab"), Raw("\0 ab")},
    {"TrimLeft()", [](VxString& s) { s.TrimLeft(); }, Raw(" a\0b"), Raw("a\0b")},
    {"TrimLeft(x)", [](VxString& s) { s.TrimLeft('x'); }, "xxab", "ab"},
    {"TrimLeft(x)", [](VxString& s) { s.TrimLeft('x'); }, "abxx", "abxx"},
    {"TrimLeft(x)", [](VxString& s) { s.TrimLeft('x'); }, "xxx", ""},
    {"TrimLeft(x)", [](VxString& s) { s.TrimLeft('x'); }, "", ""},
    {"TrimLeft(NUL)", [](VxString& s) { s.TrimLeft('\0'); }, "", ""},
    {"TrimLeft(NUL)", [](VxString& s) { s.TrimLeft('\0'); }, Raw("\0\0a"), Raw("\0\0a")},
    {"TrimLeft(xy)", [](VxString& s) { s.TrimLeft("xy"); }, "yxyab", "ab"},
    {"TrimLeft(xy)", [](VxString& s) { s.TrimLeft("xy"); }, "ayx", "ayx"},
    {"TrimLeft(xy)", [](VxString& s) { s.TrimLeft("xy"); }, "xy", ""},
    {"TrimLeft(xy)", [](VxString& s) { s.TrimLeft("xy"); }, Raw("x\0x"), Raw("\0x")},
    {"TrimLeft(empty)", [](VxString& s) { s.TrimLeft(""); }, "  ab", "  ab"},
    {"TrimLeft(null)", [](VxString& s) { s.TrimLeft(static_cast<const char*>(nullptr)); },
     "  ab", "  ab"},
};

TEST(VxStringEditTest, TrimTable) {
  for (const TrimCase& c : kTrimCases) {
    ProbeString s = Make(c.text);
    const int roomBefore = s.GetAllocLength();
    c.trim(s);
    EXPECT_EQ(s.Bytes(), c.expected) << c.label << " on '" << c.text << "'";
    EXPECT_TRUE(s.Terminated()) << c.label << " on '" << c.text << "'";
    EXPECT_EQ(s.GetAllocLength(), roomBefore) << c.label << ": trimming keeps the room";
  }
}

TEST(VxStringEditTest, TrimRightStopsAtFirstNul) {
  ProbeString s = Make(Raw("a \0bcd"));
  s.TrimRight();
  EXPECT_EQ(s.GetLength(), 1);
  EXPECT_EQ(s.GetAllocLength(), 6);
  EXPECT_STREQ(s, "a");
}

TEST(VxStringEditTest, TrimsUnshareOnlyTheTrimmedString) {
  ProbeString a("  ab  ");
  ProbeString b(a);
  a.TrimLeft();
  EXPECT_STREQ(a, "ab  ");
  EXPECT_STREQ(b, "  ab  ");
  ProbeString c(b);
  c.TrimRight();
  EXPECT_STREQ(c, "  ab");
  EXPECT_STREQ(b, "  ab  ");
  EXPECT_EQ(b.RefCount(), 1);
}

TEST(VxStringEditTest, TrimLeftWithEmptyOrNullSetLeavesSharedStringShared) {
  ProbeString a("xxab");
  ProbeString b(a);
  a.TrimLeft("");
  a.TrimLeft(static_cast<const char*>(nullptr));
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(a.Chars(), b.Chars());
}

TEST(VxStringEditTest, TrimsOfTheEmptyStringStayOnTheSharedBlock) {
  ProbeString s;
  s.TrimLeft();
  s.TrimLeft('\0');
  s.TrimLeft('x');
  s.TrimLeft("xy");
  s.TrimRight();
  s.TrimRight('\0');
  s.TrimRight("xy");
  EXPECT_TRUE(s.OnSharedEmpty());
  EXPECT_EQ(s.RefCount(), -2);
}

TEST(VxStringEditTest, TrimmedStringAppendsIntoItsRoom) {
  ProbeString s("abc   ");
  s.TrimRight();
  const char* block = s.Chars();
  s += "de";
  EXPECT_STREQ(s, "abcde");
  EXPECT_EQ(s.Chars(), block);
}

// --- Insert -----------------------------------------------------------------------------

struct InsertCase {
  std::string text;
  int index;
  const char* inserted;
  std::string expected;
  int result;
};

const InsertCase kInsertTextCases[] = {
    {"abc", 10, "xy", "abcxy", 5},
    {"abc", 3, "xy", "abcxy", 5},
    {"abc", 0, "xy", "xyabc", 5},
    {"abc", -4, "xy", "xyabc", 5},
    {"abc", INT_MIN, "x", "xabc", 4},
    {"abc", INT_MAX, "x", "abcx", 4},
    {"abc", 1, "xy", "axybc", 5},
    {"abc", 1, "", "abc", 3},
    {"abc", 1, nullptr, "abc", 3},
    {"", 0, "xy", "xy", 2},
    {"", 5, "xy", "xy", 2},
    {"", 0, "", "", 0},
    {Raw("a\0c"), 2, "b", Raw("a\0bc"), 4},
    {Raw("a\0c"), 3, "d", Raw("a\0cd"), 4},
    {"abc", 1, "x\0y", "axbc", 4},  // the text ends at its own NUL
};

TEST(VxStringEditTest, InsertTextTable) {
  for (const InsertCase& c : kInsertTextCases) {
    ProbeString s = Make(c.text);
    EXPECT_EQ(s.Insert(c.index, c.inserted), c.result) << c.text << " at " << c.index;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text << " at " << c.index;
    EXPECT_TRUE(s.Terminated());
  }
}

struct InsertCharCase {
  std::string text;
  int index;
  char ch;
  std::string expected;
};

const InsertCharCase kInsertCharCases[] = {
    {"abc", -5, 'x', "xabc"},    {"abc", 0, 'x', "xabc"},      {"abc", 2, 'x', "abxc"},
    {"abc", 3, 'x', "abcx"},     {"abc", 99, 'x', "abcx"},     {"abc", INT_MIN, 'x', "xabc"},
    {"", 0, 'x', "x"},           {"", 7, 'x', "x"},            {"abc", 1, '\0', Raw("a\0bc")},
    {"", 0, '\0', Raw("\0")},    {Raw("a\0"), 2, 'b', Raw("a\0b")},
};

TEST(VxStringEditTest, InsertCharacterTable) {
  for (const InsertCharCase& c : kInsertCharCases) {
    ProbeString s = Make(c.text);
    EXPECT_EQ(s.Insert(c.index, c.ch), static_cast<int>(c.expected.size()))
        << c.text << " at " << c.index;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text << " at " << c.index;
    EXPECT_TRUE(s.Terminated());
  }
}

TEST(VxStringEditTest, InsertEmptyTextLeavesSharedStringShared) {
  ProbeString a("abc");
  ProbeString b(a);
  EXPECT_EQ(a.Insert(1, ""), 3);
  EXPECT_EQ(a.Insert(1, static_cast<const char*>(nullptr)), 3);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(a.Chars(), b.Chars());
}

TEST(VxStringEditTest, InsertIntoSharedStringLeavesTheOtherAlone) {
  ProbeString a("abc");
  ProbeString b(a);
  a.Insert(1, "xy");
  EXPECT_STREQ(a, "axybc");
  EXPECT_STREQ(b, "abc");
  EXPECT_EQ(a.GetAllocLength(), 5);
  EXPECT_EQ(b.RefCount(), 1);
  ProbeString c(b);
  c.Insert(0, 'z');
  EXPECT_STREQ(c, "zabc");
  EXPECT_STREQ(b, "abc");
  EXPECT_EQ(c.GetAllocLength(), 4);
}

TEST(VxStringEditTest, InsertGrowsExactlyAndOnlyWhenRoomIsShort) {
  ProbeString roomy = WithRoom("abc", 10);
  const char* block = roomy.Chars();
  roomy.Insert(1, "xyz");
  EXPECT_STREQ(roomy, "axyzbc");
  EXPECT_EQ(roomy.Chars(), block);
  EXPECT_EQ(roomy.GetAllocLength(), 10);
  roomy.Insert(6, "1234");  // fills the room exactly
  EXPECT_STREQ(roomy, "axyzbc1234");
  EXPECT_EQ(roomy.Chars(), block);
  roomy.Insert(0, '!');
  EXPECT_STREQ(roomy, "!axyzbc1234");
  EXPECT_EQ(roomy.GetAllocLength(), 11);

  ProbeString full("abc");
  full.Insert(3, 'd');
  EXPECT_EQ(full.GetAllocLength(), 4);
  full.Insert(2, "xyz");
  EXPECT_STREQ(full, "abxyzcd");
  EXPECT_EQ(full.GetAllocLength(), 7);
}

TEST(VxStringEditTest, EditsOfALockedStringUseItsBlockWhileTheTextFits) {
  ProbeString s = WithRoom("abc", 10);
  s.LockBuffer();
  const char* block = s.Chars();
  s.Insert(0, "xy");
  EXPECT_EQ(s.Replace("ab", "ABCD"), 1);
  s.TrimLeft('x');
  EXPECT_STREQ(s, "yABCDc");
  EXPECT_EQ(s.Chars(), block);
  EXPECT_EQ(s.RefCount(), -1);
  s.Insert(6, "-too-long");  // past the room: a new private block
  EXPECT_STREQ(s, "yABCDc-too-long");
  EXPECT_EQ(s.RefCount(), 1);
  EXPECT_EQ(s.GetAllocLength(), 15);
}

TEST(VxStringEditTest, InsertThatCannotAllocateChangesNothing) {
  ProbeString s("abc");
  platform::FailAllocations(1);
  EXPECT_THROW(s.Insert(1, "xy"), std::bad_alloc);
  platform::FailAllocations(0);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.GetLength(), 3);
  platform::FailAllocations(1);
  EXPECT_THROW(s.Insert(1, 'x'), std::bad_alloc);
  platform::FailAllocations(0);
  EXPECT_STREQ(s, "abc");
}

// --- Delete -----------------------------------------------------------------------------

struct DeleteCase {
  std::string text;
  int index;
  int count;
  std::string expected;
};

const DeleteCase kDeleteCases[] = {
    {"abcdef", 1, 2, "adef"},
    {"abcdef", 10, 1, "abcdef"},
    {"abcdef", 6, 1, "abcdef"},
    {"abcdef", -3, 1, "bcdef"},
    {"abcdef", INT_MIN, 2, "cdef"},
    {"abcdef", 0, 6, ""},
    {"abcdef", 5, 1, "abcde"},
    {"abcdef", 2, 0, "abcdef"},
    {"abcdef", 2, -1, "abcdef"},
    {"abcdef", 2, INT_MIN, "abcdef"},
    // A count reaching past the end deletes to the end and no further.
    {"abcdef", 4, 10, "abcd"},
    {"abcdef", 0, 7, ""},
    {"abcdef", 3, INT_MAX, "abc"},
    {"abcdef", -2, INT_MAX, ""},
    {"", 0, 1, ""},
    {"", -1, 5, ""},
    {Raw("a\0b\0c"), 1, 1, Raw("ab\0c")},
    {Raw("a\0b\0c"), 1, 3, "ac"},
    {Raw("a\0b\0c"), 3, 5, Raw("a\0b")},
};

TEST(VxStringEditTest, DeleteTable) {
  for (const DeleteCase& c : kDeleteCases) {
    ProbeString s = Make(c.text);
    const int room = s.GetAllocLength();
    EXPECT_EQ(s.Delete(c.index, c.count), static_cast<int>(c.text.size()))
        << c.text << " " << c.index << ", " << c.count;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text << " " << c.index << ", " << c.count;
    EXPECT_TRUE(s.Terminated());
    EXPECT_EQ(s.GetAllocLength(), room);
  }
}

TEST(VxStringEditTest, DeleteDefaultsToOneCharacter) {
  ProbeString s("abc");
  EXPECT_EQ(s.Delete(1), 3);
  EXPECT_STREQ(s, "ac");
}

TEST(VxStringEditTest, DeletePastTheEndStaysWithinTheBlock) {
  // Room behind the text holds stale bytes that a count past the end must not pull in.
  ProbeString s = WithRoom("abcdefgh", 8);
  s.ReleaseBuffer(4);
  EXPECT_EQ(s.Delete(2, 100), 4);
  EXPECT_EQ(s.Bytes(), "ab");
  EXPECT_TRUE(s.Terminated());
  EXPECT_EQ(s.GetAllocLength(), 8);
}

TEST(VxStringEditTest, DeleteThatDoesNothingLeavesSharedStringShared) {
  ProbeString a("abc");
  ProbeString b(a);
  EXPECT_EQ(a.Delete(1, 0), 3);
  EXPECT_EQ(a.Delete(3, 1), 3);
  EXPECT_EQ(a.Delete(1, -2), 3);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(a.Delete(0, 1), 3);
  EXPECT_STREQ(a, "bc");
  EXPECT_STREQ(b, "abc");
  EXPECT_EQ(b.RefCount(), 1);
}

// --- Replace of characters, Remove ------------------------------------------------------

struct CharReplaceCase {
  std::string text;
  char oldChar;
  char newChar;
  std::string expected;
  int count;
};

const CharReplaceCase kCharReplaceCases[] = {
    {"banana", 'a', 'o', "bonono", 3},
    {"banana", 'x', 'o', "banana", 0},
    {"banana", 'a', 'a', "banana", 0},
    {"", 'a', 'b', "", 0},
    // Works over the length: NUL can be replaced and be the replacement.
    {Raw("a\0b\0"), '\0', '-', "a-b-", 2},
    {"a-b", '-', '\0', Raw("a\0b"), 1},
    {Raw("a\0a"), 'a', 'b', Raw("b\0b"), 2},
    {"\xE4\xE4x", '\xE4', 'a', "aax", 2},
};

TEST(VxStringEditTest, ReplaceCharacterTable) {
  for (const CharReplaceCase& c : kCharReplaceCases) {
    ProbeString s = Make(c.text);
    EXPECT_EQ(s.Replace(c.oldChar, c.newChar), c.count) << c.text;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text;
    EXPECT_TRUE(s.Terminated());
  }
}

TEST(VxStringEditTest, ReplaceEqualCharactersLeavesSharedStringShared) {
  ProbeString a("banana");
  ProbeString b(a);
  EXPECT_EQ(a.Replace('a', 'a'), 0);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(a.Replace('a', 'o'), 3);
  EXPECT_STREQ(a, "bonono");
  EXPECT_STREQ(b, "banana");
}

struct RemoveCase {
  std::string text;
  char ch;
  std::string expected;
  int removed;
};

const RemoveCase kRemoveCases[] = {
    {"banana", 'a', "bnn", 3},       {"banana", 'x', "banana", 0},
    {"aaa", 'a', "", 3},             {"", 'a', "", 0},
    {"", '\0', "", 0},               {Raw("a\0b\0\0c"), '\0', "abc", 3},
    {Raw("a\0b\0c"), 'b', Raw("a\0\0c"), 1}, {"x\xE4y\xE4", '\xE4', "xy", 2},
};

TEST(VxStringEditTest, RemoveTable) {
  for (const RemoveCase& c : kRemoveCases) {
    ProbeString s = Make(c.text);
    const int room = s.GetAllocLength();
    EXPECT_EQ(s.Remove(c.ch), c.removed) << c.text;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text;
    EXPECT_TRUE(s.Terminated());
    EXPECT_EQ(s.GetAllocLength(), room);
  }
}

TEST(VxStringEditTest, RemoveUnsharesAndLeavesTheOtherAlone) {
  ProbeString a("banana");
  ProbeString b(a);
  EXPECT_EQ(a.Remove('n'), 2);
  EXPECT_STREQ(a, "baaa");
  EXPECT_STREQ(b, "banana");
  ProbeString empty;
  EXPECT_EQ(empty.Remove('a'), 0);
  EXPECT_TRUE(empty.OnSharedEmpty());
}

// --- Replace of texts -------------------------------------------------------------------

struct TextReplaceCase {
  std::string text;
  const char* oldText;
  const char* newText;
  std::string expected;
  int count;
};

const TextReplaceCase kTextReplaceCases[] = {
    {"abab", "ab", "xyz", "xyzxyz", 2},
    {"aaa", "aa", "b", "ba", 1},
    {"banana", "a", nullptr, "bnn", 3},
    {"banana", "a", "", "bnn", 3},
    {"banana", "", "x", "banana", 0},
    {"banana", nullptr, "x", "banana", 0},
    {"banana", "x", "y", "banana", 0},
    {"banana", "banana", "", "", 1},
    {"banana", "bananas", "x", "banana", 0},
    {"banana", "ana", "ANA", "bANAna", 1},  // occurrences do not overlap
    {"aaaa", "a", "aa", "aaaaaaaa", 4},      // the new text is never searched
    {"abc", "b", "abc", "aabcc", 1},
    {"", "a", "b", "", 0},
    {"a.b.c", ".", "\\", "a\\b\\c", 2},
    {"AbAB", "ab", "x", "AbAB", 0},          // case matters
    // Pieces separated by NULs are searched one by one; a match never spans a NUL.
    {Raw("ab\0ab\0ab"), "ab", "xyz", Raw("xyz\0xyz\0xyz"), 3},
    {Raw("ab\0ab\0ab"), "ab", "x", Raw("x\0x\0x"), 3},
    {Raw("a\0b"), "ab", "x", Raw("a\0b"), 0},
    {Raw("\0ab\0"), "ab", "", Raw("\0\0"), 1},
    {Raw("\0\0ab"), "b", "bb", Raw("\0\0abb"), 1},
    {Raw("ab\0"), "ab", "cde", Raw("cde\0"), 1},
};

TEST(VxStringEditTest, ReplaceTextTable) {
  for (const TextReplaceCase& c : kTextReplaceCases) {
    ProbeString s = Make(c.text);
    const char* label = c.oldText == nullptr ? "(null)" : c.oldText;
    EXPECT_EQ(s.Replace(c.oldText, c.newText), c.count) << c.text << " / " << label;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text << " / " << label;
    EXPECT_TRUE(s.Terminated());
  }
}

TEST(VxStringEditTest, ReplaceNoCaseTable) {
  const TextReplaceCase cases[] = {
      {"aBcAb", "AB", "x", "xcx", 2},
      {"aBcAb", "ab", "Yz", "YzcYz", 2},
      {"ABAB", "ab", "xyz", "xyzxyz", 2},
      {"banana", "A", nullptr, "bnn", 3},
      {"Banana", "b", "c", "canana", 1},  // the new text goes in unchanged
      {"banana", "", "x", "banana", 0},
      {"banana", nullptr, "x", "banana", 0},
      {"banana", "x", "y", "banana", 0},
      {"", "a", "b", "", 0},
      {"\xC4\xE4", "\xE4", "a", "\xC4" "a", 1},  // only A to Z have a case
      {"a_b", "A_B", "-", "-", 1},
      {Raw("aB\0Ab\0AB"), "ab", "xyz", Raw("xyz\0xyz\0xyz"), 3},
      {Raw("aB\0Ab\0AB"), "ab", "", Raw("\0\0"), 3},
      {"AAAA", "a", "aa", "aaaaaaaa", 4},
  };
  for (const TextReplaceCase& c : cases) {
    ProbeString s = Make(c.text);
    const char* label = c.oldText == nullptr ? "(null)" : c.oldText;
    EXPECT_EQ(s.ReplaceNoCase(c.oldText, c.newText), c.count) << c.text << " / " << label;
    EXPECT_EQ(s.Bytes(), c.expected) << c.text << " / " << label;
    EXPECT_TRUE(s.Terminated());
  }
}

TEST(VxStringEditTest, ReplaceThatFindsNothingLeavesSharedStringShared) {
  ProbeString a("banana");
  ProbeString b(a);
  const uint64_t allocations = platform::HeapAllocationCount();
  EXPECT_EQ(a.Replace("x", "y"), 0);
  EXPECT_EQ(a.Replace("", "y"), 0);
  EXPECT_EQ(a.Replace(static_cast<const char*>(nullptr), "y"), 0);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(platform::HeapAllocationCount(), allocations);
  EXPECT_EQ(a.ReplaceNoCase("x", "y"), 0);
  EXPECT_EQ(a.ReplaceNoCase("", "y"), 0);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(a.Chars(), b.Chars());
}

TEST(VxStringEditTest, ReplaceInSharedStringLeavesTheOtherAlone) {
  ProbeString a("abab");
  ProbeString b(a);
  EXPECT_EQ(a.Replace("ab", "xyz"), 2);
  EXPECT_STREQ(a, "xyzxyz");
  EXPECT_STREQ(b, "abab");
  EXPECT_EQ(a.GetAllocLength(), 6);
  ProbeString c(b);
  EXPECT_EQ(c.ReplaceNoCase("AB", "-"), 2);
  EXPECT_STREQ(c, "--");
  EXPECT_STREQ(b, "abab");
  ProbeString d(b);
  EXPECT_EQ(d.Replace("ab", "xy"), 2);  // same length
  EXPECT_STREQ(d, "xyxy");
  EXPECT_STREQ(b, "abab");
  EXPECT_EQ(b.RefCount(), 1);
}

TEST(VxStringEditTest, ReplaceGrowsExactlyAndShrinksInPlace) {
  ProbeString full("abab");
  full.Replace("b", "bbb");
  EXPECT_STREQ(full, "abbbabbb");
  EXPECT_EQ(full.GetAllocLength(), 8);

  ProbeString shrink("abab");
  const char* block = shrink.Chars();
  shrink.Replace("ab", "x");
  EXPECT_STREQ(shrink, "xx");
  EXPECT_EQ(shrink.Chars(), block);
  EXPECT_EQ(shrink.GetAllocLength(), 4);
}

// Growing in place over NUL-separated pieces moves the later pieces beyond the old length;
// every counted occurrence is still replaced, and with the room exactly the new length
// nothing may be written behind it (ASan watches the block's end).
TEST(VxStringEditTest, ReplaceGrowingInPlaceOverPiecesReplacesEveryOccurrence) {
  const std::string text = Raw("ab\0ab\0ab\0abab");
  const std::string expected = Raw("wxyz\0wxyz\0wxyz\0wxyzwxyz");
  for (int room : {static_cast<int>(expected.size()), static_cast<int>(expected.size()) + 7}) {
    ProbeString s = WithRoom(text, room);
    const char* block = s.Chars();
    EXPECT_EQ(s.Replace("ab", "wxyz"), 5) << room;
    EXPECT_EQ(s.Bytes(), expected) << room;
    EXPECT_TRUE(s.Terminated());
    EXPECT_EQ(s.Chars(), block) << room;
    EXPECT_EQ(s.GetAllocLength(), room);

    ProbeString n = WithRoom(Raw("Ab\0aB\0ab\0ABab"), room);
    EXPECT_EQ(n.ReplaceNoCase("ab", "wxyz"), 5) << room;
    EXPECT_EQ(n.Bytes(), expected) << room;
    EXPECT_EQ(n.Chars(), n.Chars());
  }
}

TEST(VxStringEditTest, ReplaceGrowingPastTheRoomGetsAnExactBlock) {
  ProbeString s = WithRoom(Raw("ab\0ab"), 6);
  EXPECT_EQ(s.Replace("ab", "abc"), 2);
  EXPECT_EQ(s.Bytes(), Raw("abc\0abc"));
  EXPECT_EQ(s.GetAllocLength(), 7);
}

TEST(VxStringEditTest, ReplaceThatCannotAllocateChangesNothing) {
  ProbeString s("abab");
  platform::FailAllocations(1);
  EXPECT_THROW(s.Replace("b", "xyz"), std::bad_alloc);
  platform::FailAllocations(0);
  EXPECT_STREQ(s, "abab");
  EXPECT_EQ(s.GetLength(), 4);
}

TEST(VxStringEditTest, ReplaceLongTextWithManyOccurrences) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    text += (i % 7 == 0) ? std::string(1, '\0') : "ab,";
    expected += (i % 7 == 0) ? std::string(1, '\0') : "<ab>;";
  }
  ProbeString s = Make(text);
  EXPECT_EQ(s.Replace(",", ">;"), 2000 - 286);
  EXPECT_EQ(s.Replace("ab", "<ab"), 2000 - 286);
  EXPECT_EQ(s.Bytes(), expected);
  EXPECT_EQ(s.Replace("<ab>;", ""), 2000 - 286);
  EXPECT_EQ(s.Bytes(), std::string(286, '\0'));
}

}  // namespace
