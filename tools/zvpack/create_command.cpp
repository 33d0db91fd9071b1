// "zvpack create": one archive from a folder or a list file.
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/commands.h"
#include "tools/zvpack/exit_codes.h"
#include "tools/zvpack/pack.h"
#include "tools/zvpack/progress.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zvpack {
namespace {

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

void WarnEmptyFolders(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::fprintf(stderr, "zvpack: warning: %s: an empty folder, not stored (archives hold files, not folders)\n",
                 folder.c_str());
  }
}

}  // namespace

int RunCreate(int argc, char** argv) {
  SharedPackOptions options;
  std::string listFile, baseDir, error;
  std::vector<std::string> positional;
  for (int i = 0; i < argc; ++i) {
    const PackOption taken = TakePackOption(argc, argv, &i, &options, &error);
    if (taken == PackOption::kBad) return UsageError("create", error);
    if (taken == PackOption::kTaken) continue;
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if ((arg == "--list" || arg == "--base") && hasValue) {
      (arg == "--list" ? listFile : baseDir) = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError("create", UnknownOption(arg, arg == "--list" || arg == "--base"));
    } else {
      positional.push_back(arg);
    }
  }
  if (!ReadSourceDateEpoch(&options.pack, &error)) return UsageError("create", error);
  const size_t expected = listFile.empty() ? 2 : 1;
  if (positional.size() != expected) {
    return UsageError("create", listFile.empty() ? "needs ARCHIVE and DIR" : "needs ARCHIVE and --list LISTFILE");
  }
  if (listFile.empty() && !baseDir.empty()) return UsageError("create", "--base goes with --list");

  std::vector<PackInput> inputs;
  std::vector<std::string> emptyFolders;
  const PathFilter* exclude = options.exclude.Empty() ? nullptr : &options.exclude;
  const bool gathered = listFile.empty()
                            ? CollectDirectory(positional[1], &inputs, &error, CollectOptions{exclude, &emptyFolders})
                            : ReadListFile(listFile, baseDir.empty() ? DirectoryOf(listFile) : baseDir, &inputs,
                                           &error, exclude);
  if (!gathered) return Fail(error, kExitInputRefused);
  WarnEmptyFolders(emptyFolders);

  uint64_t total = 0;
  for (const PackInput& input : inputs) total += FileSizeOrZero(input.hostPath);
  Progress progress(Progress::ModeForStderr(options.quiet), total);
  options.pack.progress = &progress;
  if (!CreateArchive(positional[0], inputs, options.pack, &error)) return Fail(error, kExitInputRefused);
  progress.PrintSummary(stdout);
  return kExitOk;
}

}  // namespace zvpack
