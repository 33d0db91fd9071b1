// Windows languages: the kernel's language queries. Only Windows code belongs in platform/win.
#include "platform/language.h"

#include "platform/common/wrappable.h"

#include <windows.h>

namespace platform {

uint16_t VX_PLATFORM_ENTRY(GetUserDefaultLanguage)() { return GetUserDefaultLangID(); }

uint16_t VX_PLATFORM_ENTRY(GetSystemDefaultLanguage)() { return GetSystemDefaultLangID(); }

}  // namespace platform
