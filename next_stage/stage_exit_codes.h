//===- stage_exit_codes.h - Exit codes of Vistart.exe and pidwait.exe -----===//
// One numbered list for both programs of the sample next stage. A number is
// never reused: a code that goes out of use stays here, marked retired.
#ifndef VX_NEXT_STAGE_STAGE_EXIT_CODES_H
#define VX_NEXT_STAGE_STAGE_EXIT_CODES_H

enum NextStageExitCode : int {
  // Vistart: the clean-up script was handed to the system (whether the start
  // succeeded is in the record). pidwait: the process has ended, or there was
  // none with that id.
  kStageSuccess = 0,
  // pidwait: no argument, more than one, or one that is not a decimal process
  // id from 1 to 4294967295. It returns at once.
  kStageBadProcessId = 1,
  // pidwait: the process exists but the system refuses to let it be waited
  // for. It returns at once.
  kStageWaitRefused = 2,
  // Vistart: the command line names no clean-up script. Nothing is started.
  kStageNoCleanUp = 3,
  // Vistart: the command line names no ResourceFile, or that file cannot be
  // opened as an executable. The clean-up script is still started.
  kStageNoResourceFile = 4,
};

#endif  // VX_NEXT_STAGE_STAGE_EXIT_CODES_H
