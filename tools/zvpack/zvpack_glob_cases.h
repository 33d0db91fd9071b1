// Patterns and names with what fnmatch(FNM_PATHNAME | FNM_CASEFOLD) answers
// for them in the C locale: the glob matcher's tests check it against them,
// and on the host against fnmatch itself. Internal to the tests.
#ifndef VX_TOOLS_ZVPACK_ZVPACK_GLOB_CASES_H
#define VX_TOOLS_ZVPACK_ZVPACK_GLOB_CASES_H

namespace zvpack_testing {

struct GlobCase {
  const char* pattern;
  const char* text;
  bool matches;
};

inline constexpr GlobCase kGlobCases[] = {
    {"", "", true},
    {"", "a", false},
    {"a", "", false},
    {"*", "", true},
    {"*", "abc", true},
    {"*", "a/b", false},
    {"?", "", false},
    {"?", "/", false},
    {"a?c", "aBc", true},
    {"*.PDB", "app.pdb", true},
    {"*.pdb", "app.pdbx", false},
    {"a*/b", "ax/b", true},
    {"a*/b", "a/x/b", false},
    {"a*\\/b", "ax/b", false},
    {"*/*", "a/b", true},
    {"**", "ab", true},
    {"*?", "", false},
    {"*?*", "x", true},
    {"a*b*c", "aXbYc", true},
    {"a*b*c", "abXc/", false},
    {"*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    {"[abc]", "B", true},
    {"[a-c]", "B", true},
    {"[A-C]", "b", true},
    {"[Z-a]", "_", false},
    {"[!a]", "b", true},
    {"[!a]", "A", false},
    {"[^a]", "b", true},
    {"[!a]", "/", false},
    {"[/]", "/", false},
    {"[]a]", "]", true},
    {"[]-a]", "^", true},
    {"[!]]", "a", true},
    {"[a-]", "-", true},
    {"[\\]]", "]", true},
    {"[a\\-z]", "b", false},
    {"[a\\-z]", "-", true},
    {"[", "[", true},
    {"[a", "[a", true},
    {"a[", "a[", true},
    {"[[", "[[", true},
    {"[!b", "[!b", true},
    {"[/", "/", false},
    {"a[/b", "a[/b", true},
    {"[a\\", "[a\\", false},
    {"\\*", "*", true},
    {"\\*", "a", false},
    {"\\a", "A", true},
    {"a\\", "a\\", false},
    {"\\", "\\", false},
    {"[[:alpha:]]", "x", true},
    {"[[:upper:]]", "a", false},
    {"[[:upper:]]", "A", true},
    {"[[:digit:][:space:]]", " ", true},
    {"[[:punct:]]", "_", true},
    {"[[:xdigit:]]", "G", false},
    {"[[:nope:]]", "n", false},
    {"[[:alp", "[", false},
    {"[[:alpha:]", "a", false},
    {"[[=a=]]", "a", true},
    {"[[=a=]]", "A", false},
    {"[[.a.]]", "a", true},
    {"[[.ab.]]", "a", false},
    {"[[.a.]-Z]", "m", true},
    {"[a-[.z.]]", "m", true},
    {"caf\xc3\xa9", "CAF\xc3\xa9", true},
    {"caf\xc3\xa9", "caf\xc3\x89", false},
    {"[\xc3][\xa9]", "\xc3\xa9", true},
    {"?", "\xc3\xa9", false},
    {"??", "\xc3\xa9", true},
};

}  // namespace zvpack_testing

#endif  // VX_TOOLS_ZVPACK_ZVPACK_GLOB_CASES_H
