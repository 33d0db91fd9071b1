//===- setup_command.h - "zvpack setup": a payload written into a stub ----===//
// Packs the eight archives of a setup payload and writes them, as resources of
// type "ZVArc" in German (1031), into a copy of a launcher stub, replacing the
// stub's own ZVArc resources and keeping its other resources and its code.
// Every check of the payload (its form, the names, the files the next stage
// needs) and of the stub runs before anything is compressed; the archives are
// packed in memory and held to the 1 GiB a 32-bit process can map before the
// setup is written, through a temporary file beside it that a failure or a
// terminating signal removes: nothing new is left beside --out. A signing
// command signs that file before it takes --out's place: a setup already at
// --out stays as it was until a signed setup replaces it.
#ifndef VX_TOOLS_ZVPACK_SETUP_COMMAND_H
#define VX_TOOLS_ZVPACK_SETUP_COMMAND_H

#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/setup_signing.h"
#include "tools/zvpack/version_resource.h"

#include <string>
#include <vector>

namespace zvpack {

struct SetupOptions {
  SharedPackOptions shared;
  std::string stub, payload, out;
  bool haveVersion = false;
  FileVersion version{};
  std::vector<VersionString> versionStrings;
  SignOptions sign;
  bool checkOnly = false;
  bool json = false;
};

// The words after "setup" into *options; false with one line in *error.
bool ParseSetupOptions(int argc, char** argv, SetupOptions* options, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SETUP_COMMAND_H
