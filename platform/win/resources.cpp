// Windows resources: the resource section of a module. Only Windows code belongs in platform/win.
#include "platform/resources.h"

#include <windows.h>

namespace platform {

bool FindResourceBytes(void* module, const char* type, const char* name, ResourceBytes* found) {
  HMODULE handle = static_cast<HMODULE>(module);
  // Looked up by name only; the resource directory holds the names in upper
  // case and the lookup ignores case. No language is asked for.
  HRSRC info = FindResourceA(handle, name, type);
  if (info == nullptr) return false;
  HGLOBAL loaded = LoadResource(handle, info);
  if (loaded == nullptr) return false;
  const void* data = LockResource(loaded);
  if (data == nullptr) return false;
  found->data = static_cast<const unsigned char*>(data);
  found->size = SizeofResource(handle, info);
  return true;
}

}  // namespace platform
