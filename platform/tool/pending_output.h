//===- pending_output.h - A file written in a fresh folder, gone on interrupt --===//
// For the tools: a file is written in a folder of its own, made fresh beside
// its final place, and only then moved over that place. From the folder's
// making until Discard, an interrupt (SIGINT, SIGTERM or SIGHUP on the host;
// Ctrl-C, Ctrl-Break or the console's closing on Windows) removes the file and
// the folder and ends the process as the interrupt would have (on Windows with
// STATUS_CONTROL_C_EXIT), even while another thread of the process is writing
// the file. While RunCommandLine runs, its own handling takes the interrupt
// instead (run_command.h). One object at a time per process.
#ifndef VX_PLATFORM_TOOL_PENDING_OUTPUT_H
#define VX_PLATFORM_TOOL_PENDING_OUTPUT_H

#include <cstdio>
#include <string>

namespace platform_tool {

class PendingOutput {
 public:
  PendingOutput() = default;
  // Discards what is still there.
  ~PendingOutput();
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  // Makes the folder folderPrefix followed by six random letters or digits
  // (another name when one is taken) and in it the new file `name`, made
  // exclusively: on the host with the permissions mode less the umask, on
  // Windows where mode means nothing with the default ones. False with the
  // system's reason in *reason; then nothing is left.
  bool Create(const std::string& folderPrefix, const std::string& name, unsigned mode, std::string* reason);

  // The stream to write to, from Create until CloseFile or Discard; the
  // object owns it.
  std::FILE* File() const { return file_; }
  // The file's path (the folder, a separator, the name); empty when there is none.
  const std::string& Path() const { return path_; }

  // Closes the stream, keeping the file (for a command to work on it). False
  // when the stream's last bytes could not be written; the stream is closed
  // either way.
  bool CloseFile();

  // Moves the file, closed, over target, replacing what is there; the host
  // gives it the permissions of Create first (a command may have put a new
  // file in its place). Windows tries again for a while when the file or the
  // target is held by another program (a virus scanner). False with the
  // system's reason in *reason; then the file is still in its folder and the
  // target as it was.
  bool MoveOver(const std::string& target, std::string* reason);

  // Closes the stream, removes the folder and every file in it, and ends the
  // interrupt's handling; nothing is left to do after that.
  void Discard();

 private:
  std::string folder_;
  std::string path_;
  unsigned mode_ = 0;
  std::FILE* file_ = nullptr;
};

// The last component of a path: what follows the last '/' (on Windows also
// '\\' or a drive's ':').
std::string FileNameOf(const std::string& path);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_PENDING_OUTPUT_H
