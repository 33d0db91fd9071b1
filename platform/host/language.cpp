// Host languages: a fixed English default that tests replace through the seam.
#include "platform/language.h"

namespace platform {
namespace {

constexpr uint16_t kHostLanguage = 0x0409;

LanguageQuery userQuery = nullptr;
LanguageQuery systemQuery = nullptr;

}  // namespace

uint16_t GetUserDefaultLanguage() { return userQuery ? userQuery() : kHostLanguage; }

uint16_t GetSystemDefaultLanguage() { return systemQuery ? systemQuery() : kHostLanguage; }

void SetLanguageQueriesForTesting(LanguageQuery user, LanguageQuery system) {
  userQuery = user;
  systemQuery = system;
}

}  // namespace platform
