// UTF-8 decoding into UTF-16.
#include "tools/zvpack/utf16_text.h"

#include <cstdint>

namespace zvpack {
namespace {

// The length of the sequence a lead byte starts and its payload bits; 0 for no lead byte.
size_t SequenceLength(unsigned char lead, uint32_t* bits) {
  if (lead < 0x80) return *bits = lead, 1;
  if (lead >= 0xC2 && lead < 0xE0) return *bits = lead & 0x1F, 2;
  if (lead >= 0xE0 && lead < 0xF0) return *bits = lead & 0x0F, 3;
  if (lead >= 0xF0 && lead < 0xF5) return *bits = lead & 0x07, 4;
  return 0;
}

// The code point of the sequence at utf8[at]; 0xFFFFFFFF when it is not valid.
uint32_t Decode(const std::string& utf8, size_t at, size_t* length) {
  constexpr uint32_t kBad = 0xFFFFFFFFu;
  constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  uint32_t code = 0;
  *length = SequenceLength(static_cast<unsigned char>(utf8[at]), &code);
  if (*length == 0 || utf8.size() - at < *length) return kBad;
  for (size_t i = 1; i < *length; ++i) {
    const unsigned char next = static_cast<unsigned char>(utf8[at + i]);
    if ((next & 0xC0) != 0x80) return kBad;
    code = code << 6 | (next & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code < 0xE000;
  return code < kSmallest[*length] || surrogate || code > 0x10FFFF ? kBad : code;
}

}  // namespace

bool Utf8ToUtf16(const std::string& utf8, std::u16string* utf16, std::string* problem) {
  utf16->clear();
  for (size_t at = 0, length = 0; at < utf8.size(); at += length) {
    const uint32_t code = Decode(utf8, at, &length);
    if (code == 0xFFFFFFFFu) {
      *problem = "not valid UTF-8 at byte " + std::to_string(at + 1);
      return false;
    }
    if (code < 0x10000) {
      utf16->push_back(static_cast<char16_t>(code));
    } else {
      utf16->push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      utf16->push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  return true;
}

}  // namespace zvpack
