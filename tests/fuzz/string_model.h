//===- string_model.h - VxString's editing and searching on std::string (internal) -===//
// The reference that string_model_fuzz holds VxString against: each function does to a
// std::string (embedded NULs included) what the member of the same name does to the string's
// bytes, and returns what the member returns. "Scans" end at the first NUL, "over the length"
// members treat NULs as ordinary bytes, as the class documents.
#ifndef VX_TESTS_FUZZ_STRING_MODEL_H
#define VX_TESTS_FUZZ_STRING_MODEL_H

#include <string>

namespace model {

// The bytes before the first NUL.
std::string Scanned(const std::string& text);

int Insert(std::string& text, int index, const std::string& inserted);
int Delete(std::string& text, int index, int count);
int ReplaceChar(std::string& text, char oldChar, char newChar);
int Replace(std::string& text, const std::string& oldText, const std::string& newText, bool noCase);
int Remove(std::string& text, char ch);

// Trims whitespace, bytes equal to `ch`, or the members of `set`.
enum class TrimKind { kWhitespace, kChar, kSet };
void TrimLeft(std::string& text, TrimKind kind, char ch, const std::string& set);
void TrimRight(std::string& text, TrimKind kind, char ch, const std::string& set);

void MakeUpper(std::string& text);
void MakeLower(std::string& text);
void MakeReverse(std::string& text);

std::string Mid(const std::string& text, int first, int count);
std::string Mid(const std::string& text, int first);
std::string Left(const std::string& text, int count);
std::string Right(const std::string& text, int count);

int Find(const std::string& text, char ch);
int Find(const std::string& text, char ch, int start);
int Find(const std::string& text, const std::string& sought, int start);
int ReverseFind(const std::string& text, char ch);
int FindOneOf(const std::string& text, const std::string& set);
int Compare(const std::string& text, const std::string& other, bool noCase);

}  // namespace model

#endif  // VX_TESTS_FUZZ_STRING_MODEL_H
