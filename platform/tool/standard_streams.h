//===- standard_streams.h - Standard output and error as the tool writes them -===//
// The tools write UTF-8 text with "\n" line ends on every system.
#ifndef VX_PLATFORM_TOOL_STANDARD_STREAMS_H
#define VX_PLATFORM_TOOL_STANDARD_STREAMS_H

namespace platform_tool {

// Makes standard output and error carry the bytes as written: on Windows no
// "\r" is added before "\n" (the output is the host's, byte for byte), and a
// console shows the text as UTF-8, its code page put back when the process
// exits through exit or a return from main. Nothing on the host. Called once,
// first thing in main.
void PrepareStandardStreams();

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_STANDARD_STREAMS_H
