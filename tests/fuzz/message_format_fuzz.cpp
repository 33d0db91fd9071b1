// libFuzzer target: the host's system message formatter over arbitrary patterns, with every
// insert supplied. The result must be terminated right at the length returned, lie wholly in
// its block, and VxString::FormatMessageA must take exactly that text (or keep its own when
// the formatter fails).
//
// The system reads every insert as one pointer-sized slot, as %s, %d or a '*' width alike, so
// each argument is a pointer to a NUL-terminated text in an arena placed at a 4 GiB boundary:
// read as a 32-bit number the same slot is the text's small offset in the arena, which keeps
// '*' widths (and the output) small.
#include <sys/mman.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/text.h"
#include "string/vx_string.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// Inserts %1 to %99, and behind them the two '*' values that %99 may take.
constexpr int kInserts = 101;
constexpr size_t kArenaBytes = 4096;

void Fail(const char* what, const char* pattern) {
  std::fprintf(stderr, "message_format_fuzz: %s\n  pattern \"%s\"\n", what, pattern);
  std::abort();
}

// The arena, or null when no 4 GiB boundary could be had; patterns with a '*' are then
// skipped, since a full pointer as a width would ask for gigabytes.
char* Arena() {
  static char* arena = [] {
    for (uintptr_t base = uintptr_t{0x500000000000}; base < uintptr_t{0x580000000000}; base += uintptr_t{1} << 32) {
      void* at = mmap(reinterpret_cast<void*>(base), kArenaBytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
      if (at == reinterpret_cast<void*>(base)) return static_cast<char*>(at);
      if (at != MAP_FAILED) munmap(at, kArenaBytes);
    }
    return static_cast<char*>(nullptr);
  }();
  return arena;
}

uint32_t FormatWithSlots(const char* pattern, char** text, ...) {
  va_list args;
  va_start(args, text);
  uint32_t count = platform::FormatMessageFromString(pattern, &args, text);
  va_end(args);
  return count;
}

struct Slots {
  const char* at[kInserts];
};

template <size_t... I>
uint32_t Format(const char* pattern, char** text, const Slots& slots, std::index_sequence<I...>) {
  return FormatWithSlots(pattern, text, slots.at[I]...);
}

template <size_t... I>
void FormatString(VxString& target, const char* pattern, const Slots& slots, std::index_sequence<I...>) {
  target.FormatMessageA(pattern, slots.at[I]...);
}

bool HasLongNumber(const std::string& pattern) {
  int digits = 0;
  for (char c : pattern) {
    digits = c >= '0' && c <= '9' ? digits + 1 : 0;
    if (digits >= 5) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* arena = Arena();
  FuzzInput in(data, size);

  // The arena: texts from the input, the last byte always a NUL.
  static char fallback[kArenaBytes];
  char* texts = arena != nullptr ? arena : fallback;
  std::memset(texts, 0, kArenaBytes);
  const size_t textBytes = std::min<size_t>(in.Byte() * size_t{16}, kArenaBytes - 1);
  for (size_t k = 0; k < textBytes; ++k) texts[k] = static_cast<char>(in.Byte());

  Slots slots;
  const int chosen = in.Byte() % (kInserts + 1);
  for (int n = 0; n < kInserts; ++n) {
    const size_t offset = n < chosen ? in.Bits(2) : static_cast<size_t>(n) * 37;
    slots.at[n] = texts + offset % kArenaBytes;
  }
  std::string pattern;
  while (!in.Done()) pattern += static_cast<char>(in.Byte());
  pattern = pattern.c_str();
  if (arena == nullptr && pattern.find('*') != std::string::npos) return 0;
  // A written width of 10000 or more is honoured as it stands: gigabytes of spaces, which
  // say nothing about bounds.
  if (HasLongNumber(pattern)) return 0;

  char* text = nullptr;
  const uint32_t count = Format(pattern.c_str(), &text, slots, std::make_index_sequence<kInserts>());
  if (count != 0) {
    if (text == nullptr) Fail("a length without a text", pattern.c_str());
    // The whole result is in its block (the sanitizer watches the reads), ending at the length.
    if (std::memchr(text, '\0', count + size_t{1}) == nullptr || text[count] != '\0') {
      Fail("the text is not terminated at its length", pattern.c_str());
    }
  }

  VxString target("unchanged");
  FormatString(target, pattern.c_str(), slots, std::make_index_sequence<kInserts>());
  const char* expected = count != 0 ? text : "unchanged";
  if (std::strcmp(target, expected) != 0) Fail("FormatMessageA took another text", pattern.c_str());
  platform::FreeMessageText(text);
  return 0;
}
