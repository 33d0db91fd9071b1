// The host file systems keep no short names. Only generic POSIX code belongs in platform/host.
#include "platform/short_path.h"

namespace platform {

uint32_t GetShortPath(const char*, char*, uint32_t) { return 0; }

}  // namespace platform
