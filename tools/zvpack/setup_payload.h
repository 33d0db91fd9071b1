//===- setup_payload.h - The eight archives of a setup and their files ----===//
// A setup payload is given as a folder or as a manifest:
//   folder    per archive NAME, the zvpack list file FOLDER/NAME.list when there
//             is one (its order is the archive's order), otherwise every file
//             under FOLDER/NAME, sorted by stored name;
//   manifest  a text file with one line "NAME PATH" per archive, PATH (relative
//             to the manifest) a folder or a list file; '#' starts a comment.
// Every archive must be named once; an archive may be empty. The checks here
// run on names and sizes alone, before anything is compressed.
#ifndef VX_TOOLS_ZVPACK_SETUP_PAYLOAD_H
#define VX_TOOLS_ZVPACK_SETUP_PAYLOAD_H

#include "tools/zvpack/pack.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

// The archives in the order of the setup's resources.
extern const char* const kSetupArchiveNames[8];

// The eight archives together may hold at most this many bytes (inputs plus
// the worst growth of their zlib streams and records). The whole image, these
// archives included, is mapped into the 2 GiB user address space of a 32-bit
// process, in one piece, beside the system's libraries, the stacks and the
// launcher's heap; 1 GiB stays clear of all of them on every Windows the
// launcher runs on.
constexpr uint64_t kMaxSetupPayloadBytes = uint64_t{1} << 30;

struct SetupArchive {
  std::string name;             // BASE, SETUPBASE, ...
  std::string source;           // the folder or list file it comes from
  std::vector<PackInput> inputs;
};

// The archives of payload (a folder or a manifest), in kSetupArchiveNames
// order, with their files gathered. False with one line naming the file and
// the problem in *error.
bool ReadSetupPayload(const std::string& payload, std::vector<SetupArchive>* archives, std::string* error);

// The files the next stage needs: SETUPBASE must hold Vistart.exe and pidwait.exe
// (in any case, at its top level).
bool CheckSetupArchives(const std::vector<SetupArchive>& archives, std::string* error);

// The most bytes the archives can take once packed, from the sizes of their
// files; false when a file cannot be examined.
bool WorstCasePayloadBytes(const std::vector<SetupArchive>& archives, uint64_t* bytes, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SETUP_PAYLOAD_H
