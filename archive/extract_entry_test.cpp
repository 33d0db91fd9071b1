#include "archive/extract_entry.h"

#include "archive/testing/archive_writer.h"
#include "platform/dirs.h"
#include "platform/testing/scratch_dir.h"
#include "stream/stream_exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using archive_testing::ArchiveWriter;
using archive_testing::Deflate;
using archive_testing::PutU32;
using archive_testing::StoredStream;
using platform_testing::ScratchDir;

std::vector<std::string> Strings(const CreatedDirList& list) {
  std::vector<std::string> out;
  for (const VxString& dir : list) out.push_back(static_cast<const char*>(dir));
  return out;
}

std::string CurrentDir() {
  char* cwd = platform::GetCwd(nullptr, 0);
  std::string text = cwd != nullptr ? cwd : "";
  platform::FreeCwd(cwd);
  return text;
}

// Keeps the destinations in the order the walk reports them, as the
// sequence's "del" lines would.
class DelLines : public ArchiveEntrySink {
 public:
  virtual ~DelLines() = default;
  void EntryUnpacked(const ArchiveEntry& entry) override { lines.push_back(std::string("del ") + entry.destination); }
  std::vector<std::string> lines;
};

// Some text that deflates into several chunks of the copier.
std::string SampleText(size_t size) {
  std::string text;
  uint32_t state = 7;
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    text += "word" + std::to_string((state >> 16) % 997) + (state % 5 == 0 ? "\r\n" : " ");
  }
  text.resize(size);
  return text;
}

class ExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    temp_ = scratch_.Path();
    work_ = temp_ + "\\VAVOdozu0";
    workDir_ = work_ + "\\";
    drive_ = platform::GetDrive();
    cwd_ = CurrentDir();
  }
  void TearDown() override {
    EXPECT_EQ(platform::GetDrive(), drive_);
    EXPECT_EQ(CurrentDir(), cwd_);
  }

  ArchiveError Unpack(const std::string& image) {
    return UnpackArchive(reinterpret_cast<const unsigned char*>(image.data()),
                         static_cast<uint32_t>(image.size()), workDir_.c_str(), &dirs_, &del_);
  }

  std::string Contents(const std::string& path) {
    std::string contents;
    EXPECT_TRUE(ScratchDir::ReadFile(path, &contents)) << path;
    return contents;
  }

  ScratchDir scratch_;
  std::string temp_, work_, workDir_, cwd_;
  int drive_ = 0;
  CreatedDirList dirs_;
  DelLines del_;
};

TEST_F(ExtractTest, UnpacksEveryEntryAndRecordsItsFolders) {
  std::string big = SampleText(70000);
  ArchiveWriter writer;
  writer.AddFile("a.dll", "runtime");
  writer.AddFile("Docs\\Eng\\a.rtf", "english");
  writer.AddFile("Docs\\Fre\\b.rtf", "french");
  writer.AddFile("Data\\big.dat", big);
  std::string image = writer.Build();
  ASSERT_EQ(image.substr(4, 2), "\x78\x9C");
  EXPECT_EQ(Unpack(image), ArchiveError::kNone);

  EXPECT_EQ(Contents(workDir_ + "a.dll"), "runtime");
  EXPECT_EQ(Contents(workDir_ + "Docs\\Eng\\a.rtf"), "english");
  EXPECT_EQ(Contents(workDir_ + "Docs\\Fre\\b.rtf"), "french");
  EXPECT_EQ(Contents(workDir_ + "Data\\big.dat"), big);
  EXPECT_EQ(del_.lines, (std::vector<std::string>{"del " + workDir_ + "a.dll", "del " + workDir_ + "Docs\\Eng\\a.rtf",
                                                  "del " + workDir_ + "Docs\\Fre\\b.rtf",
                                                  "del " + workDir_ + "Data\\big.dat"}));
  EXPECT_EQ(Strings(dirs_), (std::vector<std::string>{work_ + "\\Data", work_ + "\\Docs\\Fre", work_ + "\\Docs\\Eng",
                                                      work_ + "\\Docs", work_}));
}

TEST_F(ExtractTest, SecondArchiveReusesTheFolders) {
  ArchiveWriter first;
  first.AddFile("Docs\\Eng\\a.rtf", "a");
  ArchiveWriter second;
  second.AddFile("Docs\\Eng\\b.rtf", "b");
  second.AddFile("top.txt", "t");
  EXPECT_EQ(Unpack(first.Build()), ArchiveError::kNone);
  EXPECT_EQ(Unpack(second.Build()), ArchiveError::kNone);
  EXPECT_EQ(Strings(dirs_), (std::vector<std::string>{work_ + "\\Docs\\Eng", work_ + "\\Docs", work_}));
  EXPECT_EQ(ScratchDir::ListTree(work_),
            (std::vector<std::string>{"Docs\\", "Docs\\Eng\\", "Docs\\Eng\\a.rtf", "Docs\\Eng\\b.rtf", "top.txt"}));
}

TEST_F(ExtractTest, ZeroCompressedSizeGivesAnEmptyFile) {
  ArchiveWriter writer;
  writer.AddStream("empty.txt", "", 0);
  writer.AddStream("Sub\\stored.txt", StoredStream("stored"), 6);
  EXPECT_EQ(Unpack(writer.Build()), ArchiveError::kNone);
  EXPECT_EQ(Contents(workDir_ + "empty.txt"), "");
  EXPECT_EQ(Contents(workDir_ + "Sub\\stored.txt"), "stored");
  EXPECT_EQ(del_.lines.size(), 2u);
}

TEST_F(ExtractTest, ExistingFileIsEmptiedAndRewritten) {
  ASSERT_EQ(platform::MakeDir(work_.c_str()), 0);
  ASSERT_TRUE(ScratchDir::WriteFile(workDir_ + "a.txt", std::string(5000, 'o')));
  ArchiveWriter writer;
  writer.AddFile("a.txt", "new");
  EXPECT_EQ(Unpack(writer.Build()), ArchiveError::kNone);
  EXPECT_EQ(Contents(workDir_ + "a.txt"), "new");
  EXPECT_TRUE(dirs_.IsEmpty());  // the work folder was there already
}

TEST_F(ExtractTest, ZeroEntriesWriteNothing) {
  EXPECT_EQ(Unpack(ArchiveWriter().Build()), ArchiveError::kNone);
  EXPECT_TRUE(del_.lines.empty());
  EXPECT_TRUE(dirs_.IsEmpty());
  EXPECT_TRUE(ScratchDir::ListTree(temp_).empty());
}

TEST_F(ExtractTest, DamagedDataEndsTheFileQuietly) {
  std::string text = SampleText(3000);
  std::string stream = Deflate(text);
  std::string badTrailer = stream;
  badTrailer.back() = static_cast<char>(badTrailer.back() ^ 0xFF);
  std::string cut = stream.substr(0, stream.size() / 2);
  std::string garbage = "\x78\x9C\xFF\xFF\xFF\xFF";
  ArchiveWriter writer;
  writer.AddStream("trailer.txt", badTrailer, 3000);
  writer.AddStream("cut.txt", cut, 3000);
  writer.AddStream("garbage.txt", garbage, 3000);
  writer.AddStream("after.txt", Deflate("still here"), 10);
  EXPECT_EQ(Unpack(writer.Build()), ArchiveError::kNone);
  EXPECT_EQ(Contents(workDir_ + "trailer.txt"), text);
  std::string partial = Contents(workDir_ + "cut.txt");
  EXPECT_LT(partial.size(), text.size());
  EXPECT_EQ(partial, text.substr(0, partial.size()));
  EXPECT_EQ(Contents(workDir_ + "garbage.txt"), "");
  EXPECT_EQ(Contents(workDir_ + "after.txt"), "still here");
  EXPECT_EQ(del_.lines.size(), 4u);
}

// Damaged archives and hostile names: nothing at all is written.
struct RefusedCase {
  const char* label;
  std::vector<std::string> names;  // the last one, or a damage below, makes it fail
  int damage;                      // 0 none, 1 cut the last byte, 2 dataOffset 0, 3 count +1, 4 dirOffset past the end
  ArchiveError error;
};

const RefusedCase kRefused[] = {
    {"cut directory", {"a.txt", "Docs\\b.txt"}, 1, ArchiveError::kRecordCut},
    {"data at offset 0", {"a.txt", "Docs\\b.txt"}, 2, ArchiveError::kDataOutOfRange},
    {"count one too many", {"a.txt", "Docs\\b.txt"}, 3, ArchiveError::kCountTooLarge},
    {"directory past the end", {"a.txt"}, 4, ArchiveError::kDirectoryOutOfRange},
    {"parent folder", {"a.txt", "..\\evil.txt"}, 0, ArchiveError::kBadName},
    {"deep parent folder", {"a.txt", "Docs\\..\\..\\evil.txt"}, 0, ArchiveError::kBadName},
    {"rooted", {"a.txt", "\\evil.txt"}, 0, ArchiveError::kBadName},
    {"drive", {"a.txt", "C:\\evil.txt"}, 0, ArchiveError::kBadName},
    {"drive relative", {"a.txt", "C:evil.txt"}, 0, ArchiveError::kBadName},
    {"forward slash", {"a.txt", "Docs/evil.txt"}, 0, ArchiveError::kBadName},
    {"device", {"a.txt", "Docs\\CON.txt"}, 0, ArchiveError::kBadName},
    {"control character", {"a.txt", "evil\x07.txt"}, 0, ArchiveError::kBadName},
    {"empty component", {"a.txt", "Docs\\\\evil.txt"}, 0, ArchiveError::kBadName},
    {"dot folder", {"a.txt", ".\\evil.txt"}, 0, ArchiveError::kBadName},
    {"first name bad", {"..\\evil.txt", "a.txt"}, 0, ArchiveError::kBadName},
};

class ExtractRefusedTest : public ExtractTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ExtractRefusedTest, WritesNothing) {
  const RefusedCase& c = GetParam();
  ArchiveWriter writer;
  for (const std::string& name : c.names) writer.AddFile(name, "contents of " + name);
  std::string image = writer.Build();
  uint32_t dirOffset = writer.DirOffset();
  std::string patch;
  switch (c.damage) {
    case 1: image.pop_back(); break;
    case 2: PutU32(&patch, 0); image.replace(dirOffset + 4 + 1 + c.names[0].size(), 4, patch); break;
    case 3: PutU32(&patch, static_cast<uint32_t>(c.names.size() + 1)); image.replace(dirOffset, 4, patch); break;
    case 4: PutU32(&patch, static_cast<uint32_t>(image.size())); image.replace(0, 4, patch); break;
    default: break;
  }
  EXPECT_EQ(Unpack(image), c.error) << c.label;
  EXPECT_TRUE(del_.lines.empty()) << c.label;
  EXPECT_TRUE(dirs_.IsEmpty()) << c.label;
  EXPECT_TRUE(ScratchDir::ListTree(temp_).empty()) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Table, ExtractRefusedTest, ::testing::ValuesIn(kRefused));

TEST_F(ExtractTest, OverlongDestinationIsNotUnpacked) {
  std::string destination = workDir_ + std::string(512 - workDir_.size(), 'x');
  ASSERT_EQ(destination.size(), 512u);
  std::string stream = Deflate("x");
  ExtractArchiveEntry(reinterpret_cast<const unsigned char*>(stream.data()), static_cast<uint32_t>(stream.size()),
                      destination.c_str(), &dirs_);
  EXPECT_TRUE(dirs_.IsEmpty());
  EXPECT_TRUE(ScratchDir::ListTree(temp_).empty());
}

TEST_F(ExtractTest, FolderThatCannotBeMadeRaisesFromTheFile) {
  ArchiveWriter writer;
  writer.AddFile("Docs", "a file where a folder is wanted");
  writer.AddFile("Docs\\a.txt", "a");
  std::string image = writer.Build();
  bool raised = false;
  try {
    Unpack(image);
  } catch (VxStreamException* e) {
    raised = true;
    EXPECT_EQ(e->GetCode(), VxErrOpen);
    EXPECT_STREQ(e->GetText(), (workDir_ + "Docs\\a.txt").c_str());
    delete e;
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(del_.lines, std::vector<std::string>{"del " + workDir_ + "Docs"});
  EXPECT_EQ(Strings(dirs_), std::vector<std::string>{work_});
  EXPECT_EQ(ScratchDir::ListTree(work_), std::vector<std::string>{"Docs"});
}

TEST_F(ExtractTest, EntryWithoutFolderUsesTheGivenDirectory) {
  std::string stream = Deflate("plain");
  ExtractArchiveEntry(reinterpret_cast<const unsigned char*>(stream.data()), static_cast<uint32_t>(stream.size()),
                      (temp_ + "\\plain.txt").c_str(), nullptr);
  EXPECT_EQ(Contents(temp_ + "\\plain.txt"), "plain");
}

}  // namespace
