//===- stage_command_line.h - The setup starter's command line ------------===//
// Splits the command line that the launcher gives the setup starter,
//
//   ZVSetup SetupProgram=ZVPict ... ResourceFile="C:\x.exe" CleanUp="C:\0.bat" /S
//
// into its leading words, its key=value arguments in order, and the launcher's
// own arguments behind the CleanUp value, which stay exactly as they came.
//
// Tokens are separated by blanks (spaces and tabs). A double quote starts or
// ends a quoted stretch in which blanks do not separate; the quote itself is
// dropped and nothing else is special, so backslashes are plain characters.
// A token is an argument when an '=' comes before its first blank or quote
// and at least one character comes before the '='. The arguments end with the
// CleanUp argument (its key in any case), and the rest of the line after
// exactly one blank is the remainder; or with the first token that is not an
// argument, which starts the remainder. The parse never fails; a missing
// closing quote takes the rest of the line into the value and is reported.
#ifndef VX_NEXT_STAGE_STAGE_COMMAND_LINE_H
#define VX_NEXT_STAGE_STAGE_COMMAND_LINE_H

#include <string>
#include <vector>

struct StageArgument {
  std::string key;
  std::string value;  // without its quotes
};

struct StageCommandLine {
  std::vector<std::string> words;          // before the first argument, quotes dropped
  std::vector<StageArgument> arguments;    // in order; a repeated key stays repeated
  bool endedByCleanUp = false;             // a CleanUp argument ended the arguments
  std::string remainder;                   // verbatim; empty when nothing follows
  bool unclosedQuote = false;              // a quote was still open at the end of the line
};

// Null counts as an empty line.
StageCommandLine ParseStageCommandLine(const char* commandLine);

// The value of the first argument named key (ASCII letters compared without
// regard to case), or null when there is none. The pointer lives as long as
// the parse result is not changed.
const std::string* FindStageValue(const StageCommandLine& line, const char* key);

// The key that ends the arguments and names the clean-up script.
constexpr const char kCleanUpKey[] = "CleanUp";
// The key that names the file whose resources hold the packed archives.
constexpr const char kResourceFileKey[] = "ResourceFile";

#endif  // VX_NEXT_STAGE_STAGE_COMMAND_LINE_H
