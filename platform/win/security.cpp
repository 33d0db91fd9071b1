// Windows elevation and security descriptors. Only Windows code belongs in
// platform/win.
#include "platform/security.h"

#include "platform/common/wrappable.h"
#include "platform/win/system_library.h"

#include <windows.h>
#include <sddl.h>

#include <cstring>

namespace platform {

namespace {

using internal::FindFunction;

// advapi32 is looked up rather than imported: it is taken from the system folder all the
// same (internal::LoadSystemLibrary), it is loaded only by a run that gets this far, and its
// import records would not fit the product's size budget, which its lookups here do.
struct Advapi32 {
  decltype(&::OpenProcessToken) openProcessToken;
  decltype(&::GetTokenInformation) getTokenInformation;
  decltype(&::ConvertSidToStringSidA) convertSidToStringSid;
  decltype(&::ConvertStringSecurityDescriptorToSecurityDescriptorA) convertStringToDescriptor;
};

// Looked up at the first call; members are null where the system lacks them. One thread asks,
// so a plain flag does (as in clock.cpp).
bool looked = false;
Advapi32 advapi32;

const Advapi32& Calls() {
  if (!looked) {
    HMODULE library = internal::LoadSystemLibrary("advapi32.dll");
    advapi32.openProcessToken =
        FindFunction<decltype(&::OpenProcessToken)>(library, "OpenProcessToken");
    advapi32.getTokenInformation =
        FindFunction<decltype(&::GetTokenInformation)>(library, "GetTokenInformation");
    advapi32.convertSidToStringSid =
        FindFunction<decltype(&::ConvertSidToStringSidA)>(library, "ConvertSidToStringSidA");
    advapi32.convertStringToDescriptor =
        FindFunction<decltype(&::ConvertStringSecurityDescriptorToSecurityDescriptorA)>(
            library, "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    looked = true;
  }
  return advapi32;
}

// TOKEN_USER with room for the largest SID.
union UserOfToken {
  TOKEN_USER user;
  BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

bool CopySidText(PSID sid, char* buffer, uint32_t size) {
  char* text = nullptr;
  if (!Calls().convertSidToStringSid(sid, &text)) return false;
  const size_t length = std::strlen(text);
  const bool fits = length < size;
  if (fits) std::memcpy(buffer, text, length + 1);
  LocalFree(text);
  return fits;
}

}  // namespace

bool VX_PLATFORM_ENTRY(GetElevatedUser)(char* sid, uint32_t size) {
  const Advapi32& calls = Calls();
  HANDLE token = nullptr;
  if (calls.openProcessToken == nullptr || calls.getTokenInformation == nullptr ||
      calls.convertSidToStringSid == nullptr ||
      !calls.openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_ELEVATION elevation = {0};
  UserOfToken user;
  DWORD length = 0;
  const bool elevated =
      calls.getTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &length) &&
      elevation.TokenIsElevated != 0 &&
      calls.getTokenInformation(token, TokenUser, &user, sizeof user, &length) &&
      CopySidText(user.user.User.Sid, sid, size);
  CloseHandle(token);
  return elevated;
}

void* VX_PLATFORM_ENTRY(MakeSecurityDescriptor)(const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const auto convert = Calls().convertStringToDescriptor;
  if (convert == nullptr || !convert(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return nullptr;
  return descriptor;
}

void FreeSecurityDescriptor(void* descriptor) { LocalFree(descriptor); }

}  // namespace platform
