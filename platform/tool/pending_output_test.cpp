// Tests of the pending output file (on the host and under Wine): moved over an old target
// it replaces it; gone without the move it leaves the old target and nothing beside it;
// names beyond ASCII. Its end on an interrupt: pending_output_interrupt_test.sh (Wine) and
// tools/zvpack/zvpack_temp_output_test.cpp (host).
#include "platform/tool/pending_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

class PendingOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0;; ++i) {
      dir_ = fs::temp_directory_path() / ("pending-output-test-" + std::to_string(i));
      if (fs::create_directory(dir_)) break;
    }
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // The path of name (UTF-8) in the test's folder, in UTF-8 as the tools hold it.
  std::string In(const std::string& name) const { return (dir_ / fs::u8path(name)).u8string(); }

  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().u8string());
    return names;
  }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(fs::u8path(In(name)), std::ios::binary) << bytes;
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(fs::u8path(In(name)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // A pending output beside name, as zvpack makes it, with bytes written.
  void Begin(platform_tool::PendingOutput* output, const std::string& name, const std::string& bytes) const {
    std::string reason;
    ASSERT_TRUE(output->Create(In(name) + ".tmp", name, 0644, &reason)) << reason;
    ASSERT_NE(output->File(), nullptr);
    EXPECT_EQ(platform_tool::FileNameOf(output->Path()), name);
    EXPECT_GE(std::fputs(bytes.c_str(), output->File()), 0);
  }

  fs::path dir_;
};

TEST_F(PendingOutputTest, MoveOverReplacesTheTarget) {
  for (const std::string name : {"setup.exe", "Caf\xC3\xA9-setup.exe"}) {
    Write(name, "old");
    platform_tool::PendingOutput output;
    Begin(&output, name, "new");
    EXPECT_EQ(Read(name), "old") << name;
    EXPECT_EQ(Listing().size(), 2u) << name;
    std::string reason;
    EXPECT_TRUE(output.CloseFile());
    EXPECT_TRUE(output.MoveOver(In(name), &reason)) << reason;
    output.Discard();
    EXPECT_EQ(Listing(), std::set<std::string>{name});
    EXPECT_EQ(Read(name), "new") << name;
    fs::remove(fs::u8path(In(name)));
  }
}

TEST_F(PendingOutputTest, WithoutMoveOverTheTargetStaysAndNothingIsLeft) {
  for (bool closed : {false, true}) {
    const std::string name = "Caf\xC3\xA9-setup.exe";
    Write(name, "old");
    {
      platform_tool::PendingOutput output;
      Begin(&output, name, "new");
      if (closed) {
        EXPECT_TRUE(output.CloseFile());
        // What a command run on the file may leave beside it.
        std::ofstream(fs::u8path(output.Path() + ".signed")) << "x";
      }
    }
    EXPECT_EQ(Listing(), std::set<std::string>{name}) << closed;
    EXPECT_EQ(Read(name), "old") << closed;
  }
}

TEST_F(PendingOutputTest, AFailedMoveLeavesTheTargetAndTheFileUntilDiscard) {
  fs::create_directory(dir_ / "setup.exe");
  platform_tool::PendingOutput output;
  Begin(&output, "setup.exe", "new");
  std::string reason;
  EXPECT_FALSE(output.MoveOver(In("setup.exe"), &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(fs::is_directory(dir_ / "setup.exe"));
  EXPECT_TRUE(fs::exists(fs::u8path(output.Path())));
  output.Discard();
  EXPECT_EQ(Listing(), std::set<std::string>{"setup.exe"});
}

TEST_F(PendingOutputTest, NoFolderNoFileAndAReason) {
  platform_tool::PendingOutput output;
  std::string reason;
  EXPECT_FALSE(output.Create(In("missing") + "/out.tmp", "out", 0644, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(output.File(), nullptr);
  EXPECT_TRUE(output.Path().empty());
  EXPECT_TRUE(Listing().empty());
}

TEST(FileNameOfTest, LastComponent) {
  EXPECT_EQ(platform_tool::FileNameOf("setup.exe"), "setup.exe");
  EXPECT_EQ(platform_tool::FileNameOf("out/rel/setup.exe"), "setup.exe");
  EXPECT_EQ(platform_tool::FileNameOf("out/"), "");
  EXPECT_EQ(platform_tool::FileNameOf(""), "");
}

}  // namespace
