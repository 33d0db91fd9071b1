//===- wide_text.h - UTF-8 and the UTF-16 of Windows' wide calls ----------===//
// The tools hold every text, paths included, in UTF-8, on Windows as on the
// host; the Windows side converts at the wide (W) calls.
#ifndef VX_PLATFORM_TOOL_WIN_WIDE_TEXT_H
#define VX_PLATFORM_TOOL_WIN_WIDE_TEXT_H

#include <string>

namespace platform_tool {

// The UTF-16 form of utf8; bytes that are not valid UTF-8 become U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);

// The UTF-8 form of wide; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& wide);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_WIN_WIDE_TEXT_H
