//===- data_module.h - An executable opened as a data file ----------------===//
// Opens another program's file so that its resources can be read with
// FindResourceBytes (platform/resources.h) without running any of its code:
// LoadLibraryExA with LOAD_LIBRARY_AS_DATAFILE on Windows. The host has no
// loader; there a module only stands for an existing file and reads nothing
// from it, so FindResourceBytes answers from the host's resource registry.
#ifndef VX_PLATFORM_DATA_MODULE_H
#define VX_PLATFORM_DATA_MODULE_H

namespace platform {

// The module handle of the file at path (8-bit, system code page), or null
// when the file cannot be opened (missing, unreadable, no executable image on
// Windows; missing or not a regular file on the host). The handle stays valid
// until CloseDataModule; resource bytes found through it die with it.
void* OpenDataModule(const char* path);

// Releases a handle from OpenDataModule; null is ignored.
void CloseDataModule(void* module);

}  // namespace platform

#endif  // VX_PLATFORM_DATA_MODULE_H
