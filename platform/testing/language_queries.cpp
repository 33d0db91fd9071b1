// The language queries of the test platform library.
#include "platform/testing/language_queries.h"

#include "platform/language.h"
#include "platform/testing/real_calls.h"

namespace platform {
namespace {

LanguageQuery userQuery = nullptr;
LanguageQuery systemQuery = nullptr;

}  // namespace

void SetLanguageQueriesForTesting(LanguageQuery user, LanguageQuery system) {
  userQuery = user;
  systemQuery = system;
}

uint16_t GetUserDefaultLanguage() {
  return userQuery != nullptr ? userQuery() : RealGetUserDefaultLanguage();
}

uint16_t GetSystemDefaultLanguage() {
  return systemQuery != nullptr ? systemQuery() : RealGetSystemDefaultLanguage();
}

}  // namespace platform
