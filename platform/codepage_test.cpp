// Tests of the ANSI/OEM conversions against the code-page files that Windows itself converts
// with (c_1252.nls and c_850.nls: on Windows the system folder's; on the host Wine's copies,
// named by VX_CODE_PAGE_FILES), read here apart from the code under test. The host build and
// the Windows build under a Western European locale must agree with them byte for byte, best
// fits of characters without an exact counterpart included.
#include "platform/codepage.h"

#include "platform/process.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A single-byte code page as its .nls file holds it: after a header of 13 words, the offset (in
// words, from that field) of the Unicode-to-byte table, the byte-to-Unicode table of 256 words,
// and at the offset one word and then one byte per UTF-16 unit, best fits included.
struct CodePageFile {
  std::array<uint16_t, 256> toUnicode{};
  std::vector<uint8_t> fromUnicode;
};

uint16_t WordAt(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

std::string CodePageFolder() {
  if (const char* folder = std::getenv("VX_CODE_PAGE_FILES")) return folder;
  char system[260] = {};
  platform::GetSystemFolder(system, sizeof system);
  return system;
}

CodePageFile ReadCodePageFile(unsigned codePage) {
  const std::string path = CodePageFolder() + "/c_" + std::to_string(codePage) + ".nls";
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  CodePageFile file;
  constexpr size_t kHeader = 26;
  if (bytes.size() < kHeader + 2 || WordAt(bytes, 2) != codePage) {
    ADD_FAILURE() << path << ": no code-page file of " << codePage;
    return file;
  }
  for (size_t b = 0; b < 256; ++b) file.toUnicode[b] = WordAt(bytes, kHeader + 2 + 2 * b);
  const size_t table = kHeader + 2 * WordAt(bytes, kHeader) + 2;
  if (bytes.size() < table + 0x10000) {
    ADD_FAILURE() << path << ": its Unicode table is cut short";
    return file;
  }
  file.fromUnicode.assign(bytes.begin() + table, bytes.begin() + table + 0x10000);
  return file;
}

// What Windows gives for every byte: to Unicode by the first code page, back by the second.
std::array<uint8_t, 256> Through(const CodePageFile& from, const CodePageFile& to) {
  std::array<uint8_t, 256> mapped{};
  if (to.fromUnicode.empty()) return mapped;
  for (size_t b = 0; b < 256; ++b) mapped[b] = to.fromUnicode[from.toUnicode[b]];
  return mapped;
}

class CodePageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const CodePageFile ansi = ReadCodePageFile(1252);
    const CodePageFile oem = ReadCodePageFile(850);
    ansiToOem_ = Through(ansi, oem);
    oemToAnsi_ = Through(oem, ansi);
  }

  void SetUp() override {
    if (platform::AnsiCodePage() != 1252 || platform::OemCodePage() != 850) {
      // Windows converts with the system's code pages; under Wine they follow the locale
      // (LC_ALL=en_GB.UTF-8 gives 1252 and 850).
      GTEST_SKIP() << "the system's code pages are " << platform::AnsiCodePage() << " and "
                   << platform::OemCodePage() << ", not 1252 and 850";
    }
  }

  static uint8_t ToOem(uint8_t byte) {
    char text[2] = {static_cast<char>(byte), 0};
    platform::AnsiTextToOem(text);
    return static_cast<uint8_t>(text[0]);
  }

  static uint8_t ToAnsi(uint8_t byte) {
    char text[2] = {static_cast<char>(byte), 0};
    platform::OemTextToAnsi(text);
    return static_cast<uint8_t>(text[0]);
  }

  static std::array<uint8_t, 256> ansiToOem_;
  static std::array<uint8_t, 256> oemToAnsi_;
};

std::array<uint8_t, 256> CodePageTest::ansiToOem_;
std::array<uint8_t, 256> CodePageTest::oemToAnsi_;

TEST_F(CodePageTest, EveryAnsiByteMapsAsWindowsMapsIt) {
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(ToOem(static_cast<uint8_t>(b)), ansiToOem_[b]) << "ANSI byte " << b;
  }
}

TEST_F(CodePageTest, EveryOemByteMapsAsWindowsMapsIt) {
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(ToAnsi(static_cast<uint8_t>(b)), oemToAnsi_[b]) << "OEM byte " << b;
  }
}

TEST_F(CodePageTest, WholeTextConvertsAsSingleBytes) {
  char text[256];
  for (int b = 1; b < 256; ++b) text[b - 1] = static_cast<char>(b);
  text[255] = 0;
  platform::AnsiTextToOem(text);
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(static_cast<uint8_t>(text[b - 1]), ansiToOem_[b]) << "ANSI byte " << b;
  }
  for (int b = 1; b < 256; ++b) text[b - 1] = static_cast<char>(b);
  platform::OemTextToAnsi(text);
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(static_cast<uint8_t>(text[b - 1]), oemToAnsi_[b]) << "OEM byte " << b;
  }
  EXPECT_EQ(text[255], 0);
}

TEST_F(CodePageTest, NamedLetters) {
  struct Letter {
    const char* name;
    uint8_t ansi;
    uint8_t oem;
  };
  const Letter letters[] = {
      {"a umlaut", 0xE4, 0x84},     {"A umlaut", 0xC4, 0x8E},  {"e acute", 0xE9, 0x82},
      {"E acute", 0xC9, 0x90},      {"sharp s", 0xDF, 0xE1},   {"o umlaut", 0xF6, 0x94},
      {"u umlaut", 0xFC, 0x81},     {"c cedilla", 0xE7, 0x87}, {"a grave", 0xE0, 0x85},
      {"n tilde", 0xF1, 0xA4},      {"pound sign", 0xA3, 0x9C}, {"no-break space", 0xA0, 0xFF},
  };
  for (const Letter& letter : letters) {
    EXPECT_EQ(ToOem(letter.ansi), letter.oem) << letter.name;
    EXPECT_EQ(ToAnsi(letter.oem), letter.ansi) << letter.name;
  }
}

TEST_F(CodePageTest, BestFitForCharactersWithoutCounterpart) {
  EXPECT_EQ(ToOem(0x80), '?');   // euro sign
  EXPECT_EQ(ToOem(0x93), '"');   // left double quotation mark
  EXPECT_EQ(ToOem(0x96), '-');   // en dash
  EXPECT_EQ(ToOem(0x8A), 'S');   // S caron
  EXPECT_EQ(ToAnsi(0xC5), '+');  // box drawing: vertical and horizontal
  EXPECT_EQ(ToAnsi(0xC4), '-');  // box drawing: horizontal
  EXPECT_EQ(ToAnsi(0xB3), 0xA6);  // box drawing: vertical becomes the broken bar
}

TEST_F(CodePageTest, ExactCounterpartsRoundTrip) {
  int exact = 0;
  for (int b = 1; b < 256; ++b) {
    const uint8_t oem = ansiToOem_[b];
    if (oemToAnsi_[oem] != b) continue;  // a best fit; it cannot come back
    ++exact;
    EXPECT_EQ(ToAnsi(ToOem(static_cast<uint8_t>(b))), b) << "ANSI byte " << b;
  }
  EXPECT_GE(exact, 200);
}

TEST_F(CodePageTest, StopsAtFirstNul) {
  char text[] = "\xE4\0\xE4";
  platform::AnsiTextToOem(text);
  EXPECT_EQ(static_cast<uint8_t>(text[0]), 0x84);
  EXPECT_EQ(text[1], 0);
  EXPECT_EQ(static_cast<uint8_t>(text[2]), 0xE4);
  platform::OemTextToAnsi(text);
  EXPECT_EQ(static_cast<uint8_t>(text[0]), 0xE4);
  EXPECT_EQ(static_cast<uint8_t>(text[2]), 0xE4);
}

TEST_F(CodePageTest, EmptyTextStaysEmpty) {
  char text[] = "";
  platform::AnsiTextToOem(text);
  EXPECT_EQ(text[0], 0);
  platform::OemTextToAnsi(text);
  EXPECT_EQ(text[0], 0);
}

TEST_F(CodePageTest, AsciiIsUnchanged) {
  char text[] = "Setup 1.0 (c) ~ [x] {y} | \\ 'q'";
  const char* const expected = "Setup 1.0 (c) ~ [x] {y} | \\ 'q'";
  platform::AnsiTextToOem(text);
  EXPECT_STREQ(text, expected);
  platform::OemTextToAnsi(text);
  EXPECT_STREQ(text, expected);
}

}  // namespace
