// Tests of the --exclude patterns' glob matcher.
#include "tools/zvpack/glob_match.h"
#include "tools/zvpack/zvpack_glob_cases.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GlobMatchTest, AnswersAsFnmatchDid) {
  for (const auto& c : zvpack_testing::kGlobCases) {
    EXPECT_EQ(zvpack::GlobMatches(c.pattern, c.text), c.matches) << "pattern \"" << c.pattern << "\", text \"" << c.text << '"';
  }
}

TEST(GlobMatchTest, TextsEndAtTheirFirstNul) {
  EXPECT_TRUE(zvpack::GlobMatches("a", std::string("a\0b", 3)));
  EXPECT_TRUE(zvpack::GlobMatches(std::string("a\0*", 3), "a"));
}

TEST(GlobMatchTest, ManyStarsOverALongNameStayQuick) {
  // Each '*' takes the first place where the pattern up to the next one matches, as fnmatch
  // does, so no search over every split of the name is made.
  const std::string name(100000, 'a');
  EXPECT_FALSE(zvpack::GlobMatches("*a*a*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(zvpack::GlobMatches("*a*a*a*a*a*a*a*a*a*a*", name));
}

}  // namespace
