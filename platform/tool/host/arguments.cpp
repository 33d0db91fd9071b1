// The command-line words on the host: main's, as they are.
#include "platform/tool/arguments.h"

namespace platform_tool {

ProgramWords::ProgramWords(int argc, char** argv) : pointers_(argv, argv + argc) { pointers_.push_back(nullptr); }

}  // namespace platform_tool
