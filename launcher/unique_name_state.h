//===- unique_name_state.h - The generator of FindUniqueName (internal) ---===//
// Internal to launcher/: the process-wide state of the name generator, seeded
// from the clock at the first call. Tests seed it themselves through
// launcher/testing/unique_names.h.
#ifndef VX_LAUNCHER_UNIQUE_NAME_STATE_H
#define VX_LAUNCHER_UNIQUE_NAME_STATE_H

#include <cstdint>

namespace unique_name_state {

extern uint32_t randomState;
extern bool seeded;

}  // namespace unique_name_state

#endif  // VX_LAUNCHER_UNIQUE_NAME_STATE_H
