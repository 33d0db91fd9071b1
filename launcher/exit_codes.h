//===- exit_codes.h - The launcher's process exit codes -------------------===//
// One numbered list. A number is never reused: a code that goes out of use
// stays here, marked retired. Whoever starts the launcher can tell from the
// code alone what happened; every code but 0 and 1 comes with one message box
// that names the problem.
#ifndef VX_LAUNCHER_EXIT_CODES_H
#define VX_LAUNCHER_EXIT_CODES_H

enum LauncherExitCode : int {
  // The next stage was started and has come up (it waits for input, has ended,
  // or 30 s have passed); or a setup window was open already; or the user
  // confirmed closing the splash.
  kExitSuccess = 0,
  // The temporary folder's drive has less than 10 MiB free. Nothing written.
  kExitNoRoom = 1,
  // A payload archive failed its check, or an entry inflated to another size
  // than its directory record states. Everything unpacked so far is removed.
  kExitDamagedArchive = 2,
  // The script or an entry's file could not be created, written or closed, or
  // the inflater could not be set up, or no work folder could be made in ten
  // tries. Everything unpacked so far is removed.
  kExitStreamFailure = 3,
  // No free name for the script or the work folder after 1000 tries. Nothing
  // written.
  kExitNoUniqueName = 4,
  // The heap could not give a block, at any step, the start of the next stage
  // included. Everything unpacked so far is removed, and the current folder is
  // the one the launcher was started in.
  kExitOutOfMemory = 5,
  // Any other exception reached the entry function.
  kExitUnexpected = 6,
  // The next stage could not be started: the work folder could not be entered,
  // the unpacked program could not be opened to hold it, or the system refused
  // to run it (not a program, removed or blocked meanwhile), each also after
  // 5 s of tries while a security program held it. Everything unpacked and the
  // script are removed.
  kExitStageNotStarted = 7,
};

#endif  // VX_LAUNCHER_EXIT_CODES_H
