// Windows data modules: the loader maps the file's image for its resources and
// runs none of its code. Only Windows code belongs in platform/win.
#include "platform/data_module.h"

#include <windows.h>

namespace platform {

void* OpenDataModule(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

void CloseDataModule(void* module) {
  if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace platform
