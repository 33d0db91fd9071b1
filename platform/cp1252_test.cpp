// Tests of the Windows-1252 and UTF-8 conversions (both builds).
#include "platform/common/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Cp1252Test, ConvertsAccentedNamesBothWays) {
  const struct {
    const char* utf8;
    const char* ansi;
  } kCases[] = {
      {"", ""},
      {"Caf\xC3\xA9", "Caf\xE9"},                // é
      {"\xE2\x82\xAC \xC5\xB8\xC3\xBF", "\x80 \x9F\xFF"},  // € Ÿ ÿ
      {"\xE2\x80\xA6\xE2\x84\xA2", "\x85\x99"},  // … ™
      {"\xC2\x81", "\x81"},                      // unassigned byte: its C1 control
  };
  for (const auto& c : kCases) {
    std::string ansi;
    std::string problem;
    EXPECT_TRUE(platform::Utf8ToCp1252(c.utf8, &ansi, &problem)) << c.utf8 << ": " << problem;
    EXPECT_EQ(ansi, c.ansi) << c.utf8;
    EXPECT_EQ(platform::Cp1252ToUtf8(c.ansi), c.utf8);
  }
}

TEST(Cp1252Test, EveryByteComesBackUnchanged) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back;
  std::string problem;
  ASSERT_TRUE(platform::Utf8ToCp1252(platform::Cp1252ToUtf8(all), &back, &problem)) << problem;
  EXPECT_EQ(back, all);
}

TEST(Cp1252Test, RefusesWhatItCannotHoldOrDecode) {
  const struct {
    std::string utf8;
    const char* problem;
  } kCases[] = {
      {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "U+65E5 has no Windows-1252 form"},
      {"a\xC2\x80", "U+0080 has no Windows-1252 form"},     // a C1 control that 1252 replaced by €
      {"\xF0\x9F\x98\x80", "U+1F600 has no Windows-1252 form"},
      {"ab\xE9", "not valid UTF-8 at byte 2"},              // a 1252 byte, not UTF-8
      {"\xC3", "not valid UTF-8 at byte 0"},                // cut short
      {"\xC0\xAF", "not valid UTF-8 at byte 0"},            // overlong '/'
      {"\xED\xA0\x80", "not valid UTF-8 at byte 0"},        // a surrogate
      {"\xF4\x90\x80\x80", "not valid UTF-8 at byte 0"},    // beyond U+10FFFF
      {"x\xA9", "not valid UTF-8 at byte 1"},               // a lone continuation byte
      {std::string("a\0\xFF", 3), "not valid UTF-8 at byte 2"},
  };
  for (const auto& c : kCases) {
    std::string ansi;
    std::string problem;
    EXPECT_FALSE(platform::Utf8ToCp1252(c.utf8, &ansi, &problem)) << c.problem;
    EXPECT_EQ(problem, c.problem);
  }
}

}  // namespace
