//===- entry_steps.h - The window-system steps of the entry function -----===//
// Windows only. Each step is one piece of WinMain's sequence that talks to the
// window system; the portable decisions (free space, the work folder, the
// script, the next stage's command line) live in launcher/.
#ifndef VX_LAUNCHER_GUI_ENTRY_STEPS_H
#define VX_LAUNCHER_GUI_ENTRY_STEPS_H

// When a setup window (class "AfxFrameOrView42", title "Zelvora Setup",
// whatever the user's language) is open: restores it if it is minimised,
// brings it to the front and returns true. False when there is none.
bool BringOpenSetupToFront();

// Creates the splash (waitingForPaint set first) and polls messages until it
// has painted once, or at once when it could not be created.
void ShowSplashAndWaitForPaint();

// A message box without owner, icon or other buttons than OK, topmost, with
// message 0 as its caption. Runs its own modal loop.
void ShowLauncherMessage(const char* text);

// After the next stage was started: destroys the splash, then polls messages
// while the splash is open, for at most 5000 ms by the multimedia clock.
void CloseSplashAndWait();

// Destroys the splash without waiting, so that a failure's message box is the
// only window left.
void CloseSplashNow();

#endif  // VX_LAUNCHER_GUI_ENTRY_STEPS_H
