// The signals' default actions already end the process as the shell expects.
#include "platform/tool/interrupt_exit.h"

namespace platform_tool {

void EndOnUnhandledInterrupt() {}

}  // namespace platform_tool
