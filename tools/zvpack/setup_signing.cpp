// The signing command: its options, its runs and retries, and the check of what it left.
#include "tools/zvpack/setup_signing.h"

#include "platform/tool/input_file.h"
#include "platform/tool/run_command.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/signed_setup_check.h"

#include <cstdio>
#include <cstdlib>

namespace zvpack {
namespace {

constexpr char kFilePlace[] = "{file}";
constexpr unsigned long kMaxRetries = 100;
constexpr unsigned long kMaxRetryDelay = 3600;

bool ParseCount(const std::string& text, unsigned long most, unsigned* value) {
  char* end = nullptr;
  const unsigned long n = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || text[0] < '0' || text[0] > '9' || *end != '\0' || n > most) return false;
  *value = static_cast<unsigned>(n);
  return true;
}

bool RewriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::FILE* file = platform_tool::OpenFile(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

std::string HowItEnded(const platform_tool::CommandResult& run) {
  if (!run.started) return run.error;
  if (run.endedBy != 0) return "ended by signal " + std::to_string(run.endedBy);
  return "exit " + std::to_string(run.exitCode);
}

// One run after another until one succeeds, the retries are used up or an interrupt comes.
bool RunWithRetries(const SignOptions& o, const std::string& path, const std::string& shownOut,
                    const std::vector<unsigned char>& setup, int* interrupt, std::string* error) {
  const std::string commandLine = SignCommandLine(o.command, path);
  for (unsigned attempt = 0;; ++attempt) {
    if (attempt > 0 && !RewriteFile(path, setup)) {
      *error = shownOut + ": the unsigned setup could not be written again for another try";
      return false;
    }
    const platform_tool::CommandResult run = platform_tool::RunCommandLine(commandLine);
    *interrupt = run.interrupt;
    if (run.interrupt != 0) {
      *error = shownOut + ": interrupted while the signing command ran";
      return false;
    }
    if (run.started && run.exitCode == 0) return true;
    if (!run.started || attempt == o.retries) {
      *error = shownOut + ": the signing command failed (" + HowItEnded(run) + "); the setup was not written";
      return false;
    }
    std::fprintf(stderr, "zvpack: %s: the signing command failed (%s); trying again in %u s (%u of %u)\n",
                 shownOut.c_str(), HowItEnded(run).c_str(), o.retryDelay, attempt + 2, o.retries + 1);
    platform_tool::SleepSeconds(o.retryDelay);
  }
}

}  // namespace

SignOptionTaken TakeSignOption(int argc, char** argv, int* i, SignOptions* o, std::string* error) {
  const std::string arg = argv[*i];
  if (arg != "--sign-command" && arg != "--sign-retries" && arg != "--sign-retry-delay") {
    return SignOptionTaken::kOther;
  }
  if (*i + 1 >= argc) {
    *error = arg + " needs a value";
    return SignOptionTaken::kBad;
  }
  const std::string value = argv[++*i];
  bool good = true;
  o->retryGiven = o->retryGiven || arg != "--sign-command";
  if (arg == "--sign-command") {
    o->command = value;
    good = value.find(kFilePlace) != std::string::npos;
    if (!good) *error = "--sign-command needs {file} where the path of the setup to sign goes";
  } else if (arg == "--sign-retries") {
    good = ParseCount(value, kMaxRetries, &o->retries);
    if (!good) *error = "--sign-retries needs a number from 0 to " + std::to_string(kMaxRetries);
  } else {
    good = ParseCount(value, kMaxRetryDelay, &o->retryDelay);
    if (!good) *error = "--sign-retry-delay needs whole seconds from 0 to " + std::to_string(kMaxRetryDelay);
  }
  return good ? SignOptionTaken::kTaken : SignOptionTaken::kBad;
}

bool CheckSignOptions(const SignOptions& o, std::string* error) {
  if (o.retryGiven && o.command.empty()) {
    *error = "--sign-retries and --sign-retry-delay need --sign-command";
    return false;
  }
  return true;
}

std::string SignCommandLine(const std::string& command, const std::string& path) {
  const std::string quoted = platform_tool::QuoteForCommandLine(path);
  std::string line;
  size_t start = 0;
  for (size_t at; (at = command.find(kFilePlace, start)) != std::string::npos; start = at + sizeof kFilePlace - 1) {
    line += command.substr(start, at - start) + quoted;
  }
  return line + command.substr(start);
}

bool SignSetupFile(const SignOptions& o, const std::string& path, const std::string& shownOut,
                   const std::vector<unsigned char>& setup, int* interrupt, std::string* error) {
  *interrupt = 0;
  if (!RunWithRetries(o, path, shownOut, setup, interrupt, error)) return false;
  std::vector<unsigned char> signedFile;
  std::string why;
  if (!ReadWholeFile(path, &signedFile)) {
    why = "it cannot be read";
  } else if (CheckSignedSetup(setup, signedFile, &why)) {
    return true;
  }
  *error = shownOut + ": after the signing command " + why + "; the setup was not written";
  return false;
}

}  // namespace zvpack
