// The host loads no libraries by name. Only generic POSIX code belongs in platform/host.
#include "platform/dll_search.h"

namespace platform {

void RestrictDllSearchToSystem() {}

}  // namespace platform
