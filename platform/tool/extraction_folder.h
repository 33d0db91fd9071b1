//===- extraction_folder.h - Where the archive reader's ".\" names lead ----===//
// zvpack unpacks with the launcher's own extractor, which writes entries to
// ".\name" through the product's platform layer. Entering the folder makes
// those names land in it: on the host a free drive letter is mapped onto the
// folder (platform/host/drive_map.h) and made current, and the host's own
// current folder follows; on Windows the folder becomes the current folder.
// The destructor puts back what Enter changed.
#ifndef VX_PLATFORM_TOOL_EXTRACTION_FOLDER_H
#define VX_PLATFORM_TOOL_EXTRACTION_FOLDER_H

#include <string>

namespace platform_tool {

class ExtractionFolder {
 public:
  enum class Problem {
    kNone,
    kNotMade,     // the folder (or a parent) could not be made
    kNoDrive,     // host: every drive letter is taken
    kNotEntered,  // it exists but could not be made current
  };

  ExtractionFolder() = default;
  ~ExtractionFolder();
  ExtractionFolder(const ExtractionFolder&) = delete;
  ExtractionFolder& operator=(const ExtractionFolder&) = delete;

  // Makes folder with its parents and enters it; call once.
  Problem Enter(const std::string& folder);

 private:
  std::string previousFolder_;  // empty: nothing to put back
  int previousDrive_ = 0;       // host: the drive that was current
  char letter_ = 0;             // host: the letter mapped, or 0
};

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_EXTRACTION_FOLDER_H
