// Windows-1252 and UTF-8. Only generic code belongs in platform/host.
#include "platform/common/cp1252.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

// Bytes 80 to 9F; every other byte is the character of the same number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(char32_t ch, std::string* out) {
  if (ch < 0x80) {
    out->push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (ch >> 6)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    // 1252 reaches no further than the Basic Multilingual Plane.
    out->push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

// Decodes the character at *pos of the size bytes at text and moves past it;
// false (with *pos unchanged) for an invalid sequence.
bool DecodeUtf8(const char* text, size_t size, size_t* pos, char32_t* ch) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(*pos);
  size_t length;
  char32_t value;
  char32_t least;
  if (lead < 0x80) {
    *ch = lead;
    ++*pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, least = 0x10000;
  } else {
    return false;
  }
  if (size - *pos < length) return false;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(*pos + i) & 0xC0) != 0x80) return false;
    value = (value << 6) | (byte(*pos + i) & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *ch = value;
  *pos += length;
  return true;
}

// The next character of text as an upper-case 1252 byte; false when it is not
// valid UTF-8 or has no 1252 form.
bool NextUpperCp1252(const char* text, size_t size, size_t* pos, unsigned char* upper) {
  char32_t ch;
  unsigned char byte;
  if (!DecodeUtf8(text, size, pos, &ch) || !UnicodeToCp1252(ch, &byte)) return false;
  *upper = Cp1252UpperCase(byte);
  return true;
}

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80] : byte;
}

bool UnicodeToCp1252(char32_t ch, unsigned char* byte) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
    *byte = static_cast<unsigned char>(ch);
    return true;
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (kHighControls[i] == ch) {
      *byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

std::string Cp1252ToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(Cp1252ToUnicode(static_cast<unsigned char>(c)), &out);
  return out;
}

bool Utf8ToCp1252(const std::string& utf8, std::string* ansi, std::string* problem) {
  ansi->clear();
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t ch;
    unsigned char byte;
    if (!DecodeUtf8(utf8.data(), utf8.size(), &pos, &ch)) {
      *problem = "not valid UTF-8 at byte " + std::to_string(pos);
      return false;
    }
    if (!UnicodeToCp1252(ch, &byte)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(ch));
      *problem = std::string(code) + " has no Windows-1252 form";
      return false;
    }
    ansi->push_back(static_cast<char>(byte));
  }
  return true;
}

unsigned char Cp1252UpperCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);  // à..þ but ÷
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

bool SameCp1252NameIgnoringCase(const char* utf8a, const char* utf8b) {
  const size_t sizeA = std::strlen(utf8a);
  const size_t sizeB = std::strlen(utf8b);
  size_t a = 0;
  size_t b = 0;
  while (a < sizeA && b < sizeB) {
    unsigned char upperA;
    unsigned char upperB;
    if (!NextUpperCp1252(utf8a, sizeA, &a, &upperA) || !NextUpperCp1252(utf8b, sizeB, &b, &upperB) ||
        upperA != upperB) {
      return false;
    }
  }
  return a == sizeA && b == sizeB;
}

}  // namespace platform
