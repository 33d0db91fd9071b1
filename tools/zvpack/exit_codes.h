//===- exit_codes.h - zvpack's process exit codes, one list for every command -===//
// A number is never reused: a code that goes out of use stays here, marked
// retired. The README's table and the help text list the same codes.
#ifndef VX_TOOLS_ZVPACK_EXIT_CODES_H
#define VX_TOOLS_ZVPACK_EXIT_CODES_H

namespace zvpack {

enum ExitCode : int {
  // Done: the archive or setup written, the files checked or unpacked; for
  // diff, the two files carry the same archives and resources.
  kExitOk = 0,
  // A bad command line: an unknown or incomplete option, a missing argument.
  kExitUsage = 1,
  // An input refused before anything was written (a file, name, folder or
  // payload that cannot be packed, a payload too large), or the output could
  // not be written. Nothing new is left beside the output.
  kExitInputRefused = 2,
  // A file to read is no archive or launcher, or is damaged: its directory,
  // layout, a stream, or its PE headers.
  kExitDamaged = 3,
  // extract: a file of an entry could not be written.
  kExitExtractFailed = 4,
  // setup: the stub cannot take a payload (unreadable, no PE image, signed, or
  // a layout the resource writer does not rewrite).
  kExitStubRefused = 5,
  // diff: the two files differ.
  kExitDiffer = 6,
  // setup: the signing command failed (after its retries), or the file it
  // left is not the setup with a signature added. Nothing new is left beside
  // the output, and a setup already there is unchanged.
  kExitSignFailed = 7,
};

// The list as the help prints it.
extern const char kExitCodesHelp[];

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_EXIT_CODES_H
