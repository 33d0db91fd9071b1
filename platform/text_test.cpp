// Tests of the text services. The message formatter's table must give the same text on the
// host and from the system formatter (the win64 build runs this test under Wine).
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <string>

namespace {

// The formatter as the string class calls it: the caller's variable arguments as a va_list.
// Returns the text, or "<failed>" when the formatter reported failure.
std::string Message(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  char* text = nullptr;
  uint32_t count = platform::FormatMessageFromString(pattern, &args, &text);
  va_end(args);
  std::string result = count == 0 ? std::string("<failed>") : std::string(text, count);
  if (count != 0) {
    EXPECT_EQ(std::string(text), result) << "the count is the text's length";
  }
  platform::FreeMessageText(text);
  return result;
}

TEST(TextTest, TextLengthStopsAtFirstNul) {
  struct Case {
    const char* text;
    int length;
  } const cases[] = {
      {nullptr, 0}, {"", 0}, {"a", 1}, {"abc", 3}, {"a\0bc", 1}, {"\0abc", 0}, {"\xE9\xFF", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(c.length, platform::TextLength(c.text));
}

// Every row is formatted with the same arguments: %1 "alpha", %2 "beta", %3 42, %4 -7,
// %5 'Z'. A pattern names an int argument only when every lower number is named too, or
// is a text, so that each argument is read with the type it was passed with.
TEST(TextTest, FormatMessageInsertsAndEscapes) {
  struct Case {
    const char* pattern;
    const char* expected;
  } const cases[] = {
      {"plain", "plain"},
      {"%1", "alpha"},
      {"%2", "beta"},
      {"%2 %1", "beta alpha"},
      {"%1%1", "alphaalpha"},
      {"[%1!s!]", "[alpha]"},
      {"[%1!8s!]", "[   alpha]"},
      {"[%1!-8s!]", "[alpha   ]"},
      {"[%1!.3s!]", "[alp]"},
      {"%3!d!", "42"},
      {"%3!5d!|", "   42|"},
      {"%3!-5d!|", "42   |"},
      {"%3!05d!", "00042"},
      {"%3!+d!", "+42"},
      {"%3!x!", "2a"},
      {"%3!X!", "2A"},
      {"%3!#x!", "0x2a"},
      {"%3!o!", "52"},
      {"%3!u!", "42"},
      {"%3!c!", "*"},
      {"%3!d! %4!d!", "42 -7"},
      {"%3!d!%4!u!", "424294967289"},
      {"%3!d! %4!d! %5!c!", "42 -7 Z"},
      {"%1 %2 %3!d! %4!d! %5!c!", "alpha beta 42 -7 Z"},
      {"%3!d!/%3!x!", "42/2a"},
      {"%1!s!!", "alpha!"},
      {"100%%", "100%"},
      {"%%1", "%1"},
      {"a%.b", "a.b"},
      {"a%!b", "a!b"},
      {"a% b", "a b"},
      {"a%tb", "a\tb"},
      {"a%rb", "a\rb"},
      {"a%nb", "a\r\nb"},
      {"line%n", "line\r\n"},
      {"a%0b", "a"},
      {"%1%0 never", "alpha"},
      {"x\r\ny", "x\r\ny"},
      {"x\ny", "x\r\ny"},
      {"x\ry", "x\r\ny"},
      {"x\n\ny\r\r", "x\r\n\r\ny\r\n\r\n"},
      {"a%bc", "abc"},
      {"a%", "<failed>"},
      {"%1!d", "<failed>"},
      {"\xE9t\xE9 %1", "\xE9t\xE9 alpha"},
      {"", "<failed>"},
      {"%0", "<failed>"},
      {"%0abc", "<failed>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Message(c.pattern, "alpha", "beta", 42, -7, 'Z')) << "pattern " << c.pattern;
  }
}

// A '*' takes its value from the insert's own number; the value follows the stars.
TEST(TextTest, FormatMessageTakesStarsFromTheInsertsNumber) {
  EXPECT_EQ("[     abc]", Message("[%1!*.*s!]", 8, 3, "abcdef"));
  EXPECT_EQ("[   42]", Message("[%1!*d!]", 5, 42));
}

TEST(TextTest, FormatMessageReadsTwoDigitInsertNumbers) {
  EXPECT_EQ("j|a|j0", Message("%10|%1|%100", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j"));
}

TEST(TextTest, FormatMessageFormats64BitValues) {
  long long big = 1LL << 40;
  EXPECT_EQ("1099511627776", Message("%1!I64d!", big));
}

TEST(TextTest, FormatMessageKeepsLongTexts) {
  std::string longText(5000, 'q');
  EXPECT_EQ("<" + longText + ">", Message("<%1>", longText.c_str()));
}

TEST(TextTest, TextToUnitsWidensEveryByteAndStopsAfterNul) {
  uint16_t units[8];
  for (uint16_t& u : units) u = 0xAAAA;
  EXPECT_EQ(3, platform::TextToUnits(units, "a\xE9\x80", 4));
  EXPECT_EQ(0x61, units[0]);
  EXPECT_EQ(0xE9, units[1]);
  EXPECT_EQ(0x80, units[2]);
  EXPECT_EQ(0, units[3]);
  EXPECT_EQ(0xAAAA, units[4]);

  for (uint16_t& u : units) u = 0xAAAA;
  EXPECT_EQ(1, platform::TextToUnits(units, "a\0b", 4));
  EXPECT_EQ(0x61, units[0]);
  EXPECT_EQ(0, units[1]);
  EXPECT_EQ(0xAAAA, units[2]);

  // A count that ends before the NUL writes no terminator.
  for (uint16_t& u : units) u = 0xAAAA;
  EXPECT_EQ(2, platform::TextToUnits(units, "abc", 2));
  EXPECT_EQ(0xAAAA, units[2]);
}

}  // namespace
