//===- cleanup_command.h - Starting the launcher's clean-up script --------===//
// The script waits, through pidwait, for the process whose id it gets as its
// first argument, then deletes every unpacked file, folder and itself.
#ifndef VX_NEXT_STAGE_CLEANUP_COMMAND_H
#define VX_NEXT_STAGE_CLEANUP_COMMAND_H

#include <cstdint>
#include <string>

// The command that runs scriptPath through the command interpreter with pid
// as its argument: "<systemFolder>\cmd.exe" /c ""<script>" <pid>". The outer
// pair of quotes after /c is the one that cmd strips from a /c command of more
// than two quotes, so the script path keeps its own quotes and may contain
// blanks. The interpreter is named by its full path: the command starts in the
// temporary folder, which a search by bare name would look in before the
// system folder. An empty systemFolder gives the bare name cmd.exe.
std::string BuildCleanUpCommand(const std::string& systemFolder, const std::string& scriptPath,
                                uint32_t pid);

// SW_HIDE: the interpreter's console window is never shown.
constexpr uint32_t kCleanUpShow = 0;

#endif  // VX_NEXT_STAGE_CLEANUP_COMMAND_H
