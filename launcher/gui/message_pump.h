//===- message_pump.h - One non-waiting step of message polling ----------===//
// Windows only.
#ifndef VX_LAUNCHER_GUI_MESSAGE_PUMP_H
#define VX_LAUNCHER_GUI_MESSAGE_PUMP_H

// Takes at most one message of the thread's queue (any window) and translates and dispatches
// it; returns at once when there is none. Messages do not go through the dialog manager's
// keyboard handling, so Esc reaches no dialog as a cancel command.
void PumpOneMessage();

#endif  // VX_LAUNCHER_GUI_MESSAGE_PUMP_H
