// Entering an extraction folder on the host: a drive letter mapped onto it.
#include "platform/tool/extraction_folder.h"

#include "platform/dirs.h"
#include "platform/host/drive_map.h"
#include "platform/tool/file_system.h"

namespace platform_tool {
namespace {

// A drive letter that the host view does not use yet, or 0.
char FreeDriveLetter() {
  for (char letter = 'Z'; letter > 'C'; --letter) {
    if (platform::MappedDrive(letter).empty()) return letter;
  }
  return 0;
}

}  // namespace

ExtractionFolder::Problem ExtractionFolder::Enter(const std::string& folder) {
  const std::string absolute = MakeFolders(folder) ? AbsolutePath(folder) : std::string();
  if (absolute.empty()) return Problem::kNotMade;
  const char letter = FreeDriveLetter();
  if (letter == 0 || !platform::MapDrive(letter, absolute)) return Problem::kNoDrive;
  letter_ = letter;
  // The mapped drive is made current and the host's own current folder is put
  // on the same folder, so that the drive view's folder calls and the host file
  // opening reach the same place whichever way the host layer reads a path.
  previousDrive_ = platform::GetDrive();
  previousFolder_ = CurrentFolder();
  const bool entered = !previousFolder_.empty() && platform::ChangeDrive(letter - 'A' + 1) == 0 &&
                       SetCurrentFolder(absolute);
  return entered ? Problem::kNone : Problem::kNotEntered;
}

ExtractionFolder::~ExtractionFolder() {
  if (letter_ == 0) return;
  if (!previousFolder_.empty()) SetCurrentFolder(previousFolder_);
  platform::ChangeDrive(previousDrive_);
  platform::MapDrive(letter_, "");
}

}  // namespace platform_tool
