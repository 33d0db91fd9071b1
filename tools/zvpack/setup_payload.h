//===- setup_payload.h - The eight archives of a setup and their files ----===//
// A setup payload is given as a folder or as a manifest:
//   folder    per archive NAME, the zvpack list file FOLDER/NAME.list when there
//             is one (its order is the archive's order), otherwise every file
//             under FOLDER/NAME, sorted by stored name;
//   manifest  a text file with one line "NAME PATH" per archive, PATH (relative
//             to the manifest) a folder or a list file; '#' starts a comment.
// Every archive must be named once; an archive may be empty. A payload folder
// holds nothing else at its top level. The checks here run before anything is
// compressed; each reports every problem it finds, one line each
// (problem_list.h).
#ifndef VX_TOOLS_ZVPACK_SETUP_PAYLOAD_H
#define VX_TOOLS_ZVPACK_SETUP_PAYLOAD_H

#include "tools/zvpack/pack.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

// The archives in the order of the setup's resources.
extern const char* const kSetupArchiveNames[8];

// The eight archives as written may take at most this many bytes. The whole
// image, these archives included, is mapped into the 2 GiB user address space
// of a 32-bit process, in one piece, beside the system's libraries, the stacks
// and the launcher's heap; 1 GiB stays clear of all of them on every Windows
// the launcher runs on. Before packing only a worst case is known (a warning);
// the archives as written are held to it.
constexpr uint64_t kMaxSetupPayloadBytes = uint64_t{1} << 30;

// The five archives the launcher unpacks into one work folder, in this order.
constexpr int kUnpackedArchiveCount = 5;

struct SetupArchive {
  std::string name;             // BASE, SETUPBASE, ...
  std::string source;           // the folder or list file it comes from
  std::vector<PackInput> inputs;
};

// The archives of payload (a folder or a manifest), in kSetupArchiveNames
// order, with their files gathered, leaving out what exclude matches. Empty
// folders are dropped with a line each in *warnings. False with the problems
// in *error: a payload folder's top level holding anything but the eight
// archives (NAME/ or NAME.list), a bad manifest, bad names in any archive, a
// file that is not a regular one or too large for an archive.
bool ReadSetupPayload(const std::string& payload, const PathFilter& exclude, std::vector<SetupArchive>* archives,
                      std::vector<std::string>* warnings, std::string* error);

// What the archives must hold together: SETUPBASE the next stage's Vistart.exe
// and pidwait.exe at its top level (in any case), each a Windows program for
// machine (kPeMachineI386 or kPeMachineAmd64; 0: any machine), and no path (as
// Windows compares names) in more than one of the five unpacked archives,
// where the later would overwrite the earlier in the work folder.
bool CheckSetupArchives(const std::vector<SetupArchive>& archives, uint16_t machine, std::string* error);

// "i386 (PE32)", "x86-64 (PE32+)", else the number.
std::string MachineName(uint16_t machine);

// The most bytes the archives can take once packed, from the sizes of their
// files, and the sizes themselves in *inputBytes; false when a file cannot be
// examined.
bool WorstCasePayloadBytes(const std::vector<SetupArchive>& archives, uint64_t* bytes, uint64_t* inputBytes,
                           std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SETUP_PAYLOAD_H
