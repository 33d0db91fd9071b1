// Host text services: generic C and C++ code standing in for lstrlenA, FormatMessageA,
// LocalFree and mbstowcs. Only generic POSIX/compiler code belongs in platform/host.
#include "platform/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace platform {

int TextLength(const char* text) { return text == nullptr ? 0 : static_cast<int>(std::strlen(text)); }

namespace {

// How an argument is taken off the va_list: the system reads every argument as one
// pointer-sized slot, but a portable va_arg needs the type the caller passed.
enum class ArgKind { kUnnamed, kInt, kInt64, kPointer };

struct ArgValue {
  long long integer = 0;
  const void* pointer = nullptr;
};

// One %n or %n!fmt! insert of a pattern.
struct Insert {
  int number = 0;
  std::string flags;          // flags, width and precision as written, '*' kept
  std::vector<int> starArgs;  // insert numbers that supply each '*'
  std::string prefix;         // size prefix for the host's printf
  char conversion = 's';
  ArgKind kind = ArgKind::kPointer;
};

// A piece of the result: literal text, or one insert.
struct Piece {
  bool isInsert = false;
  std::string literal;
  Insert insert;
};

constexpr int kMaxInsert = 99;

// Parses "fmt!" after "%n!" into `insert`; returns the position after the closing '!', or
// null when the format has no closing '!' (the system fails on that). Each '*' takes its
// value from the insert's own number and on, and the value itself comes after them.
const char* ParseInsertFormat(const char* p, Insert& insert) {
  int nextStar = insert.number;
  while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr) insert.flags += *p++;
  auto readNumberOrStar = [&] {
    if (*p == '*') {
      insert.flags += *p++;
      insert.starArgs.push_back(nextStar++);
      return;
    }
    while (*p >= '0' && *p <= '9') insert.flags += *p++;
  };
  readNumberOrStar();
  if (*p == '.') {
    insert.flags += *p++;
    readNumberOrStar();
  }
  bool wide64 = false;
  if (std::strncmp(p, "I64", 3) == 0) {
    wide64 = true;
    p += 3;
  } else if (std::strncmp(p, "I32", 3) == 0) {
    p += 3;
  } else if (p[0] == 'l' && p[1] == 'l') {
    wide64 = true;
    p += 2;
  } else if (*p == 'h' || *p == 'l' || *p == 'w') {
    // On the system 'l' is 32 bits, 'h' narrows the value the same way printf does.
    if (*p == 'h') insert.prefix = "h";
    ++p;
  }
  if (*p != '\0' && *p != '!') insert.conversion = *p++;
  switch (insert.conversion) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o':
      insert.kind = wide64 ? ArgKind::kInt64 : ArgKind::kInt;
      if (wide64) insert.prefix = "ll";
      break;
    case 'c':
      insert.kind = ArgKind::kInt;
      insert.prefix.clear();
      break;
    case 's': case 'p':
      insert.kind = ArgKind::kPointer;
      insert.prefix.clear();
      break;
    default:
      // Not a conversion the system formats (it has no floating point): the slot is read
      // and the insert gives no text.
      insert.kind = ArgKind::kUnnamed;
      break;
  }
  insert.number = nextStar;
  while (*p != '\0' && *p != '!') ++p;  // anything the host does not understand
  if (*p != '!') return nullptr;
  return p + 1;
}

// Splits a pattern into literal text and inserts; false when the system would fail on it (a
// pattern that ends in a single '%' or in an insert format without its closing '!').
bool ParsePattern(const char* p, std::vector<Piece>& pieces) {
  auto literal = [&pieces]() -> std::string& {
    if (pieces.empty() || pieces.back().isInsert) pieces.emplace_back();
    return pieces.back().literal;
  };
  while (*p != '\0') {
    if (*p == '\r' || *p == '\n') {
      // Without a line-width limit every line break of the pattern, CR, LF or CR LF, comes
      // out as CR LF.
      if (p[0] == '\r' && p[1] == '\n') ++p;
      ++p;
      literal() += "\r\n";
      continue;
    }
    if (*p != '%') {
      literal() += *p++;
      continue;
    }
    ++p;
    char c = *p;
    if (c >= '1' && c <= '9') {
      Piece piece;
      piece.isInsert = true;
      piece.insert.number = c - '0';
      ++p;
      if (*p >= '0' && *p <= '9') piece.insert.number = piece.insert.number * 10 + (*p++ - '0');
      if (*p == '!') {
        p = ParseInsertFormat(p + 1, piece.insert);
        if (p == nullptr) return false;
      }
      pieces.push_back(std::move(piece));
      continue;
    }
    if (c == '\0') return false;
    ++p;
    switch (c) {
      case '0': return true;  // ends the text, without the line break that would follow
      case 'n': literal() += "\r\n"; break;
      case 'r': literal() += '\r'; break;
      case 't': literal() += '\t'; break;
      default: literal() += c; break;  // %%, %., %!, %space and the like
    }
  }
  return true;
}

template <typename T>
std::string PrintOne(const std::string& printfFormat, const std::vector<int>& stars, T value) {
  char small[128];
  int needed = 0;
  for (int round = 0; round < 2; ++round) {
    std::vector<char> large;
    char* out = small;
    size_t room = sizeof small;
    if (round == 1) {
      large.resize(static_cast<size_t>(needed) + 1);
      out = large.data();
      room = large.size();
    }
    switch (stars.size()) {
      case 0: needed = std::snprintf(out, room, printfFormat.c_str(), value); break;
      case 1: needed = std::snprintf(out, room, printfFormat.c_str(), stars[0], value); break;
      default: needed = std::snprintf(out, room, printfFormat.c_str(), stars[0], stars[1], value); break;
    }
    if (needed < 0) return std::string();
    if (static_cast<size_t>(needed) < room) return std::string(out, static_cast<size_t>(needed));
  }
  return std::string();
}

std::string FormatInsert(const Insert& insert, const std::vector<ArgValue>& values) {
  std::vector<int> stars;
  for (int n : insert.starArgs) stars.push_back(static_cast<int>(values[static_cast<size_t>(n)].integer));
  std::string printfFormat = "%" + insert.flags + insert.prefix + insert.conversion;
  const ArgValue& value = values[static_cast<size_t>(insert.number)];
  switch (insert.kind) {
    case ArgKind::kInt: return PrintOne(printfFormat, stars, static_cast<int>(value.integer));
    case ArgKind::kInt64: return PrintOne(printfFormat, stars, value.integer);
    case ArgKind::kPointer:
      if (insert.conversion == 's') return PrintOne(printfFormat, stars, static_cast<const char*>(value.pointer));
      return PrintOne(printfFormat, stars, value.pointer);
    case ArgKind::kUnnamed: break;
  }
  return std::string();
}

}  // namespace

uint32_t FormatMessageFromString(const char* pattern, va_list* args, char** text) {
  *text = nullptr;
  if (pattern == nullptr) return 0;
  try {
    std::vector<Piece> pieces;
    if (!ParsePattern(pattern, pieces)) return 0;

    // The arguments are read once, in order, up to the highest number any insert names.
    std::vector<ArgKind> kinds(kMaxInsert + 3, ArgKind::kUnnamed);
    int highest = 0;
    auto name = [&](int number, ArgKind kind) {
      if (kinds[static_cast<size_t>(number)] == ArgKind::kUnnamed) kinds[static_cast<size_t>(number)] = kind;
      if (number > highest) highest = number;
    };
    for (const Piece& piece : pieces) {
      if (!piece.isInsert) continue;
      name(piece.insert.number, piece.insert.kind);
      for (int n : piece.insert.starArgs) name(n, ArgKind::kInt);
    }
    std::vector<ArgValue> values(static_cast<size_t>(highest) + 1);
    for (int n = 1; n <= highest; ++n) {
      ArgValue& value = values[static_cast<size_t>(n)];
      switch (kinds[static_cast<size_t>(n)]) {
        case ArgKind::kInt: value.integer = va_arg(*args, int); break;
        case ArgKind::kInt64: value.integer = va_arg(*args, long long); break;
        case ArgKind::kPointer:
        case ArgKind::kUnnamed:
          // An argument no insert types fills one pointer-sized slot, as the system reads it.
          value.pointer = va_arg(*args, const void*);
          value.integer = static_cast<long long>(reinterpret_cast<intptr_t>(value.pointer));
          break;
      }
    }

    std::string result;
    for (const Piece& piece : pieces) result += piece.isInsert ? FormatInsert(piece.insert, values) : piece.literal;
    if (result.empty()) return 0;  // the system reports an empty result as a failure

    char* copy = static_cast<char*>(std::malloc(result.size() + 1));
    if (copy == nullptr) return 0;
    std::memcpy(copy, result.c_str(), result.size() + 1);
    *text = copy;
    return static_cast<uint32_t>(result.size());
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

void FreeMessageText(char* text) { std::free(text); }

int TextToUnits(uint16_t* dest, const char* source, int count) {
  // The program never changes the locale, and under the default one every byte is the
  // 16-bit unit of the same value; the host's wchar_t is 32 bits, so mbstowcs cannot
  // write the units in place.
  int written = 0;
  for (int i = 0; i < count; ++i) {
    dest[i] = static_cast<unsigned char>(source[i]);
    if (source[i] == '\0') break;
    ++written;
  }
  return written;
}

}  // namespace platform
