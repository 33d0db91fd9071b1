// libFuzzer target: any bytes as an archive resource. A sound archive is
// unpacked into C:\W\ and the work folder removed again; whatever the input,
// nothing may appear on drive C outside the work folder, and no sanitizer may
// report. Drive C is the host folder named by VX_HOST_DRIVE_C (scripts/fuzz.sh
// sets it to a scratch folder).
#include "archive/extract_entry.h"
#include "platform/host/drive_map.h"
#include "stream/stream_exception.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const char kWorkDir[] = "C:\\W\\";

// Stops the run when the drive holds anything but the work folder.
void CheckDriveHoldsOnlyTheWorkFolder() {
  std::string root = platform::MappedDrive('C');
  DIR* listing = opendir(root.c_str());
  if (listing == nullptr) return;
  while (dirent* item = readdir(listing)) {
    std::string name = item->d_name;
    if (name == "." || name == ".." || name == "W") continue;
    std::fprintf(stderr, "archive_fuzz: \"%s\" written outside the work folder\n", name.c_str());
    std::abort();
  }
  closedir(listing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  CreatedDirList dirs;
  try {
    UnpackArchive(data, static_cast<uint32_t>(size), kWorkDir, &dirs, nullptr);
  } catch (VxStreamException* e) {
    delete e;  // for instance two entries "a" and "a\b"
  } catch (const VxStreamException&) {
  }
  CheckDriveHoldsOnlyTheWorkFolder();
  std::error_code ignored;
  std::filesystem::remove_all(platform::HostPath("C:\\W"), ignored);
  return 0;
}
