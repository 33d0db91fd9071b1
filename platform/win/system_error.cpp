// The Windows last-error value. Only Windows code belongs in platform/win.
#include "platform/system_error.h"

#include <windows.h>

namespace platform {

uint32_t LastSystemError() { return GetLastError(); }

void SetLastSystemError(uint32_t error) { SetLastError(error); }

}  // namespace platform
