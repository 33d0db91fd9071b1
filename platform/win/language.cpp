// Windows languages: the kernel's language queries. Only Windows code belongs in platform/win.
#include "platform/language.h"

#include <windows.h>

namespace platform {
namespace {

LanguageQuery userQuery = nullptr;
LanguageQuery systemQuery = nullptr;

}  // namespace

uint16_t GetUserDefaultLanguage() { return userQuery ? userQuery() : GetUserDefaultLangID(); }

uint16_t GetSystemDefaultLanguage() {
  return systemQuery ? systemQuery() : GetSystemDefaultLangID();
}

void SetLanguageQueriesForTesting(LanguageQuery user, LanguageQuery system) {
  userQuery = user;
  systemQuery = system;
}

}  // namespace platform
