//===- fuzz_input.h - A fuzzer's bytes read as a series of choices (internal) -===//
// Reads from the front, one choice after the other, so that a seed written by hand reads the
// way it was meant. Once the bytes run out every read gives 0 or the empty text, so a target
// never reads past its input and a short input simply makes few choices.
#ifndef VX_TESTS_FUZZ_FUZZ_INPUT_H
#define VX_TESTS_FUZZ_FUZZ_INPUT_H

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Done() const { return pos_ >= size_; }
  size_t Remaining() const { return size_ - pos_; }

  uint8_t Byte() { return Done() ? 0 : data_[pos_++]; }

  // Little-endian, with missing bytes read as 0.
  uint64_t Bits(int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t{Byte()} << (8 * i);
    return value;
  }

  // A value from low to high inclusive, from as few bytes as the range needs.
  int64_t Range(int64_t low, int64_t high) {
    uint64_t span = static_cast<uint64_t>(high - low);
    int bytes = 0;
    for (uint64_t rest = span; rest != 0; rest >>= 8) ++bytes;
    uint64_t value = Bits(bytes);
    if (span != UINT64_MAX) value %= span + 1;
    return low + static_cast<int64_t>(value);
  }

  int Int(int low, int high) { return static_cast<int>(Range(low, high)); }

  // An index or count for a string of `length`: mostly near the string, sometimes far off.
  int Position(int length) {
    static const int kFar[] = {INT_MIN, INT_MIN + 1, -100000, -1, INT_MAX - 1, INT_MAX, 100000, 0};
    uint8_t choice = Byte();
    if (choice >= 248) return kFar[choice - 248];
    return static_cast<int>(choice % (length + 12)) - 4;
  }

  // A length byte, then up to that many bytes (NULs included).
  std::string Bytes(size_t maxLength) {
    size_t length = Byte() % (maxLength + 1);
    std::string text;
    while (text.size() < length && !Done()) text += static_cast<char>(Byte());
    return text;
  }

  // As Bytes, ending at the first NUL: a text as C sees it.
  std::string Text(size_t maxLength) {
    std::string bytes = Bytes(maxLength);
    return bytes.substr(0, std::strlen(bytes.c_str()));
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

#endif  // VX_TESTS_FUZZ_FUZZ_INPUT_H
