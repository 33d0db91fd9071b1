// The command line that starts the clean-up script.
#include "next_stage/cleanup_command.h"

std::string BuildCleanUpCommand(const std::string& scriptPath, uint32_t pid) {
  return "cmd.exe /c \"\"" + scriptPath + "\" " + std::to_string(pid) + "\"";
}
