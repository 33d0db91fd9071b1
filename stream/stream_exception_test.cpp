#include "stream/stream_exception.h"

#include <gtest/gtest.h>

#include <string>

TEST(VxStreamExceptionTest, KeepsCodeAndOwnCopyOfText) {
  struct Case {
    int32_t code;
    const char* text;
    const char* kept;
  } cases[] = {
      {7, "C:\\temp\\x.bat", "C:\\temp\\x.bat"}, {-11, "Zlib-Fehler", "Zlib-Fehler"},
      {0, "", ""},                               {1, "x\0y", "x"},  // a text ends at its NUL
      {8, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    std::string source = c.text ? std::string(c.text) : std::string();
    auto* e = new VxStreamException(c.code, c.text ? source.c_str() : nullptr);
    source.assign(source.size(), '#');  // the caller's buffer changes; the copy does not
    VxStreamException copy(*e);
    delete e;
    EXPECT_EQ(copy.GetCode(), c.code);
    if (c.kept) {
      EXPECT_STREQ(copy.GetText(), c.kept);
    } else {
      EXPECT_EQ(copy.GetText(), nullptr);
    }
  }
}

TEST(VxStreamExceptionTest, CodeOnlyHasNoText) {
  VxStreamException e(VxErrShortWrite);
  VxStreamException copy(e);
  EXPECT_EQ(copy.GetCode(), 3);
  EXPECT_EQ(e.GetText(), nullptr);
  EXPECT_EQ(copy.GetText(), nullptr);
}

TEST(VxStreamExceptionTest, CopyHasItsOwnBuffer) {
  VxStreamException e(7, "name");
  VxStreamException copy(e);
  EXPECT_NE(copy.GetText(), e.GetText());
  EXPECT_STREQ(copy.GetText(), "name");
}
