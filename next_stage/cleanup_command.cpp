// The command line that starts the clean-up script.
#include "next_stage/cleanup_command.h"

std::string BuildCleanUpCommand(const std::string& systemFolder, const std::string& scriptPath,
                                uint32_t pid) {
  const std::string program =
      systemFolder.empty() ? std::string("cmd.exe") : "\"" + systemFolder + "\\cmd.exe\"";
  return program + " /c \"\"" + scriptPath + "\" " + std::to_string(pid) + "\"";
}
