// pidwait.exe PID: returns once the process PID has ended. A console program:
// it shares the hidden console of the interpreter that runs the clean-up
// script, and the interpreter waits for a console program in a batch file and
// at its prompt alike.
#include "next_stage/process_id_arg.h"
#include "next_stage/stage_exit_codes.h"
#include "platform/process_wait.h"

int main(int argc, char** argv) {
  uint32_t pid = 0;
  if (argc != 2 || !ParseProcessId(argv[1], &pid)) return kStageBadProcessId;
  return platform::WaitForProcessEnd(pid) == platform::ProcessWait::kFailed ? kStageWaitRefused : kStageSuccess;
}
