//===- stat_facts.h - FileFacts from a struct stat (internal) -------------===//
// Internal to platform/tool/host/: the facts and failures the POSIX calls give.
#ifndef VX_PLATFORM_TOOL_HOST_STAT_FACTS_H
#define VX_PLATFORM_TOOL_HOST_STAT_FACTS_H

#include "platform/tool/file_system.h"

#include <sys/stat.h>

namespace platform_tool {

FileFacts FactsFromStat(const struct stat& info);

// The failure of a call that left error in errno.
FileFailure FailureFromErrno(int error);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_HOST_STAT_FACTS_H
