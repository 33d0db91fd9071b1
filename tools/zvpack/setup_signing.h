//===- setup_signing.h - The signing command zvpack setup runs ------------===//
// --sign-command CMD runs CMD, one command line in which {file} stands for the
// quoted path of the unsigned setup, through the system's command interpreter
// to sign that file in place, before the setup is put at --out. A failing CMD
// is tried again --sign-retries times, --sign-retry-delay seconds apart, each
// time on the setup as written. The file CMD leaves must be the setup with a
// signature added (signed_setup_check.h).
#ifndef VX_TOOLS_ZVPACK_SETUP_SIGNING_H
#define VX_TOOLS_ZVPACK_SETUP_SIGNING_H

#include <string>
#include <vector>

namespace zvpack {

struct SignOptions {
  std::string command;  // empty: the setup is not signed
  unsigned retries = 0;
  unsigned retryDelay = 2;  // seconds
  bool retryGiven = false;  // --sign-retries or --sign-retry-delay was given
};

enum class SignOptionTaken { kTaken, kOther, kBad };

// Takes argv[*i] (and its value) into *options when it is one of the three
// options; kBad with one line in *error for a bad value (a command without
// {file}, a count out of range). CheckSignOptions then refuses retries
// without a command.
SignOptionTaken TakeSignOption(int argc, char** argv, int* i, SignOptions* options, std::string* error);

// False with one line in *error when the options do not go together.
bool CheckSignOptions(const SignOptions& options, std::string* error);

// The command line CMD becomes for the file at path.
std::string SignCommandLine(const std::string& command, const std::string& path);

// Signs the file at path, which holds setup, under options. False with one
// line in *error when no run of the command succeeded or the signed file is
// not the setup with a signature; shownOut names the setup in the lines. A
// Ctrl-C or terminating signal that arrives while the command runs comes back
// in *interrupt (else 0), with false; the caller cleans up and then ends with
// it.
bool SignSetupFile(const SignOptions& options, const std::string& path, const std::string& shownOut,
                   const std::vector<unsigned char>& setup, int* interrupt, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SETUP_SIGNING_H
