//===- temp_output.h - An output file that appears whole or not at all ----===//
// The bytes go to a file in a fresh folder of its own beside the target
// (TARGET.tmpXXXXXX/NAME, the target's own name, so that a signing tool sees
// it under that name), which Commit renames over the target at the end. Until
// then the target, a file already there included, is untouched. The folder
// and everything in it (also what a command run on the file left there) are
// removed when the object goes without a Commit; a SIGINT, SIGTERM or SIGHUP
// (on Windows a Ctrl-C, Ctrl-Break or the console's closing) removes the file
// and the empty folder, and then ends the process as it would have
// (platform/tool/pending_output.h). One object at a time per process.
#ifndef VX_TOOLS_ZVPACK_TEMP_OUTPUT_H
#define VX_TOOLS_ZVPACK_TEMP_OUTPUT_H

#include "platform/tool/pending_output.h"

#include <cstdio>
#include <string>
#include <utility>

namespace zvpack {

// Writes size bytes to file in pieces of 1 MiB: an interrupt that the
// system hands over only between two calls (Wine turns SIGINT into Ctrl-C on
// the thread that got it, once its call has returned) is then taken while the
// file is being written, not after a single call of the whole size.
bool WriteInPieces(std::FILE* file, const void* data, size_t size);

class TempOutput {
 public:
  // mode: the permissions the target gets, less the umask (the host's; on
  // Windows it means nothing).
  explicit TempOutput(std::string target, unsigned mode = 0666) : target_(std::move(target)), mode_(mode) {}
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  // Makes the folder and the temporary file; false with a line in *error.
  bool Open(std::string* error);
  // The stream to write to, after Open and until Close or Commit.
  std::FILE* File() const { return output_.File(); }
  const std::string& Path() const { return output_.Path(); }
  // Closes the stream, keeping the file for a command to work on; false with
  // a line in *error (the file stays until Commit or the object goes).
  bool Close(std::string* error);
  // Closes the stream when it is open and renames the file over the target;
  // false with a line in *error, and then the temporary folder is gone and
  // the target untouched.
  bool Commit(std::string* error);

 private:
  std::string target_;
  unsigned mode_;
  platform_tool::PendingOutput output_;
};

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_TEMP_OUTPUT_H
