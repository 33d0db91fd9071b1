//===- unique_names.h - A seed of the tests' own for FindUniqueName -------===//
// Tests only.
#ifndef VX_LAUNCHER_TESTING_UNIQUE_NAMES_H
#define VX_LAUNCHER_TESTING_UNIQUE_NAMES_H

#include <cstdint>

// Seeds the generator of FindUniqueName as the clock would at its first call.
void SeedUniqueNamesForTesting(uint32_t seed);

#endif  // VX_LAUNCHER_TESTING_UNIQUE_NAMES_H
