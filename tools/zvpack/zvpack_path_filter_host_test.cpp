// The --exclude patterns over a folder walk that meets a FIFO (POSIX only).
#include "tools/zvpack/pack.h"
#include "tools/zvpack/path_filter.h"
#include "tools/zvpack/zvpack_test_util.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

namespace {

using zvpack_testing::TempDir;
using zvpack_testing::WriteFile;

TEST(PathFilterTest, AnExcludedFolderIsNeitherReadNorReportedEmpty) {
  TempDir dir;
  WriteFile(dir / "src/keep.txt", "k");
  WriteFile(dir / "src/.git/HEAD", "h");
  ASSERT_EQ(mkfifo((dir / "src/.git/fifo").c_str(), 0600), 0);  // refused if it were walked
  std::filesystem::create_directories(dir / "src/Empty/Inner");
  std::filesystem::create_directories(dir / "src/Full/Void");
  WriteFile(dir / "src/Full/f.txt", "f");
  zvpack::PathFilter filter;
  std::string error;
  ASSERT_TRUE(filter.Add(".git", &error));
  std::vector<zvpack::PackInput> inputs;
  std::vector<std::string> empty;
  ASSERT_TRUE(zvpack::CollectDirectory(dir / "src", &inputs, &error, {&filter, &empty})) << error;
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[0].name, "Full\\f.txt");
  EXPECT_EQ(inputs[1].name, "keep.txt");
  std::sort(empty.begin(), empty.end());
  EXPECT_EQ(empty, (std::vector<std::string>{dir / "src/Empty", dir / "src/Full/Void"}));
}

}  // namespace
