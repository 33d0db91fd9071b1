// Tests of VxString's formatting members and its 16-bit view.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/memory.h"
#include "string/vx_string.h"
#include "platform/testing/allocation_faults.h"

namespace {

class Probe : public VxString {
 public:
  static VxStringData* Of(const VxString& s) {
    VxStringData* (VxString::*getData)() const = &Probe::GetData;
    return (s.*getData)();
  }
};

int RefCount(const VxString& s) { return Probe::Of(s)->refCount; }
std::string Text(const VxString& s) { return std::string(s, static_cast<size_t>(s.GetLength())); }

void FormatThroughV(VxString& s, const char* format, ...) {
  va_list args;
  va_start(args, format);
  s.FormatV(format, args);
  va_end(args);
}

// The C runtime's own text for a format: Format gives what the runtime's formatter gives, and
// runtimes differ on a few conversions (msvcrt writes three exponent digits).
std::string RuntimeText(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

struct FormatCase {
  const char* name;
  std::function<void(VxString&)> format;
  std::string text;
  int alloc;
};

// The estimate of every row is the room of an empty string after formatting.
TEST(VxStringTest, FormatRoomIsTheEstimate) {
  const std::string ten = "C:\\tmp\\a.b";
  const FormatCase cases[] = {
      {"plain", [](VxString& s) { s.Format("abc"); }, "abc", 3},
      {"%d", [](VxString& s) { s.Format("%d", 5); }, "5", 32},
      {"%10.3d", [](VxString& s) { s.Format("%10.3d", 5); }, "       005", 32},
      {"%40d", [](VxString& s) { s.Format("%40d", 5); }, std::string(39, ' ') + "5", 40},
      {"%30.5d", [](VxString& s) { s.Format("%30.5d", 5); }, std::string(25, ' ') + "00005", 35},
      {"%i", [](VxString& s) { s.Format("%i", -12); }, "-12", 32},
      {"%u", [](VxString& s) { s.Format("%u", 7u); }, "7", 32},
      {"%o", [](VxString& s) { s.Format("%o", 8); }, "10", 32},
      {"%X", [](VxString& s) { s.Format("%X", 255); }, "FF", 32},
      {"%+d", [](VxString& s) { s.Format("%+d", 3); }, "+3", 32},
      {"%ld", [](VxString& s) { s.Format("%ld", 9L); }, "9", 32},
      {"%hd", [](VxString& s) { s.Format("%hd", 4); }, "4", 32},
      {"%#x", [](VxString& s) { s.Format("%#x", 255); }, "0xff", 34},
      {"%#o", [](VxString& s) { s.Format("%#o", 8); }, "010", 34},
      {"%##x", [](VxString& s) { s.Format("%##x", 1); }, "0x1", 36},
      {"%#40x", [](VxString& s) { s.Format("%#40x", 1); }, std::string(37, ' ') + "0x1", 42},
      {"%.1f", [](VxString& s) { s.Format("%.1f", 1.5); }, "1.5", 128},
      {"%e", [](VxString& s) { s.Format("%.2e", 1.5); }, RuntimeText("%.2e", 1.5), 128},
      {"%G", [](VxString& s) { s.Format("%G", 0.5); }, "0.5", 128},
      {"%100.50f", [](VxString& s) { s.Format("%100.50f", 0.0); }, std::string(48, ' ') + "0." + std::string(50, '0'), 150},
      {"%c", [](VxString& s) { s.Format("%c", 'x'); }, "x", 2},
      {"%5c", [](VxString& s) { s.Format("%-5c|", 'x'); }, "x    |", 6},
      {"%s null", [](VxString& s) { s.Format("%s", static_cast<const char*>(nullptr)); }, "(null)", 6},
      {"%s empty", [](VxString& s) { s.Format("%s", ""); }, "", 1},
      {"%s", [](VxString& s) { s.Format("%s", "abcdef"); }, "abcdef", 6},
      {"%-20s", [](VxString& s) { s.Format("%-20s", "ab"); }, "ab" + std::string(18, ' '), 20},
      {"%.3s", [](VxString& s) { s.Format("%.3s", "abcdef"); }, "abc", 3},
      {"%.*s", [](VxString& s) { s.Format("%.*s", 2, "abcdef"); }, "ab", 2},
      {"%-*s", [](VxString& s) { s.Format("%-*s|", 10, "ab"); }, "ab        |", 11},
      {"%*d", [](VxString& s) { s.Format("%*d", 50, 5); }, std::string(49, ' ') + "5", 50},
      {"%%", [](VxString& s) { s.Format("%%"); }, "%", 1},
      {"a%%b", [](VxString& s) { s.Format("a%%b"); }, "a%b", 3},
      {"%p", [](VxString& s) { s.Format("%p", static_cast<void*>(&s)); }, "", 32},
      {"mixed", [](VxString& s) { s.Format("a%sb%dc", "x", 1); }, "axb1c", 36},
      {"two texts", [](VxString& s) { s.Format("%s%s", "ab", "cde"); }, "abcde", 5},
      {"del line", [&ten](VxString& s) { s.Format("del %s\r\n", ten.c_str()); }, "del " + ten + "\r\n", 16},
      {"FormatV", [](VxString& s) { FormatThroughV(s, "%s=%d", "k", 12); }, "k=12", 34},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    VxString s;
    c.format(s);
    if (std::string(c.name) != "%p") {
      EXPECT_EQ(c.text, Text(s));
    }
    EXPECT_EQ(c.alloc, s.GetAllocLength());
    EXPECT_EQ(1, RefCount(s));
    EXPECT_EQ('\0', static_cast<const char*>(s)[s.GetLength()]);
  }
}

TEST(VxStringTest, FormatNothingStaysOnTheSharedEmptyBlock) {
  VxString s;
  uint64_t before = platform::HeapAllocationCount();
  s.Format("");
  EXPECT_EQ(before, platform::HeapAllocationCount());
  EXPECT_EQ(static_cast<const char*>(VxGetEmptyString()), static_cast<const char*>(s));

  int count = -1;
  s.Format("%n", &count);
  EXPECT_EQ(0, count);
  EXPECT_EQ(-2, RefCount(s));

  s.Format("ab%n", &count);
  EXPECT_EQ(2, count);
  EXPECT_EQ(2, s.GetAllocLength());
}

TEST(VxStringTest, FormatKeepsALargerRoomAndNeverShrinks) {
  VxString s("old text");
  s.GetBuffer(100);
  const char* block = s;
  s.Format("%d", 5);
  EXPECT_EQ(block, static_cast<const char*>(s));
  EXPECT_EQ("5", Text(s));
  EXPECT_EQ(100, s.GetAllocLength());
  s.Format("");
  EXPECT_EQ("", Text(s));
  EXPECT_EQ(100, s.GetAllocLength());
}

TEST(VxStringTest, FormatOnASharedStringTakesAPrivateBlock) {
  VxString s(std::string(40, 'x').c_str());
  VxString t(s);
  t.Format("ab");
  EXPECT_EQ("ab", Text(t));
  EXPECT_EQ(40, t.GetAllocLength());  // never less than the old length
  EXPECT_EQ(std::string(40, 'x'), Text(s));
  EXPECT_EQ(1, RefCount(s));
  EXPECT_EQ(1, RefCount(t));
}

// Outputs longer than their estimate: the block grows to the output, never overrun.
TEST(VxStringTest, FormatGrowsWhenTheEstimateFallsShort) {
  const std::string bigText = RuntimeText("%f", 1e300);
  const FormatCase cases[] = {
      {"%10.3s", [](VxString& s) { s.Format("%10.3s", "abcdef"); }, "       abc", 10},
#ifndef _WIN32
      // A precision on %c is left undefined by C; msvcrt (under Wine) cuts such an output
      // short without saying so, so that the formatting pass cannot see that it fell short.
      {"%5.1c", [](VxString& s) { s.Format("%5.1c", 'x'); }, "    x", 5},
#endif
      {"%*.*s", [](VxString& s) { s.Format("%*.*s", 40, 1, "abc"); }, std::string(39, ' ') + "a", 40},
      {"%.*s negative", [](VxString& s) { s.Format("%.*s", -1, "abcdef"); }, "abcdef", 6},
      {"%-*s negative", [](VxString& s) { s.Format("%*s|", -4, "ab"); }, "ab  |", 5},
      {"%f huge", [](VxString& s) { s.Format("%f", 1e300); }, bigText, static_cast<int>(bigText.size())},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    VxString empty;
    c.format(empty);
    EXPECT_EQ(c.text, Text(empty));
    EXPECT_EQ(c.alloc, empty.GetAllocLength());

    // A private block with more room than the estimate but less than the output.
    VxString roomy("r");
    roomy.GetBuffer(4);
    c.format(roomy);
    EXPECT_EQ(c.text, Text(roomy));
    EXPECT_GE(roomy.GetAllocLength(), roomy.GetLength());
  }
}

TEST(VxStringTest, FormatLongOutput) {
  std::string text(3000, 'z');
  VxString s;
  s.Format("<%s>", text.c_str());
  EXPECT_EQ("<" + text + ">", Text(s));
  EXPECT_EQ(3002, s.GetAllocLength());
}

TEST(VxStringTest, FormatMayReadItsOwnText) {
  VxString exact("abc");
  exact.Format("%s!", static_cast<const char*>(exact));  // the block is replaced
  EXPECT_EQ("abc!", Text(exact));

  VxString roomy("abc");
  roomy.GetBuffer(100);
  roomy.Format("x%s%s", static_cast<const char*>(roomy), static_cast<const char*>(roomy));  // in place
  EXPECT_EQ("xabcabc", Text(roomy));

  VxString shared("abc");
  VxString sharer(shared);
  shared.Format("%s-%s", static_cast<const char*>(shared), static_cast<const char*>(shared) + 1);
  EXPECT_EQ("abc-bc", Text(shared));
  EXPECT_EQ("abc", Text(sharer));
}

TEST(VxStringTest, FormatMessageAssignsTheSystemText) {
  VxString s("old");
  VxString sharer(s);
  s.FormatMessageA("%1 has %2!d! items%%", "list", 3);
  EXPECT_EQ("list has 3 items%", Text(s));
  EXPECT_EQ("old", Text(sharer));
  EXPECT_EQ(1, RefCount(sharer));

  s.FormatMessageA("%2 before %1", "one", "two");
  EXPECT_EQ("two before one", Text(s));

  std::string longText(2000, 'w');
  s.FormatMessageA("[%1]%n", longText.c_str());
  EXPECT_EQ("[" + longText + "]\r\n", Text(s));
}

TEST(VxStringTest, FormatMessageFailureLeavesTheStringAlone) {
  const char* const failing[] = {"", "%0", "end in %"};
  for (const char* pattern : failing) {
    VxString s("keep");
    VxString sharer(s);
    const char* block = s;
    s.FormatMessageA(pattern);
    EXPECT_EQ(block, static_cast<const char*>(s)) << pattern;
    EXPECT_EQ("keep", Text(s));
    EXPECT_EQ(2, RefCount(s));
  }
}

TEST(VxStringTest, FormatMessageAllocationFailureThrows) {
  VxString s("keep");
  platform::FailAllocations(1);
  EXPECT_THROW(s.FormatMessageA("%1", "a longer text"), std::bad_alloc);
  platform::FailAllocations(0);
  EXPECT_EQ("keep", Text(s));
}

TEST(VxStringTest, WideViewOfText) {
  VxString s("abc");
  const unsigned short* units = s;
  EXPECT_EQ(reinterpret_cast<const char*>(units), static_cast<const char*>(s) + 4);
  EXPECT_EQ('a', units[0]);
  EXPECT_EQ('b', units[1]);
  EXPECT_EQ('c', units[2]);
  EXPECT_EQ(0, units[3]);
  EXPECT_EQ(3, s.GetLength());
  EXPECT_EQ("abc", Text(s));
  EXPECT_EQ(12, s.GetAllocLength());
}

TEST(VxStringTest, WideViewOffsetsAndRooms) {
  struct Case {
    std::string text;
    int offset;
    int alloc;
  } const cases[] = {
      {"", 2, 6}, {"a", 2, 6}, {"ab", 4, 12}, {"abc", 4, 12}, {"abcd", 6, 18}, {std::string(9, 'q'), 10, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    VxString s(c.text.c_str());
    const unsigned short* units = s;
    EXPECT_EQ(c.offset, reinterpret_cast<const char*>(units) - static_cast<const char*>(s));
    EXPECT_EQ(c.alloc, s.GetAllocLength());
    EXPECT_EQ(1, RefCount(s));
    EXPECT_EQ(c.text, Text(s));
    for (size_t i = 0; i < c.text.size(); ++i) EXPECT_EQ(static_cast<unsigned char>(c.text[i]), units[i]);
    EXPECT_EQ(0, units[c.text.size()]);
  }
}

TEST(VxStringTest, WideViewOfHighBytesAndNuls) {
  VxString high("\xE9\x80\xFF");
  const unsigned short* units = high;
  EXPECT_EQ(0xE9, units[0]);
  EXPECT_EQ(0x80, units[1]);
  EXPECT_EQ(0xFF, units[2]);
  EXPECT_EQ(0, units[3]);

  // The 8-bit text is measured up to its first NUL afterwards.
  VxString nul("ab\0cd", 5);
  const unsigned short* cut = nul;
  EXPECT_EQ('a', cut[0]);
  EXPECT_EQ('b', cut[1]);
  EXPECT_EQ(0, cut[2]);
  EXPECT_EQ("ab", Text(nul));

  // A shared string gets its own block; the sharer is untouched.
  VxString shared("xyz");
  VxString sharer(shared);
  static_cast<const unsigned short*>(shared);
  EXPECT_EQ(1, RefCount(sharer));
  EXPECT_EQ(3, sharer.GetAllocLength());
}

}  // namespace
