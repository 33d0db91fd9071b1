//===- setup_sequence.h - Work folder, clean-up script, next-stage start --===//
// The second half of the launcher's sequence, without the window system: it
// picks the script name and the work folder in the temporary folder, unpacks
// the five payload archives while it writes the clean-up script, and starts
// the next stage from the work folder. The entry function destroys the splash
// and waits for it afterwards.
//
// On any failure the next stage is not started and nothing stays behind: the
// entry files, the folders made for them and the script are removed again, and
// the outcome carries a nonzero exit code (never 1, which means too little
// room) and a short technical detail in English, which the entry function puts
// into the localised text of failure_messages.h.
#ifndef VX_LAUNCHER_SETUP_SEQUENCE_H
#define VX_LAUNCHER_SETUP_SEQUENCE_H

#include "string/vx_string.h"

// The archives the setup stage needs, in unpacking order. Missing ones are
// skipped; the other three archives stay packed for the next stage.
constexpr int kPayloadArchiveCount = 5;
extern const char* const kPayloadArchives[kPayloadArchiveCount];

struct SetupOutcome {
  int exitCode;        // LauncherExitCode: kExitSuccess once the stage is started
  char detail[600];    // what went wrong, e.g. the archive and entry; empty on success
};

// Runs the second half with tempDir (ending with a backslash, taken literally:
// a percent sign in it is no conversion) and the launcher's own argument
// string (null counts as empty). Catches every exception of its own steps.
// Sets stageLaunched just before the start, and clears it again when the start
// fails. The next stage is started by its full path in the work folder, with
// the work folder as its current directory; the launcher itself goes back to
// the folder it was in, so that nothing of its own holds the work folder.
SetupOutcome RunSetupSequence(const char* tempDir, const char* commandLine);

// The next stage's command line for the launcher's own file name, the script
// path and the launcher's argument string, byte for byte as the setup starter
// reads it. An empty argument string leaves a blank at the end.
VxString BuildStageCommand(const char* modulePath, const char* scriptPath, const char* commandLine);

#endif  // VX_LAUNCHER_SETUP_SEQUENCE_H
