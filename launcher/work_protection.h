//===- work_protection.h - The security of an elevated run's work folder --===//
// A launcher that runs elevated unpacks into the user's temporary folder,
// which every unelevated program of the same user may write, and the next
// stage, elevated too, runs what lies there and later the clean-up script. So
// an elevated run makes its work folder with a protected DACL that the files
// and subfolders made in it inherit, and its script with the same: SYSTEM and
// Administrators full control, the user who started the setup (the token's
// user) read and execute only, and so only that for the user as the owner too
// (an Owner Rights entry, S-1-3-4, in place of the owner's implicit right to
// change the DACL). A run that is not elevated makes both as before. Where the
// temporary folder's file system keeps no permissions (FAT), the system drops
// the descriptor and the run goes on as before.
#ifndef VX_LAUNCHER_WORK_PROTECTION_H
#define VX_LAUNCHER_WORK_PROTECTION_H

#include "string/vx_string.h"

// The DACL in SDDL for userSid: for the work folder (inherited: entries that
// its files and subfolders take on) or for the script (not inherited).
VxString BuildProtectionSddl(const char* userSid, bool inherited);

// The descriptors of one run, made at construction when the process runs
// elevated and released at destruction. Both null when it does not, or when
// they cannot be made; the run then makes its files as before.
class WorkProtection {
 public:
  WorkProtection();
  ~WorkProtection();
  WorkProtection(const WorkProtection&) = delete;
  WorkProtection& operator=(const WorkProtection&) = delete;

  const void* Folder() const { return folder_; }
  const void* Script() const { return script_; }

 private:
  void* folder_ = nullptr;
  void* script_ = nullptr;
};

#endif  // VX_LAUNCHER_WORK_PROTECTION_H
