//===- security.h - Elevation and security descriptors --------------------===//
// Whether the process runs elevated, and the security descriptors that an
// elevated run gives what it makes (handed to FileOpen and MakeDir). Windows:
// the token and SDDL calls of advapi32. The host has no security: it never
// runs elevated, and a descriptor is only a copy of its text. Tests answer the
// elevation themselves and see the descriptors handed to the calls through
// platform/testing/security_recorder.h.
#ifndef VX_PLATFORM_SECURITY_H
#define VX_PLATFORM_SECURITY_H

#include <cstdint>

namespace platform {

// True when this process runs elevated (TokenElevation of its token), with the
// SID of the token's user in its string form ("S-1-5-21-...") in sid. False
// when it does not, or when either cannot be had (a system before elevation,
// a sid buffer too small).
bool GetElevatedUser(char* sid, uint32_t size);

// A security descriptor made from SDDL text
// (ConvertStringSecurityDescriptorToSecurityDescriptorA); null when the text is
// refused or there is no memory. Released with FreeSecurityDescriptor.
void* MakeSecurityDescriptor(const char* sddl);
void FreeSecurityDescriptor(void* descriptor);

}  // namespace platform

#endif  // VX_PLATFORM_SECURITY_H
