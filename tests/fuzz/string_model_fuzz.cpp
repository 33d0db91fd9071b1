// libFuzzer target: random sequences of VxString members on a few strings that copy and
// assign each other, held against std::string (string_model.h) and a model of which strings
// share a block. After every step each string's bytes match its model, strings the model
// says share a block do and the others do not, every count equals the number of its sharers,
// a copy taken before a change keeps its text and block, and the members that find nothing to
// change leave a shared block shared.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "string/vx_string_probe.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/string_model.h"

namespace {

constexpr int kSlots = 4;
constexpr int kMaxSteps = 64;
// Self-appends double a string at every step, and ReplaceNoCase takes time by the square of
// the length: longer strings are emptied after the step that made them.
constexpr size_t kMaxText = 1024;

// What a step may do to the block of the string it works on.
enum class Sharing {
  kRead,     // nothing: no string changes its block
  kKeep,     // found nothing to change: the same block, shared or not
  kUnshare,  // a private block when the model has it shared
  kFresh,    // a new block that no other string holds (or the shared empty block)
  kCopy,     // the block of the source string
};

class StringModelRun {
 public:
  explicit StringModelRun(FuzzInput& in) : in_(in) {
    for (Slot& slot : slots_) {
      slot.real = std::make_unique<ProbeString>();
      slot.block = next_block_++;
    }
  }

  void Run() {
    for (int step = 0; step < kMaxSteps && !in_.Done(); ++step) Step();
  }

 private:
  struct Slot {
    std::unique_ptr<ProbeString> real;
    std::string text;
    int block = 0;  // strings with the same number share one block
    bool locked = false;
  };

  ProbeString& Real(int i) { return *slots_[i].real; }
  std::string& Text(int i) { return slots_[i].text; }
  int Length(int i) { return static_cast<int>(Text(i).size()); }
  int PickSlot() { return in_.Byte() % kSlots; }

  [[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "string_model_fuzz: step \"%s\" on string %d: %s\n", step_name_, target_, what);
    for (int i = 0; i < kSlots; ++i) {
      std::fprintf(stderr, "  string %d: model %zu bytes \"%s\", real %d bytes \"%s\" (count %d, room %d)\n", i,
                   Text(i).size(), Text(i).c_str(), Real(i).GetLength(), Real(i).Chars(), Real(i).RefCount(),
                   Real(i).GetAllocLength());
    }
    std::abort();
  }

  void Expect(bool holds, const char* what) {
    if (!holds) Fail(what);
  }

  void ExpectResult(long long got, long long expected) {
    if (got == expected) return;
    std::fprintf(stderr, "result %lld, expected %lld\n", got, expected);
    Fail("the result differs from the model's");
  }

  int SharersInModel(int i) {
    int sharers = 0;
    for (const Slot& slot : slots_) sharers += slot.block == slots_[i].block;
    return sharers;
  }

  void Step() {
    target_ = PickSlot();
    const char* before[kSlots];
    int counts[kSlots];
    for (int i = 0; i < kSlots; ++i) {
      before[i] = Real(i).Chars();
      counts[i] = Real(i).RefCount();
    }
    const bool sharedInModel = SharersInModel(target_) > 1;
    const bool wasLocked = slots_[target_].locked;
    source_ = -1;
    const Sharing sharing = Apply(in_.Byte());
    // A locked block stays locked for as long as its string keeps it.
    if (wasLocked && Real(target_).Chars() != before[target_]) slots_[target_].locked = false;
    switch (sharing) {
      case Sharing::kRead:
      case Sharing::kKeep:
        Expect(Real(target_).Chars() == before[target_], "a step that changes nothing took another block");
        Expect(Real(target_).RefCount() == counts[target_], "a step that changes nothing changed the count");
        break;
      case Sharing::kUnshare:
        if (sharedInModel) slots_[target_].block = next_block_++;
        Expect(Real(target_).RefCount() <= 1, "a changed string still shares its block");
        break;
      case Sharing::kFresh:
        slots_[target_].block = next_block_++;
        Expect(Real(target_).RefCount() <= 1, "a new string shares its block");
        break;
      case Sharing::kCopy:
        slots_[target_].block = slots_[source_].block;
        break;
    }
    for (int i = 0; i < kSlots; ++i) {
      if (i != target_) Expect(Real(i).Chars() == before[i], "a step changed the block of another string");
    }
    CheckAll();
    if (Text(target_).size() > kMaxText) EmptyTarget();
  }

  void EmptyTarget() {
    step_name_ = "Empty of a long string";
    if (SharersInModel(target_) > 1) slots_[target_].block = next_block_++;
    Real(target_).Empty();
    Text(target_).clear();
    CheckAll();
  }

  void CheckAll() {
    for (int i = 0; i < kSlots; ++i) {
      const ProbeString& real = Real(i);
      Expect(real.Bytes() == Text(i), "the bytes differ from the model's");
      Expect(real.Terminated(), "no terminator behind the text");
      Expect(real.GetLength() <= real.GetAllocLength(), "the length exceeds the room");
      Expect((real.GetAllocLength() == 0) == real.OnSharedEmpty(), "room 0 off the shared empty block");
      if (real.OnSharedEmpty()) Expect(real.RefCount() == -2 && real.GetLength() == 0, "the shared empty block changed");
      int sharers = 0;
      for (int j = 0; j < kSlots; ++j) {
        const bool same = Real(j).Chars() == real.Chars();
        sharers += same;
        if (slots_[j].block == slots_[i].block) {
          Expect(same, "strings the model has sharing hold different blocks");
        } else if (!real.OnSharedEmpty()) {
          Expect(!same, "strings the model keeps apart share a block");
        }
      }
      if (slots_[i].locked) {
        Expect(real.RefCount() == -1 && sharers == 1, "a locked block is unmarked or shared");
      } else if (!real.OnSharedEmpty()) {
        Expect(real.RefCount() == sharers, "the count is not the number of sharers");
      }
    }
  }

  // A C text from the input.
  std::string ArgText() { return in_.Text(12); }

  Sharing Apply(uint8_t op) {
    const int i = target_;
    ProbeString& s = Real(i);
    std::string& text = Text(i);
    switch (op % 31) {
      case 0: {
        step_name_ = "copy construction";
        source_ = PickSlot();
        const bool fromLocked = slots_[source_].locked;
        const std::string t = Text(source_);
        slots_[i].real = std::make_unique<ProbeString>(Real(source_));
        slots_[i].locked = false;
        // A locked source is copied as a text, up to its first NUL.
        text = fromLocked ? model::Scanned(t) : t;
        return fromLocked ? Sharing::kFresh : Sharing::kCopy;
      }
      case 1: {
        step_name_ = "assignment of a string";
        source_ = PickSlot();
        const bool copied = slots_[source_].locked || slots_[i].locked;
        s = Real(source_);
        text = Text(source_);
        // Either side locked: the bytes are copied, into the locked block when they fit.
        return copied ? Sharing::kUnshare : Sharing::kCopy;
      }
      case 2: {
        step_name_ = "assignment of bytes";
        std::string bytes = in_.Bytes(24);
        s = Make(bytes);
        text = bytes;
        return Sharing::kFresh;
      }
      case 3: {
        step_name_ = "assignment of a text";
        std::string t = ArgText();
        s = t.c_str();
        text = t;
        return Sharing::kUnshare;
      }
      case 4: {
        step_name_ = "assignment of a character";
        char ch = static_cast<char>(in_.Byte());
        s = ch;
        text = std::string(1, ch);
        return Sharing::kUnshare;
      }
      case 5: {
        step_name_ = "assignment of a string's characters";
        const int from = PickSlot();
        const std::string t = model::Scanned(Text(from));
        s = static_cast<const char*>(Real(from));
        text = t;
        return Sharing::kUnshare;
      }
      case 6: return Append();
      case 7: {
        step_name_ = "Insert of a character";
        const int index = in_.Position(Length(i));
        const char ch = static_cast<char>(in_.Byte());
        ExpectResult(s.Insert(index, ch), model::Insert(text, index, std::string(1, ch)));
        return Sharing::kUnshare;
      }
      case 8: {
        step_name_ = "Insert of a text";
        const int index = in_.Position(Length(i));
        const std::string t = ArgText();
        ExpectResult(s.Insert(index, t.c_str()), model::Insert(text, index, t));
        return t.empty() ? Sharing::kKeep : Sharing::kUnshare;
      }
      case 9: {
        step_name_ = "Delete";
        const int index = in_.Position(Length(i));
        const int count = in_.Position(Length(i));
        const bool nothing = count <= 0 || (index < 0 ? 0 : index) >= Length(i);
        ExpectResult(s.Delete(index, count), model::Delete(text, index, count));
        return nothing ? Sharing::kKeep : Sharing::kUnshare;
      }
      case 10: {
        step_name_ = "Replace of a character";
        const char from = static_cast<char>(in_.Byte());
        const char to = static_cast<char>(in_.Byte());
        ExpectResult(s.Replace(from, to), model::ReplaceChar(text, from, to));
        return from == to ? Sharing::kKeep : Sharing::kUnshare;
      }
      case 11:
      case 12: {
        const bool noCase = op % 31 == 12;
        step_name_ = noCase ? "ReplaceNoCase" : "Replace of a text";
        const std::string from = in_.Text(4);
        const std::string to = ArgText();
        const bool nullTo = to.empty() && (in_.Byte() & 1);
        const char* toArg = nullTo ? nullptr : to.c_str();
        const int count = noCase ? s.ReplaceNoCase(from.c_str(), toArg) : s.Replace(from.c_str(), toArg);
        const int expected = model::Replace(text, from, to, noCase);
        ExpectResult(count, expected);
        return expected == 0 ? Sharing::kKeep : Sharing::kUnshare;
      }
      case 13: {
        step_name_ = "Remove";
        const char ch = static_cast<char>(in_.Byte() % 4 == 0 ? 0 : in_.Byte());
        ExpectResult(s.Remove(ch), model::Remove(text, ch));
        return Sharing::kUnshare;
      }
      case 14: return Trim(true);
      case 15: return Trim(false);
      case 16: return Extract();
      case 17: return Rewrite("MakeUpper", &VxString::MakeUpper, model::MakeUpper);
      case 18: return Rewrite("MakeLower", &VxString::MakeLower, model::MakeLower);
      case 19: return Rewrite("MakeReverse", &VxString::MakeReverse, model::MakeReverse);
      case 20: {
        step_name_ = "SetAt";
        const int index = in_.Position(Length(i));
        const char ch = static_cast<char>(in_.Byte());
        s.SetAt(index, ch);
        if (index < 0 || index >= Length(i)) return Sharing::kKeep;
        text[static_cast<size_t>(index)] = ch;
        return Sharing::kUnshare;
      }
      case 21: return BufferRoundTrip();
      case 22: return SetLength();
      case 23: {
        step_name_ = "FreeExtra";
        const bool exact = s.GetLength() == s.GetAllocLength();
        s.FreeExtra();
        Expect(s.GetAllocLength() == s.GetLength(), "FreeExtra left spare room");
        return exact ? Sharing::kKeep : Sharing::kFresh;
      }
      case 24: {
        step_name_ = "Empty";
        const bool wasEmpty = text.empty();
        s.Empty();
        text.clear();
        // Nothing to empty: a shared private block of length 0 stays shared.
        return wasEmpty ? Sharing::kKeep : Sharing::kUnshare;
      }
      case 25: return Concatenate();
      case 26: return Wide();
      case 27: return Lock();
      default: return Query();
    }
  }

  // A member that rewrites the characters in place, and its model.
  Sharing Rewrite(const char* name, void (VxString::*member)(), void (*reference)(std::string&)) {
    step_name_ = name;
    (Real(target_).*member)();
    reference(Text(target_));
    return Sharing::kUnshare;
  }

  Sharing Append() {
    const int i = target_;
    ProbeString& s = Real(i);
    std::string& text = Text(i);
    switch (in_.Byte() % 4) {
      case 0: {
        step_name_ = "+= of a text";
        const std::string t = ArgText();
        s += t.c_str();
        text += t;
        return t.empty() ? Sharing::kKeep : Sharing::kUnshare;
      }
      case 1: {
        step_name_ = "+= of a character";
        const char ch = static_cast<char>(in_.Byte());
        s += ch;
        text += ch;
        return Sharing::kUnshare;
      }
      case 2: {
        step_name_ = "+= of a string";
        const int from = PickSlot();
        const std::string t = Text(from);
        s += Real(from);
        text += t;
        return t.empty() ? Sharing::kKeep : Sharing::kUnshare;
      }
      default: {
        step_name_ = "+= of a string's characters";
        const int from = PickSlot();
        const std::string t = model::Scanned(Text(from));
        s += static_cast<const char*>(Real(from));
        text += t;
        return t.empty() ? Sharing::kKeep : Sharing::kUnshare;
      }
    }
  }

  Sharing Trim(bool left) {
    ProbeString& s = Real(target_);
    std::string& text = Text(target_);
    const uint8_t form = in_.Byte() % 3;
    const char ch = static_cast<char>(in_.Byte() % 3 == 0 ? ' ' : in_.Byte());
    const std::string set = in_.Text(4);
    step_name_ = left ? "TrimLeft" : "TrimRight";
    if (form == 0) {
      left ? s.TrimLeft() : s.TrimRight();
      (left ? model::TrimLeft : model::TrimRight)(text, model::TrimKind::kWhitespace, ch, set);
      return Sharing::kUnshare;
    }
    if (form == 1) {
      left ? s.TrimLeft(ch) : s.TrimRight(ch);
      (left ? model::TrimLeft : model::TrimRight)(text, model::TrimKind::kChar, ch, set);
      return Sharing::kUnshare;
    }
    left ? s.TrimLeft(set.c_str()) : s.TrimRight(set.c_str());
    (left ? model::TrimLeft : model::TrimRight)(text, model::TrimKind::kSet, ch, set);
    return left && set.empty() ? Sharing::kKeep : Sharing::kUnshare;
  }

  Sharing Extract() {
    source_ = PickSlot();
    const ProbeString& from = Real(source_);
    const std::string t = Text(source_);
    const int first = in_.Position(static_cast<int>(t.size()));
    const int count = in_.Position(static_cast<int>(t.size()));
    ProbeString result;
    std::string expected;
    switch (in_.Byte() % 6) {
      case 0:
        step_name_ = "Mid with a count";
        result = from.Mid(first, count);
        expected = model::Mid(t, first, count);
        break;
      case 1:
        step_name_ = "Mid";
        result = from.Mid(first);
        expected = model::Mid(t, first);
        break;
      case 2:
        step_name_ = "Left";
        result = from.Left(count);
        expected = model::Left(t, count);
        break;
      case 3:
        step_name_ = "Right";
        result = from.Right(count);
        expected = model::Right(t, count);
        break;
      case 4: {
        step_name_ = "SpanIncluding";
        const std::string set = in_.Text(6);
        result = from.SpanIncluding(set.c_str());
        expected = model::Scanned(t).substr(0, std::strspn(t.c_str(), set.c_str()));
        break;
      }
      default: {
        step_name_ = "SpanExcluding";
        const std::string set = in_.Text(6);
        result = from.SpanExcluding(set.c_str());
        expected = model::Scanned(t).substr(0, std::strcspn(t.c_str(), set.c_str()));
        break;
      }
    }
    Expect(result.GetAllocLength() == result.GetLength(), "an extraction is not of exact size");
    Expect(result.OnSharedEmpty() || result.Chars() != from.Chars(), "an extraction shares its source's block");
    Real(target_) = result;
    Text(target_) = expected;
    return Sharing::kFresh;
  }

  Sharing Concatenate() {
    source_ = PickSlot();
    const int other = PickSlot();
    const std::string t = ArgText();
    const char ch = static_cast<char>(in_.Byte());
    ProbeString result;
    std::string expected;
    step_name_ = "operator+";
    switch (in_.Byte() % 5) {
      case 0:
        result = Real(source_) + Real(other);
        expected = Text(source_) + Text(other);
        break;
      case 1:
        result = Real(source_) + t.c_str();
        expected = Text(source_) + t;
        break;
      case 2:
        result = t.c_str() + Real(source_);
        expected = t + Text(source_);
        break;
      case 3:
        result = Real(source_) + ch;
        expected = Text(source_) + ch;
        break;
      default:
        result = ch + Real(source_);
        expected = ch + Text(source_);
        break;
    }
    Expect(result.OnSharedEmpty() || (result.Chars() != Real(other).Chars() && result.Chars() != Real(source_).Chars()),
           "a sum shares an operand's block");
    Real(target_) = result;
    Text(target_) = expected;
    return Sharing::kFresh;
  }

  // GetBuffer, bytes written into the buffer, ReleaseBuffer.
  Sharing BufferRoundTrip() {
    step_name_ = "GetBuffer and ReleaseBuffer";
    ProbeString& s = Real(target_);
    std::string& text = Text(target_);
    const int minimum = in_.Int(0, 300);
    char* buffer = s.GetBuffer(minimum);
    Expect(buffer == s.Chars(), "GetBuffer returned other characters");
    Expect(s.Bytes() == text, "GetBuffer changed the text");
    const int room = s.GetAllocLength();
    Expect(room >= minimum && room >= Length(target_), "GetBuffer gave too little room");
    std::string written = in_.Bytes(static_cast<size_t>(room < 255 ? room : 255));
    std::memcpy(buffer, written.data(), written.size());
    buffer[written.size()] = '\0';
    const bool measure = in_.Byte() & 1;
    const int newLength = measure ? -1 : in_.Int(0, static_cast<int>(written.size()));
    s.ReleaseBuffer(newLength);
    text = measure ? model::Scanned(written) : written.substr(0, static_cast<size_t>(newLength));
    Expect(s.GetAllocLength() == room, "ReleaseBuffer changed the room");
    return Sharing::kUnshare;
  }

  Sharing SetLength() {
    step_name_ = "GetBufferSetLength";
    ProbeString& s = Real(target_);
    const int length = in_.Int(0, 200);
    char* buffer = s.GetBufferSetLength(length);
    Expect(s.GetLength() == length && buffer[length] == '\0', "GetBufferSetLength did not set the length");
    std::string bytes;
    for (int k = 0; k < length; ++k) bytes += static_cast<char>(in_.Byte());
    std::memcpy(buffer, bytes.data(), bytes.size());
    s.ReleaseBuffer(length);
    Text(target_) = bytes;
    return Sharing::kUnshare;
  }

  Sharing Wide() {
    step_name_ = "16-bit text";
    ProbeString& s = Real(target_);
    std::string& text = Text(target_);
    text = model::Scanned(text);
    const unsigned short* units = s;
    for (size_t k = 0; k <= text.size(); ++k) {
      Expect(units[k] == static_cast<unsigned char>(text.c_str()[k]), "a 16-bit unit differs from its byte");
    }
    return Sharing::kUnshare;
  }

  // LockBuffer, or UnlockBuffer on a locked string.
  Sharing Lock() {
    Slot& slot = slots_[target_];
    if (slot.locked) {
      step_name_ = "UnlockBuffer";
      slot.real->UnlockBuffer();
      slot.locked = false;
      Expect(slot.real->RefCount() == 1, "UnlockBuffer left the block marked");
      return Sharing::kUnshare;
    }
    step_name_ = "LockBuffer";
    char* buffer = slot.real->LockBuffer();
    Expect(buffer == slot.real->Chars(), "LockBuffer returned other characters");
    // The empty string stays on the shared empty block, unlocked.
    slot.locked = !slot.real->OnSharedEmpty();
    return Sharing::kUnshare;
  }

  Sharing Query() {
    const ProbeString& s = Real(target_);
    const std::string& text = Text(target_);
    const std::string t = ArgText();
    const char ch = static_cast<char>(in_.Byte() % 4 == 0 ? 0 : in_.Byte());
    const int start = in_.Position(Length(target_));
    const int other = PickSlot();
    step_name_ = "a query";
    switch (in_.Byte() % 12) {
      case 0: ExpectResult(s.Find(ch), model::Find(text, ch)); break;
      case 1: ExpectResult(s.Find(ch, start), model::Find(text, ch, start)); break;
      case 2: ExpectResult(s.Find(t.c_str()), model::Find(text, t, 0)); break;
      case 3: ExpectResult(s.Find(t.c_str(), start), model::Find(text, t, start)); break;
      case 4: ExpectResult(s.ReverseFind(ch), model::ReverseFind(text, ch)); break;
      case 5: ExpectResult(s.FindOneOf(t.c_str()), model::FindOneOf(text, t)); break;
      case 6: ExpectResult(s.Compare(t.c_str()), model::Compare(text, t, false)); break;
      case 7: ExpectResult(s.CompareNoCase(t.c_str()), model::Compare(text, t, true)); break;
      case 8: ExpectResult(s.Collate(t.c_str()), model::Compare(text, t, false)); break;
      case 9: ExpectResult(s.CollateNoCase(t.c_str()), model::Compare(text, t, true)); break;
      case 10: {
        const int index = start < 0 ? 0 : start > Length(target_) ? Length(target_) : start;
        ExpectResult(s.GetAt(index), text.c_str()[index]);
        ExpectResult(s[index], text.c_str()[index]);
        break;
      }
      default: {
        const int order = model::Compare(text, Text(other), false);
        const ProbeString& o = Real(other);
        Expect((s == o) == (order == 0) && (s != o) == (order != 0), "== or != disagrees with the order");
        Expect((s < o) == (order < 0) && (s > o) == (order > 0), "< or > disagrees with the order");
        Expect((s <= o) == (order <= 0) && (s >= o) == (order >= 0), "<= or >= disagrees with the order");
        const char* otherText = o;
        Expect((otherText < s) == (order > 0) && (s < otherText) == (order < 0), "a mixed < disagrees");
        break;
      }
    }
    return Sharing::kRead;
  }

  FuzzInput& in_;
  Slot slots_[kSlots];
  int next_block_ = 1;
  int target_ = 0;
  int source_ = -1;
  const char* step_name_ = "";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  StringModelRun run(in);
  run.Run();
  return 0;
}
