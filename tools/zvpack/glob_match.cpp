// The --exclude patterns' matcher: a byte-wise glob with fnmatch's rules for
// FNM_PATHNAME | FNM_CASEFOLD in the C locale, quirks included.
#include "tools/zvpack/glob_match.h"

#include <cstring>

namespace zvpack {
namespace {

using Byte = unsigned char;

// Class names longer than this make a pattern that matches nothing (glibc's
// CHARCLASS_NAME_MAX).
constexpr size_t kMaxClassName = 2048;

Byte Fold(Byte c) { return c >= 'A' && c <= 'Z' ? static_cast<Byte>(c - 'A' + 'a') : c; }

bool IsUpper(Byte c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(Byte c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(Byte c) { return c >= '0' && c <= '9'; }
bool IsAlpha(Byte c) { return IsUpper(c) || IsLower(c); }
bool IsGraph(Byte c) { return c > ' ' && c < 0x7F; }

// Whether c is in the C locale's class name; false in *known for no such class.
bool InClass(const std::string& name, Byte c, bool* known) {
  *known = true;
  if (name == "alnum") return IsAlpha(c) || IsDigit(c);
  if (name == "alpha") return IsAlpha(c);
  if (name == "blank") return c == ' ' || c == '\t';
  if (name == "cntrl") return c < ' ' || c == 0x7F;
  if (name == "digit") return IsDigit(c);
  if (name == "graph") return IsGraph(c);
  if (name == "lower") return IsLower(c);
  if (name == "print") return IsGraph(c) || c == ' ';
  if (name == "punct") return IsGraph(c) && !IsAlpha(c) && !IsDigit(c);
  if (name == "space") return c == ' ' || (c >= '\t' && c <= '\r');
  if (name == "upper") return IsUpper(c);
  if (name == "xdigit") return IsDigit(c) || (Fold(c) >= 'a' && Fold(c) <= 'f');
  *known = false;
  return false;
}

// How a bracket expression met the text's byte.
enum class SetOutcome {
  kConsumes,  // the byte is matched (a member, or none of a negated set's)
  kFails,     // the byte is not matched, or the expression is ill-formed
  kLiteral,   // no closing ']': the '[' is an ordinary byte
};

// Where a '*' in a nested match stopped it (the pattern at that '*', the text there).
struct StarStop {
  const Byte* pattern = nullptr;
  const Byte* text = nullptr;
};

class Glob {
 public:
  Glob(const char* pattern, const char* text)
      : pattern_(reinterpret_cast<const Byte*>(pattern)),
        text_(reinterpret_cast<const Byte*>(text)),
        textEnd_(text_ + std::strlen(text)) {}

  bool Matches() const { return Match(pattern_, text_, nullptr); }

 private:
  bool Match(const Byte* p, const Byte* n, StarStop* stop) const;
  bool MatchStars(const Byte* p, const Byte* n, StarStop* resume) const;
  SetOutcome MatchSet(const Byte** p, Byte byte) const;

  const Byte* pattern_;
  const Byte* text_;
  const Byte* textEnd_;
};

// Reads "[.c.]" from just after its '[': the one byte named, p after "]";
// false for a name longer than one byte or one without its ".]".
bool ReadCollatingSymbol(const Byte** p, Byte* symbol) {
  const Byte* start = *p;  // at '.'
  const Byte* q = start;
  size_t length = 0;
  for (;;) {
    const Byte c = *++q;
    if (c == '.' && q[1] == ']') break;
    if (c == '\0') return false;
    ++length;
  }
  *p = q + 2;
  *symbol = start[1];
  return length == 1;
}

// Skips the rest of a bracket expression whose member has matched, from *pp
// up to and past its ']': kConsumes, or kLiteral when the pattern ends first,
// or kFails for an ill-formed "\", "[=" or "[." on the way.
SetOutcome SkipRestOfSet(const Byte** pp) {
  const Byte* p = *pp;
  Byte c;
  while ((c = *p++) != ']') {
    if (c == '\0') return SetOutcome::kLiteral;
    if (c == '\\') {
      if (*p == '\0') return SetOutcome::kFails;
      ++p;
    } else if (c == '[' && *p == ':') {
      // "[:name:]" is skipped whole; without its ":]" the bytes from the ':' on are plain.
      const Byte* q = p;
      size_t length = 0;
      for (;;) {
        c = *++q;
        if (++length == kMaxClassName) return SetOutcome::kFails;
        if (c == ':' && q[1] == ']') {
          p = q + 2;
          break;
        }
        if (c < 'a' || c >= 'z') break;
      }
    } else if (c == '[' && *p == '=') {
      if (*++p == '\0') return SetOutcome::kFails;
      if (*++p != '=' || p[1] != ']') return SetOutcome::kFails;
      p += 2;
    } else if (c == '[' && *p == '.') {
      for (;;) {
        c = *++p;
        if (c == '\0') return SetOutcome::kFails;
        if (c == '.' && p[1] == ']') break;
      }
      p += 2;
    }
  }
  *pp = p;
  return SetOutcome::kConsumes;
}

// A byte of the set that may start a range "low-high": the range is matched
// when low <= folded <= high, high read from *p (just after the '-').
// Returns 1 for a match, 0 for none, -1 for an ill-formed end.
int MatchRange(const Byte** p, Byte low, Byte folded) {
  Byte high = *(*p)++;
  if (high == '[' && **p == '.') {
    if (!ReadCollatingSymbol(p, &high)) return -1;
  } else {
    if (high == '\\') high = *(*p)++;
    if (high == '\0') return -1;
    high = Fold(high);
  }
  return low <= folded && folded <= high ? 1 : 0;
}

// *pp: just after the '['; on kConsumes it is moved past the ']'. The steps
// and their order are fnmatch's, so that ill-formed sets fail alike.
SetOutcome Glob::MatchSet(const Byte** pp, Byte byte) const {
  const Byte* p = *pp;
  const bool negated = *p == '!' || *p == '^';
  if (negated) ++p;
  const Byte folded = Fold(byte);
  bool matched = false;
  Byte c = *p++;
  for (;;) {
    bool single = false;     // c is a byte of the set, maybe a range's start
    bool rangeable = false;  // low holds a range's possible start
    Byte low = 0;
    if (c == '\\') {
      if (*p == '\0') return SetOutcome::kFails;
      c = Fold(*p++);
      single = true;
    } else if (c == '[' && *p == ':') {
      const Byte* start = p;
      std::string name;
      for (;;) {
        if (name.size() == kMaxClassName) return SetOutcome::kFails;
        c = *++p;
        if ((c == ':' && p[1] == ']') || c < 'a' || c >= 'z') break;
        name.push_back(static_cast<char>(c));
      }
      if (c == ':' && p[1] == ']') {
        p += 2;
        bool known = false;
        matched = InClass(name, byte, &known);
        if (!known) return SetOutcome::kFails;
        if (matched) break;
        c = *p++;
      } else {
        p = start;  // no class name: the '[' is a byte of the set
        c = '[';
        single = true;
      }
    } else if (c == '[' && *p == '=') {
      if (p[1] != '\0' && p[2] == '=' && p[3] == ']') {
        matched = byte == p[1];
        p += 4;
        if (matched) break;
        c = *p++;
      } else {
        c = '[';  // not "[=x=]": the '[' is a byte of the set
        single = true;
      }
    } else if (c == '\0') {
      return SetOutcome::kLiteral;
    } else if (c == '[' && *p == '.') {
      if (!ReadCollatingSymbol(&p, &low)) return SetOutcome::kFails;
      matched = !(*p == '-' && p[1] != '\0') && byte == low;
      if (matched) break;
      c = *p++;
      rangeable = true;
    } else {
      c = Fold(c);
      single = true;
    }
    if (single) {
      matched = !(*p == '-' && p[1] != '\0' && p[1] != ']') && c == folded;
      if (matched) break;
      low = c;
      c = *p++;
      rangeable = true;
    }
    if (rangeable && c == '-' && *p != ']') {
      const int range = MatchRange(&p, low, folded);
      if (range < 0) return SetOutcome::kFails;
      matched = range > 0;
      if (matched) break;
      c = *p++;
    }
    if (c == ']') break;
  }
  if (matched) {
    const SetOutcome rest = SkipRestOfSet(&p);
    if (rest != SetOutcome::kConsumes) return rest;
  }
  *pp = p;
  return matched != negated ? SetOutcome::kConsumes : SetOutcome::kFails;
}

// p: just after a '*'. With resume, a match of the pattern up to its next
// '*' is taken as it is found (a later '*' covers whatever a later start
// would have matched) and resume says where to go on from.
bool Glob::MatchStars(const Byte* p, const Byte* n, StarStop* resume) const {
  Byte c;
  for (c = *p++; c == '?' || c == '*'; c = *p++) {
    if (c == '?') {
      if (n == textEnd_ || *n == '/') return false;
      ++n;
    }
  }
  if (c == '\0') return std::memchr(n, '/', static_cast<size_t>(textEnd_ - n)) == nullptr;
  const Byte* slash = static_cast<const Byte*>(std::memchr(n, '/', static_cast<size_t>(textEnd_ - n)));
  const Byte* end = slash != nullptr ? slash : textEnd_;
  if (c == '/') {
    return slash != nullptr && Match(p, slash + 1, nullptr);
  }
  // Unless the rest starts with a set, only a start at its first byte can match.
  const bool anyStart = c == '[';
  const Byte first = Fold(c == '\\' ? *p : c);
  for (--p; n < end; ++n) {
    if (!anyStart && Fold(*n) != first) continue;
    StarStop stop;
    if (Match(p, n, &stop)) {
      *resume = stop;  // no pattern: the whole text has matched
      return true;
    }
  }
  return false;
}

bool Glob::Match(const Byte* p, const Byte* n, StarStop* stop) const {
  Byte c;
  while ((c = *p++) != '\0') {
    switch (Fold(c)) {
      case '?':
        if (n == textEnd_ || *n == '/') return false;
        break;
      case '\\':
        c = *p++;
        if (c == '\0' || n == textEnd_ || Fold(*n) != Fold(c)) return false;
        break;
      case '*': {
        if (stop != nullptr) {
          stop->pattern = p - 1;
          stop->text = n;
          return true;
        }
        StarStop resume;
        if (!MatchStars(p, n, &resume)) return false;
        if (resume.pattern == nullptr) return true;
        p = resume.pattern;
        n = resume.text;
        continue;
      }
      case '[': {
        if (n == textEnd_ || *n == '/') return false;
        const SetOutcome outcome = MatchSet(&p, *n);
        if (outcome == SetOutcome::kFails) return false;
        if (outcome == SetOutcome::kLiteral && *n != '[') return false;
        break;
      }
      default:
        if (n == textEnd_ || Fold(c) != Fold(*n)) return false;
    }
    ++n;
  }
  return n == textEnd_;
}

}  // namespace

bool GlobMatches(const std::string& pattern, const std::string& text) {
  return Glob(pattern.c_str(), text.c_str()).Matches();
}

}  // namespace zvpack
