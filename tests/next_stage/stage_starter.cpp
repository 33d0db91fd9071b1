// stage_starter RESOURCEFILE SCRIPT ARGSFILE: stands in for the launcher in the next stage's
// tests. From the current directory (the work folder) it starts Vistart.exe with the
// launcher's own command line: ResourceFile is RESOURCEFILE, or this program itself (which
// carries three archives) for "-"; CleanUp is SCRIPT; the launcher's argument string is the
// content of ARGSFILE, byte for byte. Exits 0 once the start was handed to the system.
#include "launcher/setup_sequence.h"
#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: stage_starter RESOURCEFILE|- SCRIPT ARGSFILE\n");
    return 2;
  }
  std::ifstream argsFile(argv[3], std::ios::binary);
  if (!argsFile) {
    std::fprintf(stderr, "stage_starter: cannot read %s\n", argv[3]);
    return 2;
  }
  std::string args((std::istreambuf_iterator<char>(argsFile)), std::istreambuf_iterator<char>());
  char self[260];
  platform::GetModulePath(nullptr, self, sizeof self);
  const char* resourceFile = std::strcmp(argv[1], "-") == 0 ? self : argv[1];
  VxString command = BuildStageCommand(resourceFile, argv[2], args.c_str());
  // SW_SHOW, as the launcher starts it.
  uint32_t started = platform::StartCommand(command, 5);
  if (started <= 31) {
    std::fprintf(stderr, "stage_starter: WinExec failed with %u\n", static_cast<unsigned>(started));
    return 1;
  }
  return 0;
}
