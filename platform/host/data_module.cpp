// Host data modules: a handle that only stands for an existing file. Nothing
// is read from the file; the host's resources come from its registry. Only
// generic POSIX code belongs in platform/host.
#include "platform/data_module.h"

#include "platform/host/drive_map.h"

#include <sys/stat.h>

#include <string>

namespace platform {

namespace {

// What a handle points to; its address is the handle.
struct HostDataModule {
  std::string hostPath;
};

}  // namespace

void* OpenDataModule(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  // As the host file layer: a path that starts with a slash is the host's own.
  std::string hostPath = path[0] == '/' ? std::string(path) : HostPath(path);
  struct stat info;
  if (hostPath.empty() || stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return new HostDataModule{hostPath};
}

void CloseDataModule(void* module) { delete static_cast<HostDataModule*>(module); }

}  // namespace platform
