//===- process_id_arg.h - pidwait's one argument --------------------------===//
#ifndef VX_NEXT_STAGE_PROCESS_ID_ARG_H
#define VX_NEXT_STAGE_PROCESS_ID_ARG_H

#include <cstdint>

// A process id written in decimal: digits only (leading zeros allowed), no
// sign or blanks, from 1 to 4294967295. False, leaving *pid unchanged, for
// anything else, null included.
bool ParseProcessId(const char* text, uint32_t* pid);

#endif  // VX_NEXT_STAGE_PROCESS_ID_ARG_H
