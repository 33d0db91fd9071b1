// libFuzzer target: CreatePathDirs over arbitrary paths, from the work folder C:\W of drive C
// (the host folder named by VX_HOST_DRIVE_C; scripts/fuzz.sh gives it a scratch folder).
// Whatever the path, nothing may appear outside drive C and no file at all; the directories
// made must be exactly those recorded; success means the directory exists; the current
// drive and directory are as before. The drive is emptied down to C:\W after each input.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "launcher/file_system.h"
#include "platform/dirs.h"
#include "platform/host/drive_map.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxPath = 600;
const char kWorkDir[] = "C:\\W";

[[noreturn]] void Fail(const char* what, const std::string& path) {
  std::fprintf(stderr, "create_path_dirs_fuzz: %s\n  path \"%s\"\n", what, path.c_str());
  std::abort();
}

std::set<std::string> Listing(const fs::path& dir) {
  std::set<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) names.insert(entry.path().filename());
  return names;
}

// The folders next to the drive and the host's working folder, as they were at the start.
struct Surroundings {
  fs::path drive;
  fs::path outside;
  std::set<std::string> outsideNames;
  fs::path hostCwd;
  std::set<std::string> hostCwdNames;
};

const Surroundings& Initial() {
  static const Surroundings initial = [] {
    Surroundings s;
    s.drive = fs::canonical(platform::MappedDrive('C'));
    s.outside = s.drive.parent_path();
    s.outsideNames = Listing(s.outside);
    s.hostCwd = fs::current_path();
    s.hostCwdNames = Listing(s.hostCwd);
    return s;
  }();
  return initial;
}

// Every directory below the drive but the work folder itself; any file stops the run.
std::set<std::string> DirsOnDrive(const fs::path& drive, const std::string& path) {
  std::set<std::string> dirs;
  const fs::path work = drive / "W";
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(drive, error); it != fs::recursive_directory_iterator();
       it.increment(error)) {
    if (error) break;
    if (!it->is_directory() || it->is_symlink()) Fail("something other than a directory was made", path);
    if (it->path() != work) dirs.insert(it->path().string());
  }
  return dirs;
}

void EmptyTheDrive(const fs::path& drive) {
  std::error_code error;
  for (const fs::path& dir : {drive, drive / "W"}) {
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) {
      if (entry.path() != drive / "W") fs::remove_all(entry.path(), error);
    }
  }
}

std::string CurrentDir() {
  char* cwd = platform::GetCwd(nullptr, 0);
  std::string dir = cwd != nullptr ? cwd : "";
  platform::FreeCwd(cwd);
  return dir;
}

void CheckRecorded(const CreatedDirList& dirs, const std::set<std::string>& made, const std::string& path) {
  std::set<std::string> recorded;
  for (const VxString& dir : dirs) {
    const char* text = dir;
    if (std::strncmp(text, "C:\\", 3) != 0) Fail("a directory recorded off drive C", path);
    std::error_code error;
    const fs::path host = fs::canonical(platform::HostPath(text), error);
    if (error) Fail("a recorded directory does not exist", path);
    if (!recorded.insert(host.string()).second) Fail("a directory recorded twice", path);
  }
  if (recorded != made) Fail("the recorded directories are not those made", path);
}

}  // namespace

// The checks need a drive of their own: an empty scratch folder, not one made at random under
// the shared temporary folder, whose neighbours change by themselves.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* drive = std::getenv("VX_HOST_DRIVE_C");
  if (drive == nullptr || *drive == '\0' || !fs::is_directory(drive)) {
    std::fprintf(stderr, "create_path_dirs_fuzz: set VX_HOST_DRIVE_C to an empty scratch folder (scripts/fuzz.sh does)\n");
    std::exit(2);
  }
  std::set<std::string> names = Listing(drive);
  names.erase("W");
  if (!names.empty()) {
    std::fprintf(stderr, "create_path_dirs_fuzz: the folder of VX_HOST_DRIVE_C must be empty\n");
    std::exit(2);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Surroundings& initial = Initial();
  std::string path(reinterpret_cast<const char*>(data), size < kMaxPath ? size : kMaxPath);
  path = path.c_str();

  platform::ChangeDrive(3);
  platform::MakeDir(kWorkDir);
  if (platform::ChangeDir(kWorkDir) != 0) Fail("cannot enter the work folder", path);

  CreatedDirList dirs;
  const int result = CreatePathDirs(path.c_str(), &dirs);

  if (platform::GetDrive() != 3 || CurrentDir() != kWorkDir) Fail("the current directory moved", path);
  // The walk cuts components at backslashes only and hands each to the directory calls, which
  // take a forward slash as a separator as well: "x\/y" enters x, then \y from the root, and
  // succeeds without x\y existing. Only paths without forward slashes name what is made.
  const bool backslashesOnly = path.find('/') == std::string::npos;
  if (result == 0 && backslashesOnly && platform::Access(path.c_str(), platform::kAccessExists) != 0) {
    Fail("success, but the directory does not exist", path);
  }
  if (Listing(initial.outside) != initial.outsideNames) Fail("something appeared next to the drive", path);
  if (Listing(initial.hostCwd) != initial.hostCwdNames) Fail("something appeared in the host's folder", path);
  CheckRecorded(dirs, DirsOnDrive(initial.drive, path), path);
  EmptyTheDrive(initial.drive);
  return 0;
}
