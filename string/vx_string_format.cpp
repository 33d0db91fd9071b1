// VxString: printf-style and system message formatting, and the 16-bit view of the text.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <type_traits>

#include "platform/memory.h"
#include "platform/text.h"
#include "string/vx_string.h"

namespace {

constexpr long long kMaxLength = 0x7FFFFFF0LL;

long long ReadDecimal(const char*& p) {
  long long value = 0;
  while (*p >= '0' && *p <= '9') {
    // Saturates: such a width cannot be met anyway, and the formatting pass settles it.
    if (value < kMaxLength) value = value * 10 + (*p - '0');
    ++p;
  }
  return value;
}

// The first pass of FormatV: the longest result the format can give, walking the arguments
// as the conversions consume them. It may fall short (an s or c whose width exceeds its
// precision, a large floating value, a conversion it does not know); the formatting pass
// makes up for that.
long long EstimateLength(const char* format, va_list args) {
  long long total = 0;
  const char* p = format;
  while (*p != '\0') {
    if (*p != '%') {
      ++total;
      ++p;
      continue;
    }
    if (p[1] == '%') {
      ++total;
      p += 2;
      continue;
    }
    ++p;
    long long width = 0;
    long long precision = 0;
    for (; *p != '\0'; ++p) {
      if (*p == '#') {
        total += 2;  // room for a 0x prefix
      } else if (*p == '*') {
        width = va_arg(args, int);
      } else if (*p != '-' && *p != '+' && *p != '0' && *p != ' ') {
        break;
      }
    }
    if (width == 0) width = ReadDecimal(p);
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        precision = va_arg(args, int);
        ++p;
      } else {
        precision = ReadDecimal(p);
      }
    }
    char prefix = '\0';
    if (*p == 'F' || *p == 'L' || *p == 'N' || *p == 'h' || *p == 'l') prefix = *p++;
    if (*p == '\0') break;  // an unfinished conversion adds nothing
    long long item = 0;
    switch (*p++) {
      case 'c':
        va_arg(args, int);
        item = width > 2 ? width : 2;
        if (precision != 0 && precision < item) item = precision;
        break;
      case 's': {
        const char* text = va_arg(args, const char*);
        item = text == nullptr ? 6 : static_cast<long long>(std::strlen(text));
        if (item < 1) item = 1;
        if (width > item) item = width;
        if (precision != 0 && precision < item) item = precision;
        break;
      }
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
        // 'l' is the 32-bit int on Windows; where long is wider it must be read as long.
        if (prefix == 'l') {
          va_arg(args, long);
        } else {
          va_arg(args, int);
        }
        item = width + precision > 32 ? width + precision : 32;
        break;
      case 'e': case 'E': case 'f': case 'g': case 'G':
        if (prefix == 'L') {
          va_arg(args, long double);
        } else {
          va_arg(args, double);
        }
        item = width + precision > 128 ? width + precision : 128;
        break;
      case 'p':
        va_arg(args, void*);
        item = width + precision > 32 ? width + precision : 32;
        break;
      case 'n':
        va_arg(args, void*);
        break;
      default:
        break;
    }
    // A negative '*' precision would make the item negative; no output is shorter than 0.
    if (item > 0) total += item;
    if (total > kMaxLength) throw std::bad_alloc();
  }
  return total;
}

// Scratch memory from the platform heap, released on every way out.
class Scratch {
 public:
  Scratch() = default;
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() { platform::HeapRelease(heap_); }

  // Room for `size` bytes; the previous contents are not kept.
  char* Reserve(size_t size) {
    if (size <= sizeof local_) return local_;
    platform::HeapRelease(heap_);
    heap_ = static_cast<char*>(platform::HeapAllocate(size));
    if (heap_ == nullptr) throw std::bad_alloc();
    return heap_;
  }

 private:
  char local_[512];
  char* heap_ = nullptr;
};

// Frees the system's message text on every way out.
struct MessageText {
  char* text = nullptr;
  ~MessageText() { platform::FreeMessageText(text); }
};

}  // namespace

void VxString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  try {
    FormatV(format, args);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
}

void VxString::FormatV(const char* format, va_list args) {
  va_list walk;
  va_copy(walk, args);
  long long estimate;
  try {
    estimate = EstimateLength(format, walk);
  } catch (...) {
    va_end(walk);
    throw;
  }
  va_end(walk);

  // The text is formatted aside first and only then copied into the string's block: an
  // argument pointing into this string is read before GetBuffer may free its block or the
  // copy overwrites it, and no estimate that falls short can make the output overrun the
  // block's room.
  Scratch scratch;
  size_t room = static_cast<size_t>(estimate) + 1;
  char* out = nullptr;
  int written = 0;
  for (;;) {
    out = scratch.Reserve(room);
    va_list pass;
    va_copy(pass, args);
    written = std::vsnprintf(out, room, format, pass);
    va_end(pass);
    if (written >= 0 && static_cast<size_t>(written) < room) break;
    if (written >= 0) {
      room = static_cast<size_t>(written) + 1;
    } else if (room < (size_t{1} << 20)) {
      // A runtime whose vsnprintf reports truncation as -1 tells no size: grow and retry.
      room *= 2;
    } else {
      // An output error (such as a wide text that does not convert) gives the empty text.
      out[0] = '\0';
      written = 0;
      break;
    }
  }

  long long needed = written > estimate ? written : estimate;
  if (needed > kMaxLength) throw std::bad_alloc();
  char* buffer = GetBuffer(static_cast<int>(needed));
  if (GetData()->refCount != -2) std::memcpy(buffer, out, static_cast<size_t>(written) + 1);
  ReleaseBuffer(-1);
}

void VxString::FormatMessageA(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  MessageText message;
  uint32_t count = platform::FormatMessageFromString(pattern, &args, &message.text);
  va_end(args);
  // The system's failure leaves the string as it was; the class reports no errors.
  if (count == 0 || message.text == nullptr) return;
  *this = static_cast<const char*>(message.text);
}

VxString::operator const unsigned short*() {
  static_assert(std::is_same<uint16_t, unsigned short>::value, "the 16-bit units are unsigned short");
  long long length = GetData()->dataLength;
  // The 16-bit text starts at the even offset behind the 8-bit terminator, so its units
  // are aligned (the characters themselves start 4-aligned behind the header).
  long long offset = (length + 2) & ~1LL;
  if (3 * offset > kMaxLength) throw std::bad_alloc();
  char* buffer = GetBuffer(static_cast<int>(3 * offset));
  uint16_t* units = reinterpret_cast<uint16_t*>(buffer + offset);
  if (platform::TextToUnits(units, buffer, static_cast<int>(length) + 1) < 0) units[0] = 0;
  ReleaseBuffer(-1);
  return units;
}
