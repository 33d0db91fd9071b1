// The tests' seed of the name generator.
#include "launcher/testing/unique_names.h"

#include "launcher/unique_name_state.h"

void SeedUniqueNamesForTesting(uint32_t seed) {
  unique_name_state::randomState = seed;
  unique_name_state::seeded = true;
}
