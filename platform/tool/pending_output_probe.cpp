// A program that holds a pending output for pending_output_interrupt_test.sh to interrupt.
//   pending_output_probe wait FOLDER       writes a little of FOLDER/Café-setup.exe, then waits
//   pending_output_probe write FOLDER      keeps writing it (up to 256 MiB, then waits)
//   pending_output_probe command FOLDER SELF
//                                          closes it and runs "SELF sleep" as the signing
//                                          command; an interrupt meanwhile is recorded (it
//                                          says so), the output discarded, and the process
//                                          ends as the interrupt would have (exit 1 when
//                                          none came)
//   pending_output_probe sleep             says ready and sleeps 5 s
// Each says "ready" once the interrupt can come.
#include "platform/tool/pending_output.h"
#include "platform/tool/run_command.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void SayReady() {
  std::puts("ready");
  std::fflush(stdout);
}

[[noreturn]] void WaitForTheEnd() {
  for (;;) platform_tool::SleepSeconds(60);
}

int Probe(const std::string& mode, const std::string& folder, const std::string& self) {
  platform_tool::PendingOutput output;
  std::string reason;
  if (!output.Create(folder + "/Caf\xC3\xA9-setup.exe.tmp", "Caf\xC3\xA9-setup.exe", 0755, &reason)) {
    std::fprintf(stderr, "pending_output_probe: %s\n", reason.c_str());
    return 2;
  }
  std::fputs("half", output.File());
  std::fflush(output.File());
  if (mode == "command") {
    output.CloseFile();
    const platform_tool::CommandResult run =
        platform_tool::RunCommandLine(platform_tool::QuoteForCommandLine(self) + " sleep");
    if (run.interrupt == 0) return 1;
    std::fputs("interrupt recorded\n", stderr);
    output.Discard();
    platform_tool::EndAsSignalled(run.interrupt);
  }
  SayReady();
  const std::vector<char> block(64 * 1024, 'x');
  for (int i = 0; mode == "write" && i < 4096; ++i) std::fwrite(block.data(), 1, block.size(), output.File());
  WaitForTheEnd();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "sleep") {
    SayReady();
    platform_tool::SleepSeconds(5);
    return 0;
  }
  if (argc < 3 || (mode != "wait" && mode != "write" && mode != "command")) {
    std::fprintf(stderr, "usage: pending_output_probe wait|write|command FOLDER [SELF] | sleep\n");
    return 2;
  }
  return Probe(mode, argv[2], argc > 3 ? argv[3] : "");
}
