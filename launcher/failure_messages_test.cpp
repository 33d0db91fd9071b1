#include "launcher/failure_messages.h"

#include "launcher/exit_codes.h"
#include "platform/language.h"
#include "platform/testing/language_queries.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint16_t language = 0x0409;
uint16_t FakeLanguage() { return language; }

class FailureMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetLanguageQueriesForTesting(FakeLanguage, FakeLanguage); }
  void TearDown() override {
    platform::SetLanguageQueriesForTesting(nullptr, nullptr);
    language = 0x0409;
  }
};

const int kFailureCodes[] = {kExitDamagedArchive, kExitStreamFailure, kExitNoUniqueName,
                             kExitOutOfMemory, kExitUnexpected, kExitStageNotStarted};

// Each text is a format with exactly one "%s" and no other conversion, so the
// detail is the one argument it reads.
TEST_F(FailureMessagesTest, EveryTextHasExactlyOneStringConversion) {
  for (int code : kFailureCodes) {
    const MessageEntry* entry = FindFailureMessage(code);
    ASSERT_NE(nullptr, entry) << code;
    for (const char* text : {entry->english, entry->italian, entry->french, entry->german}) {
      std::string s(text);
      size_t first = s.find('%');
      ASSERT_NE(std::string::npos, first) << code;
      EXPECT_EQ("%s", s.substr(first, 2)) << code;
      EXPECT_EQ(std::string::npos, s.find('%', first + 1)) << code << ": " << s;
    }
  }
}

TEST_F(FailureMessagesTest, SuccessAndNoRoomHaveNoText) {
  EXPECT_EQ(nullptr, FindFailureMessage(kExitSuccess));
  EXPECT_EQ(nullptr, FindFailureMessage(kExitNoRoom));
}

TEST_F(FailureMessagesTest, DetailIsTakenLiterally) {
  VxString text = FormatFailureMessage(kExitStreamFailure, "C:\\100%d\\%s.bat");
  EXPECT_NE(std::string::npos, std::string(text).find("(C:\\100%d\\%s.bat)"));
}

TEST_F(FailureMessagesTest, LanguageChoosesTheColumn) {
  const MessageEntry* entry = FindFailureMessage(kExitDamagedArchive);
  const struct {
    uint16_t language;
    const char* text;
  } cases[] = {{0x0409, entry->english}, {0x0407, entry->german}, {0x0807, entry->german},
               {0x040C, entry->french},  {0x0410, entry->italian}, {0x0413, entry->english}};
  for (const auto& c : cases) {
    language = c.language;
    VxString expected;
    expected.Format(c.text, "x");
    EXPECT_STREQ(static_cast<const char*>(expected),
                 static_cast<const char*>(FormatFailureMessage(kExitDamagedArchive, "x")))
        << std::hex << c.language;
  }
}

TEST_F(FailureMessagesTest, UnknownCodeReadsAsUnexpected) {
  EXPECT_STREQ(static_cast<const char*>(FormatFailureMessage(kExitUnexpected, "d")),
               static_cast<const char*>(FormatFailureMessage(77, "d")));
}

}  // namespace
