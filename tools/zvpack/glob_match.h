//===- glob_match.h - Shell globs over archive paths ----------------------===//
// The --exclude patterns' matcher, pure code so that every build matches
// alike. It answers as fnmatch(pattern, text, FNM_PATHNAME | FNM_CASEFOLD)
// in the C locale, which zvpack used before:
//   - '*' and '?' match any bytes but '/'; a bracket never matches '/';
//   - letters match ignoring the case of ASCII letters only;
//   - "[...]" holds bytes, ranges ("a-z", bounds compared as bytes after
//     folding), the classes "[:alpha:]" and the like (of the C locale, on the
//     byte as it is), "[=c=]" and "[.c.]"; '!' or '^' first negates it; ']'
//     first is a member; a '[' without its ']' is an ordinary byte;
//   - '\' makes the next byte ordinary; a pattern ending in a lone '\' never
//     matches.
// Both texts end at their first NUL, as C strings do.
#ifndef VX_TOOLS_ZVPACK_GLOB_MATCH_H
#define VX_TOOLS_ZVPACK_GLOB_MATCH_H

#include <string>

namespace zvpack {

bool GlobMatches(const std::string& pattern, const std::string& text);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_GLOB_MATCH_H
