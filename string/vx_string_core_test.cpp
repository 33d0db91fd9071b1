// Tests of VxString's blocks, construction, assignment, concatenation and buffer access.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "platform/testing/parallel_runs.h"
#include "string/vx_string.h"
#include "platform/testing/allocation_faults.h"

namespace {

// Opens the protected block header to the tests. A pointer to the member named through the
// subclass may be applied to any VxString.
class Probe : public VxString {
 public:
  static VxStringData* Of(const VxString& s) {
    VxStringData* (VxString::*getData)() const = &Probe::GetData;
    return (s.*getData)();
  }
};

int RefCount(const VxString& s) { return Probe::Of(s)->refCount; }
const char* EmptyChars() { return VxGetEmptyString(); }
std::string Text(const VxString& s) { return std::string(s, static_cast<size_t>(s.GetLength())); }

// Checks the shape every member must leave: length, room, count and the terminator.
void ExpectBlock(const VxString& s, const std::string& text, int alloc, int refCount) {
  EXPECT_EQ(text, Text(s));
  EXPECT_EQ(static_cast<int>(text.size()), s.GetLength());
  EXPECT_EQ(alloc, s.GetAllocLength());
  EXPECT_EQ(refCount, RefCount(s));
  EXPECT_EQ('\0', static_cast<const char*>(s)[s.GetLength()]);
}

void ExpectSharedEmptyBlockIntact() {
  const VxStringData* empty = Probe::Of(VxGetEmptyString());
  EXPECT_EQ(-2, empty->refCount);
  EXPECT_EQ(0, empty->dataLength);
  EXPECT_EQ(0, empty->allocLength);
  EXPECT_EQ('\0', *EmptyChars());
}

TEST(VxStringTest, DefaultStringsShareTheEmptyBlock) {
  {
    VxString a;
    VxString b;
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
    EXPECT_EQ(EmptyChars(), static_cast<const char*>(a));
    ExpectBlock(a, "", 0, -2);
    EXPECT_TRUE(a.IsEmpty());
    VxString c(a);
    VxString d;
    d = a;
    EXPECT_EQ(EmptyChars(), static_cast<const char*>(c));
    EXPECT_EQ(EmptyChars(), static_cast<const char*>(d));
  }
  ExpectSharedEmptyBlockIntact();
}

TEST(VxStringTest, ConstructFromTextTakesExactRoom) {
  struct Case {
    const char* text;
    int length;
  } const cases[] = {{nullptr, 0}, {"", 0}, {"a", 1}, {"abc", 3}, {"a\0bc", 1}, {"\xE9\xFF", 2}};
  for (const Case& c : cases) {
    VxString s(c.text);
    EXPECT_EQ(c.length, s.GetLength());
    EXPECT_EQ(c.length, s.GetAllocLength());
    EXPECT_EQ(c.length == 0 ? -2 : 1, RefCount(s));
    EXPECT_EQ(c.length == 0, static_cast<const char*>(s) == EmptyChars());
    VxString u(reinterpret_cast<const unsigned char*>(c.text));
    EXPECT_EQ(Text(s), Text(u));
    EXPECT_EQ(c.length, u.GetAllocLength());
  }
}

TEST(VxStringTest, ConstructFromRepeatedCharacter) {
  struct Case {
    char ch;
    int repeat;
    std::string expected;
  } const cases[] = {
      {'x', -3, ""}, {'x', 0, ""}, {'x', 1, "x"}, {'x', 5, "xxxxx"}, {'\0', 2, std::string(2, '\0')},
      {'\xFF', 3, "\xFF\xFF\xFF"},
  };
  for (const Case& c : cases) {
    VxString s(c.ch, c.repeat);
    ExpectBlock(s, c.expected, static_cast<int>(c.expected.size()), c.expected.empty() ? -2 : 1);
  }
}

TEST(VxStringTest, ConstructFromBytesKeepsNuls) {
  struct Case {
    const char* bytes;
    int count;
    std::string expected;
  } const cases[] = {
      {"a\0b", 3, std::string("a\0b", 3)}, {"abc", 2, "ab"}, {"abc", 0, ""}, {nullptr, 0, ""},
      {"\0\0", 2, std::string(2, '\0')},
  };
  for (const Case& c : cases) {
    VxString s(c.bytes, c.count);
    ExpectBlock(s, c.expected, c.count, c.count == 0 ? -2 : 1);
  }
}

TEST(VxStringTest, CopySharesTheBlockWithoutAllocating) {
  VxString a("abc");
  uint64_t before = platform::HeapAllocationCount();
  VxString b(a);
  VxString c;
  c = a;
  EXPECT_EQ(before, platform::HeapAllocationCount());
  EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
  EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(c));
  EXPECT_EQ(3, RefCount(a));
  {
    VxString d(b);
    EXPECT_EQ(4, RefCount(a));
  }
  EXPECT_EQ(3, RefCount(a));
  c = "other";
  EXPECT_EQ(2, RefCount(a));
}

TEST(VxStringTest, AppendingToACopyLeavesTheOtherAlone) {
  VxString a("abc");
  VxString b(a);
  const char* shared = a;
  b += "de";
  EXPECT_EQ(shared, static_cast<const char*>(a));
  ExpectBlock(a, "abc", 3, 1);
  ExpectBlock(b, "abcde", 5, 1);
  EXPECT_NE(shared, static_cast<const char*>(b));
}

TEST(VxStringTest, AppendingNothingKeepsSharing) {
  VxString a("abc");
  VxString b(a);
  b += static_cast<const char*>(nullptr);
  b += "";
  b += VxString();
  EXPECT_EQ(2, RefCount(a));
  EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
}

TEST(VxStringTest, AppendsGrowExactlyAndKeepNuls) {
  VxString s;
  s += 'a';
  ExpectBlock(s, "a", 1, 1);
  s += "bc";
  ExpectBlock(s, "abc", 3, 1);
  s += '\0';
  ExpectBlock(s, std::string("abc\0", 4), 4, 1);
  s += VxString("x\0y", 3);
  ExpectBlock(s, std::string("abc\0x\0y", 7), 7, 1);
}

TEST(VxStringTest, AppendingTheStringToItself) {
  VxString s("abc");
  s += s;
  ExpectBlock(s, "abcabc", 6, 1);
  s += static_cast<const char*>(s) + 4;  // the source lies in the block being replaced
  ExpectBlock(s, "abcabcbc", 8, 1);
  s.GetBuffer(20);
  s += static_cast<const char*>(s) + 6;  // in place, with room
  ExpectBlock(s, "abcabcbcbc", 20, 1);
}

TEST(VxStringTest, AssignmentCases) {
  VxString a("abc");
  VxString b;
  b = a;
  EXPECT_EQ(2, RefCount(a));
  b = b;
  EXPECT_EQ(2, RefCount(a));
  b = VxString();
  EXPECT_EQ(EmptyChars(), static_cast<const char*>(b));
  EXPECT_EQ(1, RefCount(a));

  b = '\0';
  ExpectBlock(b, std::string(1, '\0'), 1, 1);
  b = 'q';
  ExpectBlock(b, "q", 1, 1);
  b = static_cast<const char*>(nullptr);
  ExpectBlock(b, "", 1, 1);  // the private block keeps its room
  b = reinterpret_cast<const unsigned char*>("\xE9xyz");
  ExpectBlock(b, "\xE9xyz", 4, 1);
  b = static_cast<const char*>(b) + 1;  // from inside itself, in place
  ExpectBlock(b, "xyz", 4, 1);

  VxString c(b);
  c = static_cast<const char*>(c) + 1;  // from inside a shared block
  ExpectBlock(c, "yz", 2, 1);
  ExpectBlock(b, "xyz", 4, 1);

  VxString nuls("a\0b", 3);
  c = nuls;  // a string gives its whole length
  ExpectBlock(c, std::string("a\0b", 3), 3, 2);

  VxString empty;
  empty = "";
  ExpectBlock(empty, "", 0, -2);
  ExpectSharedEmptyBlockIntact();
}

TEST(VxStringTest, OperatorPlusAlwaysGivesAFreshBlock) {
  VxString empty;
  VxString abc("abc");
  struct Case {
    const char* name;
    std::function<VxString()> make;
    std::string expected;
  } const cases[] = {
      {"empty+empty", [&] { return empty + empty; }, ""},
      {"empty+text", [&] { return empty + ""; }, ""},
      {"text+empty", [&] { return static_cast<const char*>(nullptr) + empty; }, ""},
      {"empty+abc", [&] { return empty + abc; }, "abc"},
      {"abc+empty", [&] { return abc + empty; }, "abc"},
      {"abc+abc", [&] { return abc + abc; }, "abcabc"},
      {"abc+text", [&] { return abc + "de"; }, "abcde"},
      {"text+abc", [&] { return "de" + abc; }, "deabc"},
      {"abc+char", [&] { return abc + 'z'; }, "abcz"},
      {"char+abc", [&] { return 'z' + abc; }, "zabc"},
      {"abc+nul", [&] { return abc + '\0'; }, std::string("abc\0", 4)},
      {"char+empty", [&] { return 'z' + empty; }, "z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VxString r = c.make();
    ExpectBlock(r, c.expected, static_cast<int>(c.expected.size()), c.expected.empty() ? -2 : 1);
    EXPECT_NE(static_cast<const char*>(abc), static_cast<const char*>(r));
  }
  EXPECT_EQ(1, RefCount(abc));
}

TEST(VxStringTest, GetBufferAndReleaseBuffer) {
  VxString s("abc");
  char* buffer = s.GetBuffer(100);
  EXPECT_EQ(std::string("abc"), buffer);
  ExpectBlock(s, "abc", 100, 1);
  s.ReleaseBuffer(-1);
  ExpectBlock(s, "abc", 100, 1);
  const char* block = s;
  s += "de";
  EXPECT_EQ(block, static_cast<const char*>(s));
  ExpectBlock(s, "abcde", 100, 1);
  s.FreeExtra();
  ExpectBlock(s, "abcde", 5, 1);
}

TEST(VxStringTest, GetBufferNeverShrinksTheText) {
  VxString s("abcdef");
  const char* block = s;
  EXPECT_EQ(block, s.GetBuffer(2));
  ExpectBlock(s, "abcdef", 6, 1);

  VxString t(s);
  char* own = t.GetBuffer(2);
  EXPECT_NE(block, own);
  ExpectBlock(t, "abcdef", 6, 1);
  ExpectBlock(s, "abcdef", 6, 1);

  VxString empty;
  EXPECT_EQ(EmptyChars(), empty.GetBuffer(0));
  EXPECT_EQ(-2, RefCount(empty));
}

TEST(VxStringTest, ReleaseBufferLengths) {
  VxString s;
  char* buffer = s.GetBuffer(10);
  std::memcpy(buffer, "ab\0zz", 5);
  s.ReleaseBuffer(-1);
  ExpectBlock(s, "ab", 10, 1);

  VxString t("abcdef");
  t.ReleaseBuffer(4);
  ExpectBlock(t, "abcd", 6, 1);
  t.ReleaseBuffer(0);
  ExpectBlock(t, "", 6, 1);

  // On a shared block the release first makes a private copy.
  VxString u("abcdef");
  VxString v(u);
  v.ReleaseBuffer(2);
  ExpectBlock(v, "ab", 6, 1);
  ExpectBlock(u, "abcdef", 6, 1);

  VxString empty;
  empty.ReleaseBuffer(-1);
  ExpectBlock(empty, "", 0, -2);
  ExpectSharedEmptyBlockIntact();
}

TEST(VxStringTest, GetBufferSetLength) {
  VxString s("ab");
  char* buffer = s.GetBufferSetLength(5);
  EXPECT_EQ(buffer, static_cast<const char*>(s));
  EXPECT_EQ(5, s.GetLength());
  EXPECT_EQ(5, s.GetAllocLength());
  EXPECT_EQ(0, std::memcmp(buffer, "ab", 2));
  EXPECT_EQ('\0', buffer[5]);

  VxString t("abcdef");
  t.GetBufferSetLength(3);
  ExpectBlock(t, "abc", 6, 1);

  VxString empty;
  empty.GetBufferSetLength(0);
  ExpectBlock(empty, "", 0, -2);
}

TEST(VxStringTest, FreeExtraCases) {
  VxString exact("abc");
  const char* block = exact;
  exact.FreeExtra();
  EXPECT_EQ(block, static_cast<const char*>(exact));

  VxString roomy("abc");
  roomy.GetBuffer(50);
  VxString sharer(roomy);
  roomy.FreeExtra();
  ExpectBlock(roomy, "abc", 3, 1);
  ExpectBlock(sharer, "abc", 50, 1);

  VxString none("abc");
  none.ReleaseBuffer(0);
  none.FreeExtra();
  ExpectBlock(none, "", 0, -2);

  VxString locked("abc");
  locked.GetBuffer(9);
  locked.LockBuffer();
  locked.FreeExtra();
  ExpectBlock(locked, "abc", 3, 1);  // a new exact block is never locked
}

TEST(VxStringTest, LockedBlocksAreNeverShared) {
  VxString s("abc");
  VxString sharer(s);
  char* locked = s.LockBuffer();
  EXPECT_EQ(-1, RefCount(s));
  EXPECT_EQ(1, RefCount(sharer));
  EXPECT_NE(static_cast<const char*>(sharer), locked);

  VxString copy(s);
  ExpectBlock(copy, "abc", 3, 1);
  VxString assigned;
  assigned = s;
  ExpectBlock(assigned, "abc", 3, 1);
  EXPECT_EQ(-1, RefCount(s));

  s = "xy";  // fits: stays in the locked block
  EXPECT_EQ(locked, static_cast<const char*>(s));
  ExpectBlock(s, "xy", 3, -1);
  s = copy;  // from a string, still copied into the block
  EXPECT_EQ(locked, static_cast<const char*>(s));
  ExpectBlock(s, "abc", 3, -1);
  EXPECT_EQ(1, RefCount(copy));

  s.Empty();
  EXPECT_EQ(locked, static_cast<const char*>(s));
  ExpectBlock(s, "", 3, -1);
  s = VxString();
  ExpectBlock(s, "", 3, -1);

  s.UnlockBuffer();
  ExpectBlock(s, "", 3, 1);
}

TEST(VxStringTest, LockedBlockThatMustGrowIsReplaced) {
  VxString s("abc");
  s.LockBuffer();
  s = "longer text";
  ExpectBlock(s, "longer text", 11, 1);
  s.LockBuffer();
  s += "!";
  ExpectBlock(s, "longer text!", 12, 1);
  s.LockBuffer();
  // Destroying or releasing a locked string frees its block (the leak checker would see it).
}

TEST(VxStringTest, CopyAndAssignmentFromLockedDifferOnEmbeddedNuls) {
  VxString s("a\0b", 3);
  s.LockBuffer();
  VxString copy(s);
  ExpectBlock(copy, "a", 1, 1);
  VxString assigned;
  assigned = s;
  ExpectBlock(assigned, std::string("a\0b", 3), 3, 1);
}

TEST(VxStringTest, LockingTheEmptyStringKeepsTheSharedBlock) {
  VxString s;
  EXPECT_EQ(EmptyChars(), s.LockBuffer());
  EXPECT_EQ(-2, RefCount(s));
  s.UnlockBuffer();
  EXPECT_EQ(-2, RefCount(s));
  ExpectSharedEmptyBlockIntact();
}

TEST(VxStringTest, EmptyCases) {
  VxString a("abc");
  VxString b(a);
  b.Empty();
  EXPECT_EQ(EmptyChars(), static_cast<const char*>(b));
  ExpectBlock(a, "abc", 3, 1);

  VxString roomy("abc");
  roomy.ReleaseBuffer(0);
  roomy.Empty();  // length 0 already: the private block stays
  ExpectBlock(roomy, "", 3, 1);

  VxString empty;
  empty.Empty();
  ExpectBlock(empty, "", 0, -2);
}

// Every allocating member must throw before the string changes, and never write through null.
TEST(VxStringTest, FailedAllocationThrowsAndChangesNothing) {
  struct Case {
    const char* name;
    std::function<void(VxString&)> run;
  } const cases[] = {
      {"assign longer", [](VxString& s) { s = "a much longer text"; }},
      {"assign char to shared", [](VxString& s) { s = 'x'; }},
      {"append", [](VxString& s) { s += "more"; }},
      {"append char", [](VxString& s) { s += 'x'; }},
      {"append self", [](VxString& s) { s += s; }},
      {"GetBuffer", [](VxString& s) { s.GetBuffer(64); }},
      {"GetBufferSetLength", [](VxString& s) { s.GetBufferSetLength(64); }},
      {"ReleaseBuffer", [](VxString& s) { s.ReleaseBuffer(1); }},
      {"FreeExtra", [](VxString& s) { s.FreeExtra(); }},
      {"LockBuffer", [](VxString& s) { s.LockBuffer(); }},
      {"Format", [](VxString& s) { s.Format("%d", 7); }},
      {"Format long", [](VxString& s) { s.Format("%600d", 7); }},
      {"wide", [](VxString& s) { static_cast<const unsigned short*>(s); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VxString s("abcd");
    s.GetBuffer(8);  // FreeExtra then has something to do
    VxString sharer(s);  // shared, so that every changing member must allocate
    const char* block = s;
    platform::FailAllocations(1);
    EXPECT_THROW(c.run(s), std::bad_alloc);
    platform::FailAllocations(0);
    EXPECT_EQ(block, static_cast<const char*>(s));
    ExpectBlock(s, "abcd", 8, 2);
  }
}

TEST(VxStringTest, FailedConstructionThrows) {
  const std::function<void()> cases[] = {
      [] { VxString s("abc"); },
      [] { VxString s('x', 3); },
      [] { VxString s("abc", 3); },
      [] { VxString s(reinterpret_cast<const unsigned char*>("abc")); },
      [] {
        VxString locked("abc");
        locked.LockBuffer();
        platform::FailAllocations(1);
        VxString s(locked);
      },
      [] { VxString a("abc"); platform::FailAllocations(1); VxString s = a + "x"; },
  };
  for (const std::function<void()>& run : cases) {
    platform::FailAllocations(1);
    EXPECT_THROW(run(), std::bad_alloc);
    platform::FailAllocations(0);
  }
  // Construction of the empty string never allocates.
  platform::FailAllocations(1);
  EXPECT_NO_THROW({ VxString s(""); VxString t('x', 0); VxString u("abc", 0); });
  platform::FailAllocations(0);
}

TEST(VxStringTest, ConcurrentSharersCountTheBlockExactly) {
  VxString source("shared between threads");
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  platform::RunInParallel(kThreads, [&source] {
    std::vector<VxString> held;
    for (int i = 0; i < kRounds; ++i) {
      VxString copy(source);
      VxString assigned;
      assigned = copy;
      VxString empty(VxGetEmptyString());  // never counted, so never raced on
      empty = VxString();
      if (i % 7 == 0) held.push_back(assigned);
      if (held.size() > 16) held.clear();
      if (i % 101 == 0) {
        VxString mine(copy);
        mine += "!";  // the writer takes a private block; the others keep theirs
      }
    }
  });
  ExpectBlock(source, "shared between threads", 22, 1);
  ExpectSharedEmptyBlockIntact();
}

}  // namespace
