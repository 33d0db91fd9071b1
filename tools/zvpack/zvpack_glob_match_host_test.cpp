// The glob matcher against the host's fnmatch, which zvpack used before it.
#include "tools/zvpack/glob_match.h"
#include "tools/zvpack/zvpack_glob_cases.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <random>
#include <string>

namespace {

bool Fnmatch(const std::string& pattern, const std::string& text) {
  return fnmatch(pattern.c_str(), text.c_str(), FNM_PATHNAME | FNM_CASEFOLD) == 0;
}

TEST(GlobMatchHostTest, TheCasesAreFnmatchs) {
  // zvpack never sets a locale: fnmatch runs in the C locale here as in zvpack.
  for (const auto& c : zvpack_testing::kGlobCases) {
    EXPECT_EQ(Fnmatch(c.pattern, c.text), c.matches) << "pattern \"" << c.pattern << "\", text \"" << c.text << '"';
  }
}

// Patterns and names drawn from the bytes and pieces that steer the matcher.
std::string Draw(std::mt19937* random, size_t maxLength, bool pieces) {
  static const char kBytes[] = "aAbzZ0/[[]]!^--\\*?.:=_\xc3\xa9";
  static const char* const kPieces[] = {"[:alpha:]", "[:upper:]", "[:zz:]", "[=a=]", "[.a.]", "[.ab.]"};
  std::string text;
  const size_t length = (*random)() % (maxLength + 1);
  while (text.size() < length) {
    const unsigned pick = (*random)() % 48;
    if (pieces && pick < 6) {
      text += kPieces[pick];
    } else {
      text += kBytes[(*random)() % (sizeof kBytes - 1)];
    }
  }
  return text;
}

TEST(GlobMatchHostTest, AgreesWithFnmatchOnDrawnPatterns) {
  std::mt19937 random(20261210);
  int differing = 0;
  for (int i = 0; i < 1000000 && differing < 10; ++i) {
    const std::string pattern = Draw(&random, 10, true);
    const std::string text = Draw(&random, 8, false);
    const bool expected = Fnmatch(pattern, text);
    if (zvpack::GlobMatches(pattern, text) != expected) {
      ++differing;
      ADD_FAILURE() << "pattern \"" << pattern << "\", text \"" << text << "\": fnmatch says " << expected;
    }
  }
}

}  // namespace
