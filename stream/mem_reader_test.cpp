#include "stream/mem_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(VxMemReaderTest, AnswersReadsUntilExhausted) {
  struct Case {
    uint32_t size;
    std::vector<uint32_t> asks;
    std::vector<uint32_t> answers;
  } cases[] = {
      {250, {100, 100, 100, 100}, {100, 100, 50, 0}},
      {0, {0, 1, 100}, {0, 0, 0}},
      {5, {0, 5, 1}, {0, 5, 0}},
      {5, {6}, {5}},
      {3, {1, 1, 1, 1}, {1, 1, 1, 0}},
      {0xFF, {0xFFFFFFFFu, 1}, {0xFF, 0}},  // an unsigned comparison: a huge count takes the rest
  };
  for (const Case& c : cases) {
    std::string data(c.size, '\0');
    for (uint32_t i = 0; i < c.size; ++i) data[i] = static_cast<char>(i * 7 + 1);
    if (c.size) data[0] = '\0';  // an embedded NUL is just a byte
    VxMemReader reader(data.data(), c.size);
    std::string got;
    for (size_t i = 0; i < c.asks.size(); ++i) {
      std::vector<char> buffer(c.answers[i] + 1, '!');
      EXPECT_EQ(reader.Read(buffer.data(), c.asks[i]), c.answers[i]) << "size " << c.size << " read " << i;
      EXPECT_EQ(buffer[c.answers[i]], '!') << "wrote past the bytes it returned";
      got.append(buffer.data(), c.answers[i]);
    }
    EXPECT_EQ(got, data.substr(0, got.size()));
    EXPECT_EQ(reader.GetRemaining(), c.size - got.size());
  }
}

TEST(VxMemReaderTest, NullDataOfSizeZeroReadsNothing) {
  VxMemReader reader(nullptr, 0);
  char byte = 'x';
  EXPECT_EQ(reader.Read(&byte, 1), 0u);
  EXPECT_EQ(reader.Read(nullptr, 0), 0u);
  EXPECT_EQ(byte, 'x');
}

TEST(VxMemReaderTest, ReadsOneByteAtATime) {
  std::string data(1000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i);
  VxMemReader reader(data.data(), static_cast<uint32_t>(data.size()));
  std::string got;
  char byte;
  while (reader.Read(&byte, 1) == 1) got += byte;
  EXPECT_EQ(got, data);
}
