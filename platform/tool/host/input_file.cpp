// Reading a file over POSIX descriptors and stdio.
#include "platform/tool/input_file.h"

#include "platform/tool/host/stat_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform_tool {

InputFile::~InputFile() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

bool InputFile::Open(const std::string& path, std::string* reason) {
  // O_NONBLOCK: should the file have become a FIFO meanwhile, open must not wait for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  handle_ = fd;
  return true;
}

bool InputFile::Facts(FileFacts* facts) const {
  struct stat info;
  if (fstat(static_cast<int>(handle_), &info) != 0) return false;
  *facts = FactsFromStat(info);
  return true;
}

int64_t InputFile::Read(void* buffer, size_t size, std::string* reason) {
  for (;;) {
    const ssize_t n = read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    *reason = std::strerror(errno);
    return -1;
  }
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

}  // namespace platform_tool
