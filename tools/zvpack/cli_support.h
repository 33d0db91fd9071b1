//===- cli_support.h - Helpers the zvpack commands share ------------------===//
#ifndef VX_TOOLS_ZVPACK_CLI_SUPPORT_H
#define VX_TOOLS_ZVPACK_CLI_SUPPORT_H

#include "tools/zvpack/pack.h"

#include <string>
#include <vector>

namespace zvpack {

// The whole file at path; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* bytes);

// SOURCE_DATE_EPOCH from the environment into options (nothing when it is not
// set); false, with one line in *error, when it is not a number that fits 32 bits.
bool ReadSourceDateEpoch(PackOptions* options, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_CLI_SUPPORT_H
