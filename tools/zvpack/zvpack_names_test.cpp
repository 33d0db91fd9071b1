// Tests of entry names: Windows-1252 in the archive, UTF-8 on the host, refusals,
// case, warnings, and what a failed create leaves.
#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/pack.h"
#include "tools/zvpack/zvpack_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using zvpack_testing::FolderListing;
using zvpack_testing::ReadFile;
using zvpack_testing::StoredNames;
using zvpack_testing::TempDir;
using zvpack_testing::WriteFile;

bool Pack(const TempDir& dir, const std::string& src, std::string* error, zvpack::PackOptions options = {}) {
  std::vector<zvpack::PackInput> inputs;
  return zvpack::CollectDirectory(dir / src, &inputs, error) &&
         zvpack::CreateArchive(dir / "out.zva", inputs, options, error);
}

TEST(ZvpackNamesTest, AccentedNamesAreStoredInWindows1252AndUnpackInUtf8) {
  // In stored byte order, which is not the order of the UTF-8 names (€ is 80, ü is FC).
  const struct {
    const char* host;
    const char* stored;
  } kNames[] = {
      {"Caf\xC3\xA9.txt", "Caf\xE9.txt"},                          // é
      {"c\xC5\x93ur \xC5\xB8.txt", "c\x9C" "ur \x9F.txt"},         // œ Ÿ
      {"suite\xE2\x80\xA6", "suite\x85"},                          // …
      {"\xE2\x82\xAC" "uro.txt", "\x80" "uro.txt"},                // €
      {"\xC3\xBC" "ber/Stra\xC3\x9F" "e.txt", "\xFC" "ber\\Stra\xDF" "e.txt"},  // ü ß, in a folder
  };
  TempDir dir;
  std::vector<std::string> expected;
  for (const auto& n : kNames) {
    WriteFile(dir / ("src/" + std::string(n.host)), n.host);
    expected.push_back(n.stored);
  }
  std::string error;
  std::vector<std::string> warnings;
  zvpack::PackOptions options;
  options.warnings = &warnings;
  ASSERT_TRUE(Pack(dir, "src", &error, options)) << error;
  const std::string archive = ReadFile(dir / "out.zva");
  EXPECT_EQ(StoredNames(archive), expected);

  ASSERT_TRUE(zvpack::ExtractArchive(reinterpret_cast<const unsigned char*>(archive.data()), archive.size(),
                                     dir / "out", false, stdout, &error))
      << error;
  for (const auto& n : kNames) EXPECT_EQ(ReadFile(dir / ("out/" + std::string(n.host))), n.host) << n.host;
}

// Whether the system can name a file so: Windows names are UTF-16, and a name
// that is not UTF-8 has none there (it can still stand in a list file).
bool CanNameAFile(const std::string& name) {
  try {
    std::filesystem::u8path(name);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

TEST(ZvpackNamesTest, NamesWindows1252CannotHoldAreRefusedNamingTheFile) {
  const struct {
    std::string host;
    const char* problem;
  } kCases[] = {
      {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "U+65E5 has no Windows-1252 form"},
      {"sub/\xF0\x9F\x93\xB7.jpg", "U+1F4F7 has no Windows-1252 form"},
      {"Caf\xE9.txt", "not valid UTF-8"},  // a Latin-1 host name
  };
  for (const auto& c : kCases) {
    TempDir dir;
    WriteFile(dir / "src/ok.txt", "ok");
    std::vector<zvpack::PackInput> inputs;
    std::string error;
    if (CanNameAFile(c.host)) {
      WriteFile(dir / ("src/" + c.host), "x");
      EXPECT_FALSE(zvpack::CollectDirectory(dir / "src", &inputs, &error)) << c.host;
      EXPECT_EQ(error.find(dir / ("src/" + c.host) + ": "), 0u) << error;
      EXPECT_NE(error.find(c.problem), std::string::npos) << error;
    }

    WriteFile(dir / "list.txt", "ok.txt\n" + c.host + "\tsrc/ok.txt\n");
    EXPECT_FALSE(zvpack::ReadListFile(dir / "list.txt", dir.Path(), &inputs, &error)) << c.host;
    EXPECT_EQ(error.find(dir / "list.txt:2: "), 0u) << error;
    EXPECT_NE(error.find(c.problem), std::string::npos) << error;
  }
}

TEST(ZvpackNamesTest, NamesThatDifferOnlyInCaseAreOneNameForEveryLetter) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } kCases[] = {
      {"Docs\\a.txt", "DOCS\\A.TXT", true},
      {"\xC9t\xE9.txt", "\xE9T\xC9.txt", true},  // Été, éTÉ
      {"\x8C\x8A\x8E", "\x9C\x9A\x9E", true},     // ŒŠŽ, œšž
      {"\x9F", "\xFF", true},                     // Ÿ, ÿ
      {"\xDE", "\xFE", true},                     // Þ, þ
      {"\xDF", "SS", false},                      // ß has no one-letter upper case
      {"\xD7", "\xF7", false},                    // × and ÷ are no letters
      {"\xB5", "M", false},                       // µ
  };
  for (const auto& c : kCases) {
    std::string error;
    EXPECT_EQ(zvpack::CheckInputNames({{c.a, "f1"}, {c.b, "f2"}}, &error), !c.same) << c.a << " " << c.b;
    if (c.same) {
      EXPECT_EQ(error.find("f2: entry name"), 0u) << error;
    }
  }
}

TEST(ZvpackNamesTest, WarnsOncePerArchiveBeyondAsciiAndForEachEntryPastThePathLimit) {
  // 64 + strlen("VAVOdozu32767\\") + 181 is 259, the longest path Windows takes.
  const std::string fits(181, 'f');
  const std::string past(182, 'p');
  TempDir dir;
  for (const std::string& name : {std::string("plain.txt"), std::string("Caf\xC3\xA9.txt"),
                                  std::string("\xC3\xA9t\xC3\xA9.txt"), fits, past, "d/" + std::string(180, 'q')}) {
    WriteFile(dir / ("src/" + name), "x");
  }
  std::vector<std::string> warnings;
  zvpack::PackOptions options;
  options.warnings = &warnings;
  std::string error;
  ASSERT_TRUE(Pack(dir, "src", &error, options)) << error;
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_EQ(std::count_if(warnings.begin(), warnings.end(),
                          [](const std::string& w) { return w.find("ANSI code page is 1252") != std::string::npos; }),
            1);
  for (const std::string& name : {past, "d/" + std::string(180, 'q')}) {
    EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [&](const std::string& w) {
      return w.find(dir / ("src/" + name) + ": ") == 0 && w.find("260 characters, past 259") != std::string::npos;
    })) << name;
  }

  warnings.clear();
  TempDir ascii;
  WriteFile(ascii / "src/plain.txt", "x");
  ASSERT_TRUE(Pack(ascii, "src", &error, options)) << error;
  EXPECT_TRUE(warnings.empty());
}

// Each failure, early or late in the run, keeps an archive that was there and
// leaves no temporary file.
TEST(ZvpackNamesTest, FailedCreateLeavesAnExistingArchiveUnchanged) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  WriteFile(dir / "big.bin", zvpack_testing::NoiseBytes(1 << 20, 7));
  std::string error;
  ASSERT_TRUE(zvpack::CreateArchive(dir / "out.zva", {{"a.txt", dir / "a.txt"}}, {}, &error)) << error;
  const std::string before = ReadFile(dir / "out.zva");
  const std::vector<std::string> listing = FolderListing(dir.Path());
  const struct {
    const char* what;
    std::vector<zvpack::PackInput> inputs;
  } kCases[] = {
      {"a name twice", {{"a.txt", dir / "a.txt"}, {"A.TXT", dir / "a.txt"}}},
      {"a missing file", {{"a.txt", dir / "a.txt"}, {"b.txt", dir / "b.txt"}}},
      // Seen as empty, read with bytes: fails while the entries before it are written.
      {"a file that changes", {{"big.bin", dir / "big.bin"}, {"stat", "/proc/self/stat"}}},
  };
  for (const auto& c : kCases) {
    EXPECT_FALSE(zvpack::CreateArchive(dir / "out.zva", c.inputs, {}, &error)) << c.what;
    EXPECT_EQ(ReadFile(dir / "out.zva"), before) << c.what;
    EXPECT_EQ(FolderListing(dir.Path()), listing) << c.what;
  }
}

}  // namespace
