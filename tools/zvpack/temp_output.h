//===- temp_output.h - An output file that appears whole or not at all ----===//
// The bytes go to a file in a fresh folder of its own beside the target
// (TARGET.tmpXXXXXX/NAME, the target's own name, so that a signing tool sees
// it under that name), which Commit renames over the target at the end. Until
// then the target, a file already there included, is untouched. The folder
// and everything in it (also what a command run on the file left there) are
// removed when the object goes without a Commit; a SIGINT, SIGTERM or SIGHUP
// removes the file and the empty folder, and then ends the process as it
// would have. One object at a time per process.
#ifndef VX_TOOLS_ZVPACK_TEMP_OUTPUT_H
#define VX_TOOLS_ZVPACK_TEMP_OUTPUT_H

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <utility>

namespace zvpack {

class TempOutput {
 public:
  // mode: the permissions the target gets, less the umask.
  explicit TempOutput(std::string target, mode_t mode = 0666) : target_(std::move(target)), mode_(mode) {}
  ~TempOutput();
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  // Makes the folder and the temporary file; false with a line in *error.
  bool Open(std::string* error);
  // The stream to write to, after Open and until Close or Commit.
  std::FILE* File() const { return file_; }
  const std::string& Path() const { return path_; }
  // Closes the stream, keeping the file for a command to work on; false with
  // a line in *error (the file stays until Commit or the object goes).
  bool Close(std::string* error);
  // Closes the stream when it is open and renames the file over the target;
  // false with a line in *error, and then the temporary folder is gone and
  // the target untouched.
  bool Commit(std::string* error);

 private:
  void Discard();

  std::string target_;
  mode_t mode_;
  std::string folder_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_TEMP_OUTPUT_H
