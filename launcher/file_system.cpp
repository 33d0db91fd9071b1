// File-system helpers of the launcher: unique names, directory creation and the
// list of created directories.
#include "launcher/file_system.h"

#include "launcher/unique_name_state.h"
#include "platform/clock.h"
#include "platform/dirs.h"
#include "platform/disk.h"

#include <cstring>

namespace {

using unique_name_state::randomState;
using unique_name_state::seeded;

// The runtime's linear congruential generator, reproduced exactly.
int NextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFF);
}

constexpr int kUniqueNameTries = 1000;
constexpr size_t kComponentBufferSize = 260;
constexpr size_t kComponentLimit = 256;
constexpr int kCwdBufferSize = 256;

// Records the current directory, just made, at the front of dirs (unless null).
void RecordCurrentDir(CreatedDirList* dirs) {
  if (dirs == nullptr) return;
  char created[kCwdBufferSize];
  if (platform::GetCwd(created, kCwdBufferSize) != nullptr) {
    dirs->AddHead(VxString(created));
  } else if (char* longer = platform::GetCwd(nullptr, 0)) {
    // A folder that was made must be recorded, or the clean-up leaves it behind.
    dirs->AddHead(VxString(longer));
    platform::FreeCwd(longer);
  }
}

// Records component of the current directory, a folder that was made but could
// not be entered: it is removed with the rest all the same.
void RecordUnenteredDir(const char* component, CreatedDirList* dirs) {
  if (dirs == nullptr) return;
  char* parent = platform::GetCwd(nullptr, 0);
  if (parent == nullptr) return;
  VxString dir(parent);
  platform::FreeCwd(parent);
  if (dir.GetLength() == 0 || dir[dir.GetLength() - 1] != '\\') dir += "\\";
  dirs->AddHead(dir + component);
}

// Records the current directory, just made under the name component and
// entered. When the record cannot be kept (no memory), the folder is left and
// removed again before the exception goes on: a folder made here is either on
// the list or gone.
void RecordEnteredDir(const char* component, CreatedDirList* dirs) {
  try {
    RecordCurrentDir(dirs);
  } catch (...) {
    if (platform::ChangeDir("..") == 0) platform::RemoveDir(component);
    throw;
  }
}

// The current drive and directory of a helper's caller, put back however the
// helper ends, an exception included. When the directory cannot be entered
// again, the drive's root is: the helper never leaves the process standing in
// a folder that it made, which Windows could then not remove.
class PlaceKeeper {
 public:
  PlaceKeeper() : drive_(platform::GetDrive()), dir_(platform::GetCwd(nullptr, 0)) {}
  ~PlaceKeeper() {
    platform::ChangeDrive(drive_);
    if (dir_ == nullptr || platform::ChangeDir(dir_) != 0) platform::ChangeDir("\\");
    platform::FreeCwd(dir_);
  }
  PlaceKeeper(const PlaceKeeper&) = delete;
  PlaceKeeper& operator=(const PlaceKeeper&) = delete;

 private:
  int drive_;
  char* dir_;
};

}  // namespace

namespace unique_name_state {

uint32_t randomState = 0;
bool seeded = false;

}  // namespace unique_name_state

CreatedDirList::~CreatedDirList() {
  while (head_ != nullptr) {
    Node* next = head_->next;
    delete head_;
    head_ = next;
  }
}

void CreatedDirList::AddHead(const VxString& dir) {
  head_ = new Node{dir, head_};
  ++count_;
}

CreatedDirList::Iterator CreatedDirList::begin() const { return Iterator(head_); }

CreatedDirList::Iterator CreatedDirList::end() const { return Iterator(nullptr); }

VxString FindUniqueName(VxString pattern) {
  if (!seeded) {
    randomState = platform::TimeGetTime();
    seeded = true;
  }
  VxString candidate;
  for (int i = 0; i < kUniqueNameTries; ++i) {
    candidate.Format(pattern, i == 0 ? 0 : NextRandom());
    if (platform::Access(candidate, platform::kAccessExists) != 0) return candidate;
  }
  return VxString();
}

int SelectPathDrive(const char* path) {
  const char* colon = std::strchr(path, ':');
  if (colon == nullptr) return 0;
  // A second colon cannot name anything on Windows either.
  if (colon != path + 1 || std::strchr(colon + 1, ':') != nullptr) return 1;
  int drive = (static_cast<unsigned char>(path[0]) - 0x40) & ~0x20;
  return platform::ChangeDrive(drive) == 0 ? 0 : 1;
}

int EnterRootIfAbsolute(const char* rest) {
  if (rest[0] != '\\') return 0;
  return platform::ChangeDir("\\") == 0 ? 0 : 1;
}

int CreateDirsStepwise(const char* rest, CreatedDirList* dirs) {
  char component[kComponentBufferSize];
  const char* separator = std::strchr(rest, '\\');
  size_t length = separator != nullptr ? static_cast<size_t>(separator - rest) : std::strlen(rest);
  // The component buffer holds 256 characters; a longer one would be cut and
  // name some other directory.
  if (length >= kComponentLimit) return 1;
  std::memcpy(component, rest, length);
  component[length] = '\0';
  component[kComponentLimit] = '\0';

  if (platform::ChangeDir(component) != 0) {
    // A failure to make it shows in the next step. Only a folder made here is
    // recorded: one that someone else made in between is not this run's to remove.
    const bool made = platform::MakeDir(component) == 0;
    if (platform::ChangeDir(component) != 0) {
      if (made) RecordUnenteredDir(component, dirs);
      return 1;
    }
    if (made) RecordEnteredDir(component, dirs);
  }
  if (separator != nullptr) return CreateDirsStepwise(separator + 1, dirs);
  return 0;
}

int CreatePathDirs(const char* path, CreatedDirList* dirs) {
  if (platform::Access(path, platform::kAccessExists) == 0) return 0;
  // Windows keeps the current directory of a drive that is not current only
  // where a command shell or the runtime's _chdir noted it; otherwise
  // _chdrive back to it lands at its root. The full current directory is
  // therefore entered again at the end, after the path's drive's own.
  PlaceKeeper start;
  int result = SelectPathDrive(path);
  // Taken after the drive is selected: the current directory of the path's drive.
  PlaceKeeper pathDrive;
  if (result == 0) {
    const char* rest = path;
    if (std::strchr(rest, ':') != nullptr) rest += 2;
    result = EnterRootIfAbsolute(rest);
    if (rest[0] == '\\') ++rest;
    if (result == 0) result = CreateDirsStepwise(rest, dirs);
  }
  return result;
}

int CreateFreshDir(const char* path, CreatedDirList* dirs, const void* security) {
  // _mkdir fails when anything of that name exists, a folder or a link planted after the
  // name was chosen included: only a folder made here is used.
  if (platform::MakeDir(path, security) != 0) return 1;
  bool entered = false;
  try {
    PlaceKeeper start;
    entered = platform::ChangeDir(path) == 0;
    if (entered) RecordCurrentDir(dirs);
  } catch (...) {
    // Back where it started (the keeper is gone): the folder is empty and not current.
    platform::RemoveDir(path);
    throw;
  }
  if (entered) return 0;
  // Made but not entered: not this run's folder after all. It goes again at once; only
  // when that fails is it recorded, so that it is removed with the rest.
  if (!platform::RemoveDir(path) && dirs != nullptr) dirs->AddHead(VxString(path));
  return 1;
}
