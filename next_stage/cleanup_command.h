//===- cleanup_command.h - Starting the launcher's clean-up script --------===//
// The script waits, through pidwait, for the process whose id it gets as its
// first argument, then deletes every unpacked file, folder and itself.
#ifndef VX_NEXT_STAGE_CLEANUP_COMMAND_H
#define VX_NEXT_STAGE_CLEANUP_COMMAND_H

#include <cstdint>
#include <string>

// The command that runs scriptPath through the command interpreter with pid
// as its argument: cmd.exe /c ""<script>" <pid>". The outer pair of quotes is
// the one that cmd strips from a /c command of more than two quotes, so the
// script path keeps its own quotes and may contain blanks.
std::string BuildCleanUpCommand(const std::string& scriptPath, uint32_t pid);

// SW_HIDE: the interpreter's console window is never shown.
constexpr uint32_t kCleanUpShow = 0;

#endif  // VX_NEXT_STAGE_CLEANUP_COMMAND_H
