// Host languages: a fixed English default.
#include "platform/language.h"

#include "platform/common/wrappable.h"

namespace platform {
namespace {

constexpr uint16_t kHostLanguage = 0x0409;

}  // namespace

uint16_t VX_PLATFORM_ENTRY(GetUserDefaultLanguage)() { return kHostLanguage; }

uint16_t VX_PLATFORM_ENTRY(GetSystemDefaultLanguage)() { return kHostLanguage; }

}  // namespace platform
