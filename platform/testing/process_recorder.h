//===- process_recorder.h - Program starts kept instead of made -----------===//
// Tests only. The test platform library stands in for the calls of process.h:
// while recording, StartCommand and StartProgram start nothing and keep what
// would have been started; GetModulePath can be given a name of the test's.
#ifndef VX_PLATFORM_TESTING_PROCESS_RECORDER_H
#define VX_PLATFORM_TESTING_PROCESS_RECORDER_H

#include <cstdint>

namespace platform {

// true keeps every command instead of starting it and forgets earlier ones;
// false goes back to the real calls (which start nothing on the host). While
// recording, StartCommand returns 33 and StartProgram 0.
void RecordCommandsForTesting(bool record);
// The last command kept, empty when there is none.
const char* LastCommandForTesting();
// The program named to StartProgram with the last command kept; empty for a
// command of StartCommand.
const char* LastProgramForTesting();
// The current directory at the time the last command was kept.
const char* LastCommandDirForTesting();
int CommandCountForTesting();
uint32_t LastShowForTesting();
// While error is nonzero, a recorded StartProgram keeps nothing and returns it:
// the next `times` starts (every start when times is negative).
void FailProgramStartsForTesting(uint32_t error, int times = -1);
// The StartProgram calls made while recording, failed ones included.
int ProgramStartTriesForTesting();
// GetModulePath answers path (as GetModuleFileNameA would); null clears it.
void SetModulePathForTesting(const char* path);

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_PROCESS_RECORDER_H
