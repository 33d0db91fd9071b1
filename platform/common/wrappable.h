//===- wrappable.h - Calls that tests wrap (internal) ---------------------===//
// Internal to platform/. The product's platform library defines each call that
// tests need to fail or answer themselves under its own name. The test platform
// library (platform/testing/) compiles the same sources with VX_PLATFORM_WRAPPED,
// which names each of them Real<call>, and defines the call itself around it: it
// consults the tests' fault table and overrides and then calls the real one. So
// the shipped program carries no test hook, and the tests exercise the real code.
#ifndef VX_PLATFORM_COMMON_WRAPPABLE_H
#define VX_PLATFORM_COMMON_WRAPPABLE_H

#ifdef VX_PLATFORM_WRAPPED
#define VX_PLATFORM_ENTRY(name) Real##name
#else
#define VX_PLATFORM_ENTRY(name) name
#endif

namespace platform {
namespace internal {

// The free bytes of root ("C:") by the older call alone, GetDiskFreeSpaceA on
// the drive's root folder, which GetDriveFreeBytes falls back on where the
// extended call is missing; on the host its one query. Tests reach it to
// measure the fallback on a system that has the extended call.
double FreeBytesOfRootFolder(const char* root);

}  // namespace internal
}  // namespace platform

#endif  // VX_PLATFORM_COMMON_WRAPPABLE_H
