//===- stage_record.h - The record of what the setup starter received -----===//
// A plain text of key=value lines, one item a line, each ending with LF, for a
// test script to grep:
//
//   command_line=ZVSetup SetupProgram=ZVPict ... CleanUp="C:\0.bat" /S
//   full_command_line=Vistart.exe ZVSetup SetupProgram=ZVPict ...
//   word=ZVSetup
//   arg.SetupProgram=ZVPict            one line per argument, in order
//   remainder=/S
//   archive.APPBASE.check=ok           or the check's reason
//   script_line=cd \                   one line per line of the clean-up script
//   script_line_ends=crlf              or "other" when a line does not end with CR LF
//   exit_code=0
//
// Control characters in a value are written as \xNN so that every item stays
// on its line; nothing else is changed, so the record is for reading, not for
// taking apart again.
#ifndef VX_NEXT_STAGE_STAGE_RECORD_H
#define VX_NEXT_STAGE_STAGE_RECORD_H

#include "next_stage/archive_summary.h"
#include "next_stage/stage_command_line.h"

#include <cstdint>
#include <string>
#include <vector>

// What became of the ResourceFile argument.
enum class ResourceFileState { kNotGiven, kUnreadable, kOpened };

struct StageReport {
  std::string commandLine;      // as the program received it
  std::string fullCommandLine;  // the whole line as started, program name included
  StageCommandLine parsed;
  std::string program;       // the program's own file name
  std::string currentDir;    // at the start
  uint32_t processId = 0;
  uint64_t startMs = 0;      // wall clock at the start, milliseconds since 1970 UTC
  ResourceFileState resourceFile = ResourceFileState::kNotGiven;
  std::vector<ArchiveSummary> archives;
  std::string starterWait;     // how the wait for the starting process ended; empty: no wait
  std::string scriptText;      // the clean-up script as found before it was started
  std::string cleanUpCommand;  // empty when no script was started
  uint32_t cleanUpStart = 0;   // the start call's result; above 31 means started
  int exitCode = 0;
};

std::string FormatStageRecord(const StageReport& report);

// Whether the record may go to path: an absolute path (with a drive, a UNC
// name or a leading separator) outside the work folder and the temporary
// folder, so that the clean-up script can remove both completely. The folders
// are compared as text, ignoring ASCII case and the kind of slash; either may
// be empty (then it is not checked) and may end with a separator or not.
bool IsRecordPathAllowed(const char* path, const char* workDir, const char* tempDir);

// Writes text to path, replacing what was there. False when the file cannot
// be created or not all of it was written.
bool WriteStageRecord(const char* path, const std::string& text);

#endif  // VX_NEXT_STAGE_STAGE_RECORD_H
