//===- input_idle.h - Saying at once that a program waits for input -------===//
// Windows only, for the entry functions of the next-stage programs. Whoever
// started the program with WinExec, or waits for it with WaitForInputIdle (as
// the launcher does), goes on only once the program first waits for a message
// on an empty queue, or after a time-out of 30 s. A glance with PeekMessage does
// not count everywhere (Wine's, for one): a real wait for a message does.
#ifndef VX_NEXT_STAGE_INPUT_IDLE_H
#define VX_NEXT_STAGE_INPUT_IDLE_H

#include <windows.h>

// Waits once for a message on the empty queue; a thread timer ends the wait at once.
inline void SignalInputIdle() {
  const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, nullptr);
  MSG message;
  GetMessageA(&message, nullptr, 0, 0);
  KillTimer(nullptr, timer);
}

#endif  // VX_NEXT_STAGE_INPUT_IDLE_H
