// Splitting the setup starter's command line.
#include "next_stage/stage_command_line.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameKey(const std::string& key, const char* wanted) {
  if (key.size() != std::strlen(wanted)) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (LowerAscii(key[i]) != LowerAscii(wanted[i])) return false;
  }
  return true;
}

// The length of the key when the token at p is an argument, else 0.
size_t KeyLength(const char* p) {
  size_t length = 0;
  while (p[length] != '\0' && !IsBlank(p[length]) && p[length] != '"' && p[length] != '=') ++length;
  return p[length] == '=' ? length : 0;
}

// Reads from *p to the first blank outside quotes, dropping the quotes, and
// leaves *p on that blank or the end of the line.
std::string ReadQuotable(const char** p, bool* unclosed) {
  std::string text;
  bool quoted = false;
  const char* at = *p;
  for (; *at != '\0' && (quoted || !IsBlank(*at)); ++at) {
    if (*at == '"') {
      quoted = !quoted;
    } else {
      text += *at;
    }
  }
  if (quoted) *unclosed = true;
  *p = at;
  return text;
}

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

}  // namespace

StageCommandLine ParseStageCommandLine(const char* commandLine) {
  StageCommandLine line;
  const char* p = SkipBlanks(commandLine != nullptr ? commandLine : "");
  while (*p != '\0') {
    const size_t keyLength = KeyLength(p);
    if (keyLength == 0) {
      if (!line.arguments.empty()) {
        line.remainder = p;
        return line;
      }
      line.words.push_back(ReadQuotable(&p, &line.unclosedQuote));
      p = SkipBlanks(p);
      continue;
    }
    StageArgument argument;
    argument.key.assign(p, keyLength);
    p += keyLength + 1;
    argument.value = ReadQuotable(&p, &line.unclosedQuote);
    line.arguments.push_back(argument);
    if (SameKey(argument.key, kCleanUpKey)) {
      line.endedByCleanUp = true;
      // One blank separates the value from the launcher's own arguments;
      // further blanks belong to them.
      if (*p != '\0') line.remainder = p + 1;
      return line;
    }
    p = SkipBlanks(p);
  }
  return line;
}

const std::string* FindStageValue(const StageCommandLine& line, const char* key) {
  for (const StageArgument& argument : line.arguments) {
    if (SameKey(argument.key, key)) return &argument.value;
  }
  return nullptr;
}
