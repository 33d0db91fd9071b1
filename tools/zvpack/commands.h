//===- commands.h - zvpack's commands, each over the words after its name ---===//
// Each returns an exit code (exit_codes.h) and prints its failures, one line
// per problem, on stderr.
#ifndef VX_TOOLS_ZVPACK_COMMANDS_H
#define VX_TOOLS_ZVPACK_COMMANDS_H

namespace zvpack {

int RunCreate(int argc, char** argv);
int RunList(int argc, char** argv);
int RunVerify(int argc, char** argv);
int RunExtract(int argc, char** argv);
int RunSetup(int argc, char** argv);
int RunDiff(int argc, char** argv);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_COMMANDS_H
