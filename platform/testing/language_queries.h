//===- language_queries.h - The default languages set by tests ------------===//
// Tests only: replaces the two queries of language.h, in both builds, so that
// tests that pick a language run on Windows too.
#ifndef VX_PLATFORM_TESTING_LANGUAGE_QUERIES_H
#define VX_PLATFORM_TESTING_LANGUAGE_QUERIES_H

#include <cstdint>

namespace platform {

// A null pointer keeps the platform's own query.
using LanguageQuery = uint16_t (*)();
void SetLanguageQueriesForTesting(LanguageQuery user, LanguageQuery system);

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_LANGUAGE_QUERIES_H
