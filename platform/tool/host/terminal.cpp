// Whether standard error is a terminal, on the host.
#include "platform/tool/terminal.h"

#include <unistd.h>

namespace platform_tool {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace platform_tool
