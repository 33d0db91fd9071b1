//===- temp_output.h - An output file that appears whole or not at all ----===//
// The bytes go to a fresh temporary file beside the target, which Commit
// renames over the target at the end. Until then the target, a file already
// there included, is untouched. The temporary file is removed when the object
// goes without a Commit, and also when SIGINT, SIGTERM or SIGHUP arrives (the
// signal then ends the process as it would have). One object at a time per
// process.
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

  // Makes the temporary file; false with a line in *error.
  bool Open(std::string* error);
  // The stream to write to, after Open.
  std::FILE* File() const { return file_; }
  const std::string& Path() const { return path_; }
  // Closes the stream and renames the file over the target; false with a line
  // in *error, and then the temporary file is gone and the target untouched.
  bool Commit(std::string* error);

 private:
  void Discard();

  std::string target_;
  mode_t mode_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_TEMP_OUTPUT_H
