//===- launcher_flags.h - Process-wide values of the launcher -------------===//
// The flags that the main sequence shares with the splash's dialog procedure, and the two
// handles that the entry function keeps. Everything runs on the one GUI thread, and the dialog
// procedure runs only inside the sequence's calls into the window system, so these are plain
// variables without locks.
#ifndef VX_LAUNCHER_LAUNCHER_FLAGS_H
#define VX_LAUNCHER_LAUNCHER_FLAGS_H

#include <cstdint>

// 1 while the main sequence waits for the splash's first paint; the splash sets 0 at the end
// of every paint, ShowSplash sets 0 when the dialog cannot be created. Initially 1.
extern int32_t waitingForPaint;

// 1 while the splash is up; 0 once it has ended (focus lost after the stage was launched, or
// the cancel command) or could not be created. The final wait runs while it is nonzero.
extern int32_t splashOpen;

// Set by the sequence just before it starts the next stage; from then on the splash ends when
// it loses the focus. Initially false.
extern bool stageLaunched;

// The HINSTANCE that WinMain receives and the HWND that ShowSplash returns, kept as opaque
// pointers so that portable code can hold them. Both null until set.
extern void* moduleInstance;
extern void* splashWindow;

#endif  // VX_LAUNCHER_LAUNCHER_FLAGS_H
