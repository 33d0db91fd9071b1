// The launcher's message polling step.
#include "launcher/gui/message_pump.h"

#include <windows.h>

void PumpOneMessage() {
  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
