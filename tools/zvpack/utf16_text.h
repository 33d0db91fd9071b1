//===- utf16_text.h - UTF-8 text as the UTF-16 of Windows resources -------===//
#ifndef VX_TOOLS_ZVPACK_UTF16_TEXT_H
#define VX_TOOLS_ZVPACK_UTF16_TEXT_H

#include <string>

namespace zvpack {

// The UTF-16 form of a UTF-8 text, characters beyond U+FFFF as surrogate
// pairs. False when the text is not valid UTF-8 (a stray or missing
// continuation byte, an overlong form, a surrogate, past U+10FFFF); *problem
// then names the byte ("not valid UTF-8 at byte 3").
bool Utf8ToUtf16(const std::string& utf8, std::u16string* utf16, std::string* problem);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_UTF16_TEXT_H
