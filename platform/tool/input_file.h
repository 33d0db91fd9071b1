//===- input_file.h - Reading a file by UTF-8 path -------------------------===//
// For the tools: opening files by UTF-8 path on both systems (Windows converts
// to the wide calls).
#ifndef VX_PLATFORM_TOOL_INPUT_FILE_H
#define VX_PLATFORM_TOOL_INPUT_FILE_H

#include "platform/tool/file_system.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform_tool {

// One file open for reading, closed by the destructor. Opening never waits
// (a FIFO put in a file's place opens at once), and on Windows others may go
// on writing, renaming or removing the file meanwhile, as on the host.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False with the system's reason (strerror() words) in *reason.
  bool Open(const std::string& path, std::string* reason);

  // The facts of the open file (whatever its path names by now).
  bool Facts(FileFacts* facts) const;

  // Reads up to size bytes: the count read, 0 at the end of the file, -1 with
  // *reason on failure. An interrupted read is tried again.
  int64_t Read(void* buffer, size_t size, std::string* reason);

 private:
  intptr_t handle_ = -1;  // a descriptor on the host, a HANDLE on Windows
};

// std::fopen by UTF-8 path (mode as fopen's); null when it cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_INPUT_FILE_H
