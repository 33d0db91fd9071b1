// libFuzzer target: VxString::Format with well-formed formats and matching arguments built
// from the input. The text must equal what vsnprintf makes of the same call, the length must
// stay within the block's room, the room must be the estimate whenever the output fits it,
// and a copy of the string taken before must keep its text.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "string/vx_string_probe.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// Arguments per call: every combination of their types is a separate instantiation of the
// call below, so this stays small.
constexpr size_t kMaxArgs = 5;
constexpr int kMaxWidth = 400;

enum class ArgType { kInt, kLong, kDouble, kText };

struct Arg {
  ArgType type;
  long integer = 0;
  double real = 0;
  const char* text = nullptr;
};

// A format, its arguments and the longest result the class is to estimate for it.
struct Plan {
  std::string format;
  std::vector<Arg> args;
  long long estimate = 0;
  bool estimateKnown = true;  // false where a negative '*' value makes the estimate a choice
};

void Fail(const char* what, const Plan& plan) {
  std::fprintf(stderr, "string_format_fuzz: %s\n  format \"%s\"\n", what, plan.format.c_str());
  std::abort();
}

long long Max(long long a, long long b) { return a > b ? a : b; }

// Texts that %s arguments point at; they outlive the call, and a deque never moves them.
struct TextPool {
  std::deque<std::string> texts;
  const char* Add(std::string text) {
    texts.push_back(std::move(text));
    return texts.back().c_str();
  }
};

// Flags a conversion may take without undefined behaviour.
std::string Flags(FuzzInput& in, char conversion) {
  const bool integer = std::strchr("diuoxX", conversion) != nullptr;
  const bool real = std::strchr("eEfgG", conversion) != nullptr;
  const bool signedValue = real || conversion == 'd' || conversion == 'i';
  uint8_t bits = in.Byte();
  std::string flags;
  if (bits & 1) flags += '-';
  if ((bits & 2) && signedValue) flags += '+';
  if ((bits & 4) && signedValue) flags += ' ';
  if ((bits & 8) && (real || conversion == 'o' || conversion == 'x' || conversion == 'X')) flags += '#';
  if ((bits & 16) && (integer || real)) flags += '0';
  return flags;
}

// Appends one conversion and its arguments; false when no argument is left for it.
bool AddConversion(FuzzInput& in, Plan& plan, TextPool& pool, const VxString& target) {
  static const char kConversions[] = "diuoxXcseEfgGp";
  const char conversion = kConversions[in.Byte() % (sizeof kConversions - 1)];
  const bool integer = std::strchr("diuoxX", conversion) != nullptr;
  const bool real = std::strchr("eEfgG", conversion) != nullptr;
  std::string directive = "%" + Flags(in, conversion);
  long long item = 0;
  long long width = 0;
  long long precision = 0;
  size_t needed = 1;

  const uint8_t layout = in.Byte();
  const bool starWidth = (layout & 3) == 3;
  if ((layout & 3) == 1) width = in.Int(0, 40);
  if ((layout & 3) == 2) width = in.Int(0, kMaxWidth);
  const bool precise = (layout & 4) && (integer || real || conversion == 's');
  const bool starPrecision = precise && (layout & 8);
  needed += starWidth + starPrecision;
  if (plan.args.size() + needed > kMaxArgs) return false;

  if (starWidth) {
    width = in.Int(-kMaxWidth, kMaxWidth);
    plan.args.push_back(Arg{ArgType::kInt, static_cast<long>(width)});
    directive += '*';
    if (width < 0) plan.estimateKnown = false;
  } else if (width != 0) {
    directive += std::to_string(width);
  }
  if (precise) {
    directive += '.';
    if (starPrecision) {
      precision = in.Int(-kMaxWidth, kMaxWidth);
      plan.args.push_back(Arg{ArgType::kInt, static_cast<long>(precision)});
      directive += '*';
      if (precision < 0) plan.estimateKnown = false;
    } else if (layout & 16) {
      precision = in.Int(0, kMaxWidth);
      directive += std::to_string(precision);
    }
  }
  if (directive.find('#') != std::string::npos) plan.estimate += 2;

  Arg value{ArgType::kInt};
  if (integer) {
    const uint8_t size = in.Byte() % 3;
    if (size == 2) {
      directive += 'l';
      value = Arg{ArgType::kLong, static_cast<long>(in.Bits(8))};
    } else {
      if (size == 1) directive += 'h';
      value = Arg{ArgType::kInt, static_cast<int>(in.Bits(4))};
    }
    item = Max(32, width + precision);
  } else if (real) {
    uint64_t bits = in.Bits(8);
    value.type = ArgType::kDouble;
    std::memcpy(&value.real, &bits, sizeof value.real);
    item = Max(128, width + precision);
  } else if (conversion == 'c') {
    value = Arg{ArgType::kInt, in.Byte()};
    item = Max(2, width);
  } else if (conversion == 'p') {
    value.type = ArgType::kText;
    value.text = reinterpret_cast<const char*>(static_cast<uintptr_t>(in.Bits(8)));
    item = Max(32, width);
  } else {
    value.type = ArgType::kText;
    const uint8_t source = in.Byte() % 8;
    if (source == 0) {
      value.text = nullptr;
    } else if (source == 1) {
      // The string's own characters: the class reads them before its block changes.
      value.text = target;
    } else {
      value.text = pool.Add(in.Text(60));
    }
    item = value.text == nullptr ? 6 : Max(1, static_cast<long long>(std::strlen(value.text)));
    item = Max(item, width);
    if (precision != 0 && precision < item) item = precision;
  }
  plan.args.push_back(value);
  plan.format += directive + conversion;
  plan.estimate += item;
  return true;
}

Plan MakePlan(FuzzInput& in, TextPool& pool, const VxString& target) {
  Plan plan;
  const int items = in.Int(0, 12);
  for (int i = 0; i < items && !in.Done(); ++i) {
    const uint8_t kind = in.Byte() % 4;
    if (kind == 0) {
      std::string literal = in.Text(12);
      for (char c : literal) {
        if (c == '%') continue;
        plan.format += c;
        ++plan.estimate;
      }
    } else if (kind == 1) {
      plan.format += "%%";
      ++plan.estimate;
    } else if (!AddConversion(in, plan, pool, target)) {
      break;
    }
  }
  return plan;
}

int Reference(char* out, size_t room, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = std::vsnprintf(out, room, format, args);
  va_end(args);
  return written;
}

// Far larger than any output the plans can ask for.
std::vector<char>& ReferenceBuffer() {
  static std::vector<char> buffer(1 << 16);
  return buffer;
}

struct Outcome {
  std::string expected;
  int written = 0;
};

// The reference formats before the string does: a %s argument may point at the string's
// characters, which Format replaces.
template <typename... Values>
void FormatBoth(const Plan& plan, VxString& target, Outcome& outcome, Values... values) {
  std::vector<char>& buffer = ReferenceBuffer();
  outcome.written = Reference(buffer.data(), buffer.size(), plan.format.c_str(), values...);
  if (outcome.written < 0 || static_cast<size_t>(outcome.written) >= buffer.size()) {
    Fail("the reference output does not fit its buffer", plan);
  }
  outcome.expected = buffer.data();
  target.Format(plan.format.c_str(), values...);
}

template <typename... Values>
void Dispatch(const Plan& plan, VxString& target, Outcome& outcome, Values... values) {
  constexpr size_t kHave = sizeof...(Values);
  if constexpr (kHave == kMaxArgs) {
    FormatBoth(plan, target, outcome, values...);
  } else {
    if (plan.args.size() == kHave) {
      FormatBoth(plan, target, outcome, values...);
      return;
    }
    const Arg& arg = plan.args[kHave];
    switch (arg.type) {
      case ArgType::kInt: Dispatch(plan, target, outcome, values..., static_cast<int>(arg.integer)); break;
      case ArgType::kLong: Dispatch(plan, target, outcome, values..., arg.integer); break;
      case ArgType::kDouble: Dispatch(plan, target, outcome, values..., arg.real); break;
      case ArgType::kText: Dispatch(plan, target, outcome, values..., arg.text); break;
    }
  }
}

// The string before formatting: empty, private, private with spare room, or shared.
void Prepare(FuzzInput& in, ProbeString& target, ProbeString& copy) {
  const uint8_t state = in.Byte() % 4;
  if (state == 0) return;
  target = in.Bytes(40).c_str();
  if (state == 2) {
    target.GetBuffer(in.Int(0, 600));
    target.ReleaseBuffer();
  }
  if (state == 3) copy = target;
}

void CheckRoom(const Plan& plan, const Outcome& outcome, const ProbeString& target, int oldLength,
               int oldRoom, bool wasShared) {
  if (target.GetLength() > target.GetAllocLength()) Fail("length beyond the room", plan);
  if (!target.Terminated()) Fail("no terminator", plan);
  if (!plan.estimateKnown || outcome.written > plan.estimate) return;
  long long room;
  if (plan.estimate == 0 && oldRoom == 0) {
    room = 0;
  } else if (wasShared || plan.estimate > oldRoom) {
    room = Max(plan.estimate, oldLength);
  } else {
    room = oldRoom;
  }
  if (target.GetAllocLength() != room) {
    std::fprintf(stderr, "room %d, expected %lld (estimate %lld)\n", target.GetAllocLength(), room,
                 plan.estimate);
    Fail("room differs from the estimate's", plan);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  ProbeString target;
  ProbeString copy;
  Prepare(in, target, copy);
  const std::string copyText = copy.Bytes();
  const int oldLength = target.GetLength();
  const int oldRoom = target.GetAllocLength();
  const bool wasShared = target.RefCount() > 1;

  TextPool pool;
  const Plan plan = MakePlan(in, pool, target);
  Outcome outcome;
  Dispatch(plan, target, outcome);

  if (target.Bytes() != outcome.expected) {
    std::fprintf(stderr, "got \"%s\", expected \"%s\"\n", target.Bytes().c_str(), outcome.expected.c_str());
    Fail("text differs from vsnprintf's", plan);
  }
  CheckRoom(plan, outcome, target, oldLength, oldRoom, wasShared);
  if (copy.Bytes() != copyText) Fail("a copy taken before changed", plan);
  if (target.RefCount() > 1) Fail("the formatted string still shares its block", plan);
  return 0;
}
