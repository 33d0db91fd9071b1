//===- text_capture.h - A stream whose text is read back ------------------===//
// For output that must be converted before it is printed (zvpack prints entry
// names, held in Windows-1252, as UTF-8): what is written to File() comes
// back from Finish().
#ifndef VX_PLATFORM_TOOL_TEXT_CAPTURE_H
#define VX_PLATFORM_TOOL_TEXT_CAPTURE_H

#include <cstdio>
#include <memory>
#include <string>

namespace platform_tool {

class TextCapture {
 public:
  // File() is nullptr when the system gave no stream.
  TextCapture();
  // Closes the stream if Finish has not.
  ~TextCapture();
  TextCapture(const TextCapture&) = delete;
  TextCapture& operator=(const TextCapture&) = delete;

  std::FILE* File() const;
  // Closes the stream and returns all that was written to it; File() is
  // nullptr afterwards.
  std::string Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_TEXT_CAPTURE_H
