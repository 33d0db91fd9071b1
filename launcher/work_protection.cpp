// The security descriptors of an elevated run's work folder and script.
#include "launcher/work_protection.h"

#include "platform/security.h"

namespace {

// A SID in string form is at most 184 characters (S-1-, 15 sub-authorities).
constexpr uint32_t kSidTextSize = 192;

}  // namespace

VxString BuildProtectionSddl(const char* userSid, bool inherited) {
  // Read and execute: FILE_GENERIC_READ | FILE_GENERIC_EXECUTE.
  const char* const flags = inherited ? "OICI" : "";
  VxString sddl;
  sddl.Format("D:PAI(A;%s;FA;;;SY)(A;%s;FA;;;BA)(A;%s;0x1200a9;;;%s)(A;%s;0x1200a9;;;S-1-3-4)",
              flags, flags, flags, userSid, flags);
  return sddl;
}

WorkProtection::WorkProtection() {
  char sid[kSidTextSize];
  if (!platform::GetElevatedUser(sid, sizeof sid)) return;
  folder_ = platform::MakeSecurityDescriptor(BuildProtectionSddl(sid, true));
  script_ = platform::MakeSecurityDescriptor(BuildProtectionSddl(sid, false));
}

WorkProtection::~WorkProtection() {
  if (folder_ != nullptr) platform::FreeSecurityDescriptor(folder_);
  if (script_ != nullptr) platform::FreeSecurityDescriptor(script_);
}
