// Tests of the --exclude patterns and of reporting many refusals at once.
#include "tools/zvpack/path_filter.h"
#include "tools/zvpack/problem_list.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(PathFilterTest, NamesMatchAtAnyDepthPathsFromTheTop) {
  zvpack::PathFilter filter;
  std::string error;
  for (const char* pattern : {".git", "Thumbs.db", "*.PDB", "Docs\\*\\draft.rtf", "build/"}) {
    ASSERT_TRUE(filter.Add(pattern, &error)) << pattern;
  }
  const struct {
    const char* path;
    bool excluded;
  } kCases[] = {
      {".git", true},          {".git/objects/ab", true},   {"sub/.git/config", true}, {"a.git", false},
      {"thumbs.DB", true},     {"Pics\\Thumbs.db", true},   {"Thumbs.db.txt", false},  {"bin/app.pdb", true},
      {"app.pdbx", false},     {"Docs/Eng/draft.rtf", true}, {"Docs/Eng/sub/draft.rtf", false},
      {"x/Docs/Eng/draft.rtf", false}, {"build/out.o", true}, {"rebuild", false},       {"", false},
  };
  for (const auto& c : kCases) EXPECT_EQ(filter.Excludes(c.path), c.excluded) << c.path;
  EXPECT_FALSE(filter.Add("/", &error));
  EXPECT_FALSE(filter.Add("", &error));
}

TEST(PathFilterTest, SetsAndWildcardsStayWithinOneName) {
  zvpack::PathFilter filter;
  std::string error;
  for (const char* pattern : {"*.[oa]", "[Tt]emp?", "Docs/[!E]*/*.rtf", "[[:digit:]]*"}) {
    ASSERT_TRUE(filter.Add(pattern, &error)) << pattern;
  }
  const struct {
    const char* path;
    bool excluded;
  } kCases[] = {
      {"lib/x.O", true},         {"x.obj", false},           {"TEMP1/file", true},          {"temp/file", false},
      {"Docs/Fra/a.rtf", true},  {"Docs/Eng/a.rtf", false},  {"Docs/Fra/sub/a.rtf", false}, {"a/2023-log", true},
      {"a/log2023", false},      {"Docs\\Ita\\b.RTF", true},
  };
  for (const auto& c : kCases) EXPECT_EQ(filter.Excludes(c.path), c.excluded) << c.path;
}

TEST(ProblemListTest, KeepsTheFirstTwentyAndCountsTheRest) {
  zvpack::ProblemList inner, outer;
  for (int i = 0; i < 25; ++i) inner.Add("bad " + std::to_string(i));
  outer.Add("first");
  outer.Add(inner.Text());
  const std::string text = outer.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20);
  EXPECT_EQ(text.substr(0, 12), "first\nbad 0\n");
  EXPECT_EQ(text.substr(text.rfind('\n') + 1), "... and 6 more");
  EXPECT_TRUE(zvpack::ProblemList().Empty());
}

}  // namespace
