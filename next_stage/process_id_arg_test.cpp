#include "next_stage/process_id_arg.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessIdArgTest, AcceptsOnlyPlainDecimalIds) {
  const struct {
    const char* text;
    bool ok;
    uint32_t pid;
  } cases[] = {
      {"1", true, 1},
      {"1234", true, 1234},
      {"0042", true, 42},
      {"4294967295", true, 4294967295u},
      {"4294967296", false, 0},
      {"99999999999999999999", false, 0},
      {"0", false, 0},
      {"000", false, 0},
      {"", false, 0},
      {nullptr, false, 0},
      {"-1", false, 0},
      {"+1", false, 0},
      {" 12", false, 0},
      {"12 ", false, 0},
      {"0x10", false, 0},
      {"12a", false, 0},
      {"%1", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text != nullptr ? c.text : "(null)");
    uint32_t pid = 7;
    EXPECT_EQ(ParseProcessId(c.text, &pid), c.ok);
    EXPECT_EQ(pid, c.ok ? c.pid : 7u);
  }
}

}  // namespace
