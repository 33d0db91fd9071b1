//===- cli_support.h - Helpers the zvpack commands share ------------------===//
#ifndef VX_TOOLS_ZVPACK_CLI_SUPPORT_H
#define VX_TOOLS_ZVPACK_CLI_SUPPORT_H

#include "tools/zvpack/pack.h"
#include "tools/zvpack/path_filter.h"

#include <string>
#include <vector>

namespace zvpack {

enum class FileRead { kDone, kNotOpened, kReadFailed };

// The whole file at path (a UTF-8 path on every system) into *bytes.
FileRead ReadFileBytes(const std::string& path, std::string* bytes);

// The whole file at path; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* bytes);

// The size of the file at path, 0 when it cannot be examined (for the
// progress's total; the packing itself reports such a file).
uint64_t FileSizeOrZero(const std::string& path);

// SOURCE_DATE_EPOCH from the environment into options (nothing when it is not
// set); false, with one line in *error, when it is not a number that fits 32 bits.
bool ReadSourceDateEpoch(PackOptions* options, std::string* error);

// The packing options that create and setup share: -0..-9, --best, --threads N,
// --exclude GLOB and --quiet.
struct SharedPackOptions {
  PackOptions pack;
  PathFilter exclude;
  bool quiet = false;
};
enum class PackOption { kTaken, kOther, kBad };

// Takes argv[*i] into options when it is one of them (advancing *i past a value);
// kOther leaves everything as it was, kBad puts one line into *error.
PackOption TakePackOption(int argc, char** argv, int* i, SharedPackOptions* options, std::string* error);

// Prints "zvpack: <lines>" on stderr, each line of error with the prefix, and
// returns code.
int Fail(const std::string& error, int code);

// A bad command line: the problem in one line with a pointer to the command's
// help; returns the usage exit code.
int UsageError(const std::string& command, const std::string& problem);

// "unknown option X" or "X needs a value", for an argument that starts with '-'.
std::string UnknownOption(const std::string& arg, bool takesValue);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_CLI_SUPPORT_H
