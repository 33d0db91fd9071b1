//===- vx_string.h - Reference-counted, copy-on-write 8-bit string -------===//
//
// VxString holds one pointer, `chars`, to the characters of a VxStringData block:
// a header of three signed 32-bit fields directly followed by allocLength + 1
// characters. Copies share one block and count it atomically; a member that
// changes the text first gives its string a private block. Every empty string
// points at the one shared empty block, which is never counted or freed.
//
// What this class does not do: it never reserves room for growth (a block is
// exactly as large as asked for), it never shrinks a block except in FreeExtra,
// and it reports no errors. A heap that cannot satisfy an allocation (or a length no block
// can hold) makes the allocating member throw std::bad_alloc before anything of the string
// changes: its text, its block and the counts of shared blocks stay as they were.
//
// Thread use: one VxString object is used by one thread at a time; blocks may be
// shared across threads because only the count is touched by sharers.
//===----------------------------------------------------------------------===//
#ifndef VX_STRING_VX_STRING_H
#define VX_STRING_VX_STRING_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>

struct VxStringData {
  // Sharers of the block (1 or more); -1 marks a locked block, -2 the shared empty block.
  int32_t refCount;
  // Characters in use, not counting the terminating NUL.
  int32_t dataLength;
  // Characters the block can hold, not counting the terminating NUL.
  int32_t allocLength;

  // The characters lie directly behind the header.
  char* data() { return reinterpret_cast<char*>(this + 1); }
};

static_assert(sizeof(VxStringData) == 12, "the block header is three 32-bit fields");

class VxString {
 public:
  VxString();
  VxString(const VxString& source);
  VxString(const char* text);            // null counts as empty
  VxString(const unsigned char* text);   // null counts as empty
  VxString(char ch, int repeat);         // repeat <= 0 gives the empty string
  VxString(const char* bytes, int count);  // count bytes verbatim, NULs included
  ~VxString();

  VxString& operator=(const VxString& source);
  VxString& operator=(const char* text);
  VxString& operator=(const unsigned char* text);
  VxString& operator=(char ch);  // always one character, also for NUL

  VxString& operator+=(const char* text);
  VxString& operator+=(char ch);
  VxString& operator+=(const VxString& other);

  int GetLength() const;
  int GetAllocLength() const;
  bool IsEmpty() const;
  operator const char*() const;

  void Empty();
  // The returned buffer is the caller's until ReleaseBuffer; length and text are unchanged.
  char* GetBuffer(int minLength);
  // newLength -1 measures up to the first NUL. The room is not reduced.
  void ReleaseBuffer(int newLength = -1);
  char* GetBufferSetLength(int newLength);
  void FreeExtra();
  // A locked block is never shared; UnlockBuffer only after LockBuffer. The empty string
  // is not locked: it stays on the shared empty block, and UnlockBuffer leaves it there.
  char* LockBuffer();
  void UnlockBuffer();

  // printf-style formatting. The room afterwards is that of GetBuffer with the estimated
  // longest result; an output longer than the estimate gets a block of its own length, so
  // the block is never overrun. An argument may point into this string: the text is
  // formatted before the block changes.
  void Format(const char* format, ...);
  void FormatV(const char* format, va_list args);
  // The system message formatter's insert syntax (%1 .. %99, %n!fmt!, %0, %n, %%). When the
  // formatter fails or gives no text the string is left unchanged and the call returns
  // normally (the class reports no errors); only a failed allocation throws.
  void FormatMessageA(const char* pattern, ...);

  // 16-bit text stored behind the 8-bit terminator in this string's own block; valid
  // until the string is next changed or destroyed.
  operator const unsigned short*();

  // Comparison; the argument must not be null. Results are -1, 0 or 1.
  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;
  int Collate(const char* text) const;
  int CollateNoCase(const char* text) const;

  // GetAt and operator[] read 0 to the length (the length gives the NUL); outside that they
  // return '\0'. SetAt writes 0 to length - 1; outside that it does nothing, not even unshare.
  char GetAt(int index) const;
  char operator[](int index) const;
  void SetAt(int index, char ch);

  // Extractions always return a fresh block of exactly their length (or the shared empty
  // block), never this string's block.
  VxString Mid(int first, int count) const;
  VxString Mid(int first) const;
  VxString Left(int count) const;
  VxString Right(int count) const;
  VxString SpanIncluding(const char* set) const;
  VxString SpanExcluding(const char* set) const;

  // Searches stop at the first NUL. A negative start counts as 0.
  int Find(char ch) const;
  int Find(char ch, int start) const;
  int Find(const char* text) const;
  int Find(const char* text, int start) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* set) const;

  void MakeUpper();
  void MakeLower();
  void MakeReverse();
  // The system's ANSI to OEM code page and back (on the host: 1252 and 850).
  void CharToOemA();
  void OemToCharA();

  void TrimLeft();
  void TrimLeft(char ch);
  void TrimLeft(const char* set);
  void TrimRight();
  void TrimRight(char ch);
  void TrimRight(const char* set);

  // The text given to Insert or Replace must not lie inside this string. Delete with a
  // count reaching past the end deletes to the end. Members that find nothing to change
  // (Replace of equal characters or without an occurrence, Insert of an empty text, Delete
  // of nothing, TrimLeft with an empty set) leave a shared block shared.
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);
  int Replace(char oldChar, char newChar);
  int Replace(const char* oldText, const char* newText);
  int ReplaceNoCase(const char* oldText, const char* newText);
  int Remove(char ch);

 protected:
  VxStringData* GetData() const;
  void Init();
  static int SafeStrlen(const char* text);
  void AllocBuffer(int length);
  void Release();
  static void Release(VxStringData* data);
  void CopyBeforeWrite();
  void AllocBeforeWrite(int length);
  void AllocCopy(VxString& dest, int copyLength, int copyIndex, int extraLength) const;
  void AssignCopy(int length, const char* source);
  void ConcatCopy(int length1, const char* source1, int length2, const char* source2);
  void ConcatInPlace(int length, const char* source);

  char* chars;

  friend VxString operator+(const VxString& left, const VxString& right);
  friend VxString operator+(const VxString& left, const char* right);
  friend VxString operator+(const char* left, const VxString& right);
  friend VxString operator+(const VxString& left, char right);
  friend VxString operator+(char left, const VxString& right);
};

static_assert(sizeof(VxString) == sizeof(char*), "a string is one pointer");

VxString operator+(const VxString& left, const VxString& right);
VxString operator+(const VxString& left, const char* right);
VxString operator+(const char* left, const VxString& right);
VxString operator+(const VxString& left, char right);
VxString operator+(char left, const VxString& right);

bool operator==(const VxString& a, const VxString& b);
bool operator==(const VxString& a, const char* b);
bool operator==(const char* a, const VxString& b);
bool operator!=(const VxString& a, const VxString& b);
bool operator!=(const VxString& a, const char* b);
bool operator!=(const char* a, const VxString& b);
bool operator<(const VxString& a, const VxString& b);
bool operator<(const VxString& a, const char* b);
bool operator<(const char* a, const VxString& b);
bool operator>(const VxString& a, const VxString& b);
bool operator>(const VxString& a, const char* b);
bool operator>(const char* a, const VxString& b);
bool operator<=(const VxString& a, const VxString& b);
bool operator<=(const VxString& a, const char* b);
bool operator<=(const char* a, const VxString& b);
bool operator>=(const VxString& a, const VxString& b);
bool operator>=(const VxString& a, const char* b);
bool operator>=(const char* a, const VxString& b);

// The shared empty string; never constructed or destroyed.
const VxString& VxGetEmptyString();

#endif  // VX_STRING_VX_STRING_H
