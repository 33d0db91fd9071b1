//===- setup_command.h - "zvpack setup": a payload written into a stub ----===//
// Packs the eight archives of a setup payload and writes them, as resources of
// type "ZVArc" in German (1031), into a copy of a launcher stub, replacing the
// stub's own ZVArc resources and keeping its other resources and its code.
// Every check (the payload's form, the names, the files the next stage needs,
// the payload's size) runs before anything is compressed; the setup is written
// through a temporary file beside it, so a failure leaves nothing there.
#ifndef VX_TOOLS_ZVPACK_SETUP_COMMAND_H
#define VX_TOOLS_ZVPACK_SETUP_COMMAND_H

namespace zvpack {

// How the command ended; the command line maps these to its exit codes.
enum class SetupOutcome {
  kOk,
  kUsage,        // a bad command line
  kPackFailed,   // the payload refused or unreadable, or the setup not written
  kStubDamaged,  // the stub unreadable, not a PE image, or not one this writes into
};

extern const char kSetupHelp[];

// args are the words after "setup"; one line on stderr for any failure.
SetupOutcome RunSetupCommand(int argc, char** argv);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SETUP_COMMAND_H
