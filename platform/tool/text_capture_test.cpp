// Tests of the stream whose text is read back.
#include "platform/tool/text_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform_tool::TextCapture;

TEST(TextCaptureTest, GivesBackEveryByteWritten) {
  static const char kStart[] = "name\0with a NUL\r\n\xc3\xa9\n";
  std::string written(kStart, sizeof kStart - 1);
  for (int i = 0; written.size() < 200000; ++i) written += "line " + std::to_string(i) + "\n";
  TextCapture capture;
  ASSERT_NE(capture.File(), nullptr);
  ASSERT_EQ(std::fwrite(written.data(), 1, written.size(), capture.File()), written.size());
  std::fprintf(capture.File(), "%s %d\n", "total", 7);
  EXPECT_EQ(capture.Finish(), written + "total 7\n");
  EXPECT_EQ(capture.File(), nullptr);
  EXPECT_EQ(capture.Finish(), "");
}

TEST(TextCaptureTest, NothingWrittenIsEmptyAndAnUnfinishedCaptureCloses) {
  TextCapture empty;
  ASSERT_NE(empty.File(), nullptr);
  EXPECT_EQ(empty.Finish(), "");
  TextCapture unfinished;
  ASSERT_NE(unfinished.File(), nullptr);
  std::fputs("left", unfinished.File());
}

}  // namespace
