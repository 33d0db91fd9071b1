// Entering an extraction folder on Windows: it becomes the current folder.
#include "platform/tool/extraction_folder.h"

#include "platform/tool/file_system.h"

namespace platform_tool {

ExtractionFolder::Problem ExtractionFolder::Enter(const std::string& folder) {
  const std::string absolute = MakeFolders(folder) ? AbsolutePath(folder) : std::string();
  if (absolute.empty()) return Problem::kNotMade;
  previousFolder_ = CurrentFolder();
  if (previousFolder_.empty() || !SetCurrentFolder(absolute)) {
    previousFolder_.clear();
    return Problem::kNotEntered;
  }
  return Problem::kNone;
}

ExtractionFolder::~ExtractionFolder() {
  if (!previousFolder_.empty()) SetCurrentFolder(previousFolder_);
}

}  // namespace platform_tool
