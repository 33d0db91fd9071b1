// VxString: the shared blocks, construction, assignment, concatenation and buffer access.
#include "string/vx_string.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "platform/atomic.h"
#include "platform/memory.h"
#include "platform/text.h"

namespace {

// The shared empty block: a header and its one NUL, laid out as a heap block is, so that
// GetData and data() need no separate case for it.
struct EmptyBlock {
  VxStringData header;
  char nul;
};
static_assert(offsetof(EmptyBlock, nul) == sizeof(VxStringData),
              "the NUL of the empty block lies directly behind its header");

// Constant-initialised: in place before any constructor of the program runs.
EmptyBlock VxEmptyStringData = {{-2, 0, 0}, '\0'};

// VxEmptyString: the pointer is stored at load (a constexpr constructor, so constant
// initialisation) as a plain member of a union and read as
// the VxString member that shares its place (the class is one pointer, and GCC defines
// reading a union through another member). No VxString constructor or destructor runs for
// it, so it is usable from any other static's constructor or destructor.
union EmptyStringImage {
  constexpr EmptyStringImage() : chars(&VxEmptyStringData.nul) {}
  ~EmptyStringImage() {}
  char* chars;
  VxString string;
};
static_assert(sizeof(EmptyStringImage) == sizeof(char*), "the image is one pointer");
EmptyStringImage VxEmptyString;

char* EmptyChars() { return &VxEmptyStringData.nul; }

VxStringData* BlockOf(char* chars) { return reinterpret_cast<VxStringData*>(chars) - 1; }

// A new heap block of exactly `length` (1 or more) characters, counted once. Throws
// std::bad_alloc, before anything else happens, when the heap cannot give it.
char* NewBlock(long long length) {
  if (length <= 0 || length > 0x7FFFFFF0LL) throw std::bad_alloc();
  void* memory = platform::HeapAllocate(sizeof(VxStringData) + static_cast<size_t>(length) + 1);
  if (memory == nullptr) throw std::bad_alloc();
  int32_t n = static_cast<int32_t>(length);
  VxStringData* block = ::new (memory) VxStringData{1, n, n};
  block->data()[n] = '\0';
  return block->data();
}

// As NewBlock, but length 0 gives the shared empty block.
char* FreshChars(long long length) { return length == 0 ? EmptyChars() : NewBlock(length); }

void FreeBlock(VxStringData* block) { platform::HeapRelease(block); }

// Every byte copy of the class behaves as an overlapping move. A count of 0 copies nothing
// and may come with a null source (a null text counts as empty).
void MoveBytes(char* dest, const char* source, long long count) {
  if (count > 0) std::memmove(dest, source, static_cast<size_t>(count));
}

}  // namespace

const VxString& VxGetEmptyString() { return VxEmptyString.string; }

// --- Block management -------------------------------------------------------------------

VxStringData* VxString::GetData() const { return BlockOf(chars); }

void VxString::Init() { chars = EmptyChars(); }

int VxString::SafeStrlen(const char* text) {
  return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
}

void VxString::AllocBuffer(int length) { chars = FreshChars(length); }

void VxString::Release() {
  if (GetData()->refCount == -2) return;
  Release(GetData());
  Init();
}

void VxString::Release(VxStringData* data) {
  if (data->refCount == -2) return;
  // A locked block (-1) drops to -2 here: its one owner frees it.
  if (platform::AtomicDecrement(&data->refCount) <= 0) FreeBlock(data);
}

void VxString::CopyBeforeWrite() {
  VxStringData* old = GetData();
  if (old->refCount <= 1) return;
  // The new block is made before the old share is dropped, so that a failed allocation
  // leaves the string as it was.
  char* fresh = FreshChars(old->dataLength);
  if (old->dataLength > 0) std::memcpy(fresh, chars, static_cast<size_t>(old->dataLength) + 1);
  Release(old);
  chars = fresh;
}

void VxString::AllocBeforeWrite(int length) {
  VxStringData* old = GetData();
  if (old->refCount <= 1 && length <= old->allocLength) return;
  char* fresh = FreshChars(length);
  Release(old);
  chars = fresh;
}

void VxString::AllocCopy(VxString& dest, int copyLength, int copyIndex, int extraLength) const {
  long long newLength = static_cast<long long>(copyLength) + extraLength;
  if (newLength == 0) {
    dest.Init();
    return;
  }
  char* fresh = NewBlock(newLength);
  MoveBytes(fresh, chars + copyIndex, copyLength);
  dest.chars = fresh;
}

void VxString::AssignCopy(int length, const char* source) {
  VxStringData* old = GetData();
  if (old->refCount > 1 || length > old->allocLength) {
    // The source may lie in the old block: copy before the old share is dropped.
    char* fresh = FreshChars(length);
    MoveBytes(fresh, source, length);
    Release(old);
    chars = fresh;
    return;
  }
  if (old->refCount == -2) return;  // empty onto the shared empty block: nothing to store
  MoveBytes(chars, source, length);
  old->dataLength = length;
  chars[length] = '\0';
}

void VxString::ConcatCopy(int length1, const char* source1, int length2, const char* source2) {
  long long total = static_cast<long long>(length1) + length2;
  if (total == 0) return;
  char* fresh = NewBlock(total);
  MoveBytes(fresh, source1, length1);
  MoveBytes(fresh + length1, source2, length2);
  chars = fresh;
}

void VxString::ConcatInPlace(int length, const char* source) {
  if (length == 0) return;
  VxStringData* old = GetData();
  if (old->refCount > 1 || static_cast<long long>(old->dataLength) + length > old->allocLength) {
    // The old block stays alive until the copy is made, so the source may lie inside it.
    ConcatCopy(old->dataLength, chars, length, source);
    Release(old);
    return;
  }
  MoveBytes(chars + old->dataLength, source, length);
  old->dataLength += length;
  chars[old->dataLength] = '\0';
}

// --- Construction -----------------------------------------------------------------------

VxString::VxString() { Init(); }

VxString::VxString(const VxString& source) {
  VxStringData* data = source.GetData();
  if (data->refCount >= 0) {
    platform::AtomicIncrement(&data->refCount);
    chars = source.chars;
    return;
  }
  Init();
  *this = static_cast<const char*>(source.chars);
}

VxString::VxString(const char* text) {
  Init();
  int length = SafeStrlen(text);
  if (length == 0) return;
  AllocBuffer(length);
  MoveBytes(chars, text, length);
}

VxString::VxString(const unsigned char* text) {
  Init();
  *this = reinterpret_cast<const char*>(text);
}

VxString::VxString(char ch, int repeat) {
  Init();
  if (repeat < 1) return;
  AllocBuffer(repeat);
  std::memset(chars, static_cast<unsigned char>(ch), static_cast<size_t>(repeat));
}

VxString::VxString(const char* bytes, int count) {
  Init();
  if (count == 0) return;
  AllocBuffer(count);
  MoveBytes(chars, bytes, count);
}

VxString::~VxString() { Release(GetData()); }

// --- Assignment and concatenation -------------------------------------------------------

VxString& VxString::operator=(const VxString& source) {
  if (chars == source.chars) return *this;
  VxStringData* mine = GetData();
  VxStringData* theirs = source.GetData();
  if (mine->refCount == -2 && theirs->refCount == -2) return *this;
  if (mine->refCount == -1 || theirs->refCount == -1) {
    // A locked block is never shared: copy the characters, into the locked block when they fit.
    AssignCopy(theirs->dataLength, source.chars);
  } else if (theirs->refCount == -2) {
    Release();
  } else {
    platform::AtomicIncrement(&theirs->refCount);
    Release();
    chars = source.chars;
  }
  return *this;
}

VxString& VxString::operator=(const char* text) {
  AssignCopy(SafeStrlen(text), text);
  return *this;
}

VxString& VxString::operator=(const unsigned char* text) {
  return *this = reinterpret_cast<const char*>(text);
}

VxString& VxString::operator=(char ch) {
  AssignCopy(1, &ch);
  return *this;
}

VxString& VxString::operator+=(const char* text) {
  ConcatInPlace(SafeStrlen(text), text);
  return *this;
}

VxString& VxString::operator+=(char ch) {
  ConcatInPlace(1, &ch);
  return *this;
}

VxString& VxString::operator+=(const VxString& other) {
  ConcatInPlace(other.GetData()->dataLength, other.chars);
  return *this;
}

VxString operator+(const VxString& left, const VxString& right) {
  VxString result;
  result.ConcatCopy(left.GetData()->dataLength, left.chars, right.GetData()->dataLength, right.chars);
  return result;
}

VxString operator+(const VxString& left, const char* right) {
  VxString result;
  result.ConcatCopy(left.GetData()->dataLength, left.chars, VxString::SafeStrlen(right), right);
  return result;
}

VxString operator+(const char* left, const VxString& right) {
  VxString result;
  result.ConcatCopy(VxString::SafeStrlen(left), left, right.GetData()->dataLength, right.chars);
  return result;
}

VxString operator+(const VxString& left, char right) {
  VxString result;
  result.ConcatCopy(left.GetData()->dataLength, left.chars, 1, &right);
  return result;
}

VxString operator+(char left, const VxString& right) {
  VxString result;
  result.ConcatCopy(1, &left, right.GetData()->dataLength, right.chars);
  return result;
}

// --- Length and buffer access -----------------------------------------------------------

int VxString::GetLength() const { return GetData()->dataLength; }

int VxString::GetAllocLength() const { return GetData()->allocLength; }

bool VxString::IsEmpty() const { return GetData()->dataLength == 0; }

VxString::operator const char*() const { return chars; }

void VxString::Empty() {
  VxStringData* data = GetData();
  if (data->dataLength == 0) return;
  if (data->refCount >= 0) {
    Release();
  } else {
    AssignCopy(0, chars);  // locked: the block and its room stay
  }
}

char* VxString::GetBuffer(int minLength) {
  VxStringData* old = GetData();
  if (old->refCount > 1 || minLength > old->allocLength) {
    int oldLength = old->dataLength;
    char* fresh = FreshChars(minLength < oldLength ? oldLength : minLength);
    if (fresh != EmptyChars()) {
      std::memcpy(fresh, chars, static_cast<size_t>(oldLength) + 1);
      BlockOf(fresh)->dataLength = oldLength;
    }
    Release(old);
    chars = fresh;
  }
  return chars;
}

void VxString::ReleaseBuffer(int newLength) {
  CopyBeforeWrite();
  if (newLength == -1) newLength = platform::TextLength(chars);
  VxStringData* data = GetData();
  // The shared empty block has no room to set a length in; it already holds length 0.
  if (data->refCount == -2) return;
  data->dataLength = newLength;
  chars[newLength] = '\0';
}

char* VxString::GetBufferSetLength(int newLength) {
  GetBuffer(newLength);
  VxStringData* data = GetData();
  if (data->refCount != -2) {
    data->dataLength = newLength;
    chars[newLength] = '\0';
  }
  return chars;
}

void VxString::FreeExtra() {
  VxStringData* old = GetData();
  if (old->dataLength == old->allocLength) return;
  char* fresh = FreshChars(old->dataLength);
  MoveBytes(fresh, chars, old->dataLength);
  Release(old);
  chars = fresh;
}

char* VxString::LockBuffer() {
  GetBuffer(0);
  VxStringData* data = GetData();
  // The shared empty block is never locked: the string stays on it, unlocked.
  if (data->refCount != -2) data->refCount = -1;
  return chars;
}

void VxString::UnlockBuffer() {
  VxStringData* data = GetData();
  if (data->refCount != -2) data->refCount = 1;
}
