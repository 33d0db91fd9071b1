// zvpack: the command line, handing each command its words.
#include "platform/tool/arguments.h"
#include "platform/tool/interrupt_exit.h"
#include "platform/tool/standard_streams.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/commands.h"
#include "tools/zvpack/exit_codes.h"
#include "tools/zvpack/help_text.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using zvpack::kExitOk;
using zvpack::kExitUsage;

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
};

const Command kCommands[] = {{"create", zvpack::RunCreate},   {"list", zvpack::RunList},
                             {"verify", zvpack::RunVerify},   {"extract", zvpack::RunExtract},
                             {"setup", zvpack::RunSetup},     {"diff", zvpack::RunDiff}};

void PrintSummaryHelp(std::FILE* out) {
  std::fputs(zvpack::kSummaryHelp, out);
  std::fputs(zvpack::kExitCodesHelp, out);
}

int Help(int argc, char** argv) {
  if (argc == 0) {
    PrintSummaryHelp(stdout);
    return kExitOk;
  }
  const char* help = zvpack::CommandHelp(argv[0]);
  if (help == nullptr || argc > 1) {
    std::fprintf(stderr, "zvpack help: no command \"%s\" (zvpack --help lists them)\n", argv[0]);
    return kExitUsage;
  }
  std::fputs(help, stdout);
  return kExitOk;
}

bool AsksForHelp(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  }
  return false;
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("zvpack: no command given (zvpack --help lists them)\n", stderr);
    return kExitUsage;
  }
  const std::string command = argv[1];
  if (command == "--version") {
    std::printf("%s\n", zvpack::VersionLine().c_str());
    return kExitOk;
  }
  if (command == "--help" || command == "-h") return Help(0, nullptr);
  if (command == "help") return Help(argc - 2, argv + 2);
  for (const Command& c : kCommands) {
    if (command != c.name) continue;
    if (AsksForHelp(argc - 2, argv + 2)) return Help(1, argv + 1);
    return c.run(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "zvpack: unknown command \"%s\" (zvpack --help lists them)\n", command.c_str());
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  platform_tool::PrepareStandardStreams();
  platform_tool::EndOnUnhandledInterrupt();
  platform_tool::ProgramWords words(argc, argv);
  return Run(words.Count(), words.Words());
}
