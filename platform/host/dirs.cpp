// Host directory calls over the drive-letter view. Only generic POSIX code
// belongs in platform/host.
#include "platform/dirs.h"

#include "platform/common/wrappable.h"
#include "platform/common/cp1252.h"
#include "platform/host/drive_map.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr int kDriveCount = 26;
constexpr int kDriveC = 2;  // index of C in the table

struct Drive {
  std::string root;                // host directory; empty: not mapped
  std::vector<std::string> cwd;    // components below the root, as the host holds them
};

struct DriveTable {
  Drive drives[kDriveCount];
  int current = kDriveC;
  std::string madeRoot;  // the temporary directory made for C, removed at exit
};

void RemoveMadeRoot();

DriveTable& Table() {
  static DriveTable* table = nullptr;
  if (table != nullptr) return *table;
  table = new DriveTable;  // lives for the whole process, as the runtime's state does
  for (int i = 0; i < kDriveCount; ++i) {
    std::string name = "VX_HOST_DRIVE_";
    name += static_cast<char>('A' + i);
    const char* dir = std::getenv(name.c_str());
    if (dir != nullptr && *dir != '\0') table->drives[i].root = dir;
  }
  if (table->drives[kDriveC].root.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    pattern += "/vx-drive-c-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) {
      table->drives[kDriveC].root = buffer.data();
      table->madeRoot = buffer.data();
      std::atexit(RemoveMadeRoot);
    } else {
      table->drives[kDriveC].root = "/";
    }
  }
  return *table;
}

void RemoveMadeRoot() { rmdir(Table().madeRoot.c_str()); }

int LetterIndex(char letter) {
  if (letter >= 'a' && letter <= 'z') return letter - 'a';
  if (letter >= 'A' && letter <= 'Z') return letter - 'A';
  return -1;
}

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

bool IsBadNameChar(unsigned char ch) {
  return ch < 0x20 || std::strchr("<>\"|?*:", ch) != nullptr;
}

bool Exists(const std::string& hostPath) {
  struct stat info;
  return lstat(hostPath.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& hostPath) {
  struct stat info;
  return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The name under which dir holds component, ignoring case; component itself
// when the host holds it exactly or not at all.
std::string HostName(const std::string& dir, const std::string& component) {
  if (Exists(dir + "/" + component)) return component;
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return component;
  std::string found = component;
  while (dirent* item = readdir(listing)) {
    if (SameCp1252NameIgnoringCase(item->d_name, component.c_str())) {
      found = item->d_name;
      break;
    }
  }
  closedir(listing);
  return found;
}

// A Windows path split into its drive and its components below the root, with
// "." and ".." resolved. False when the path cannot name a file.
bool Resolve(const char* path, int* drive, std::vector<std::string>* components, bool* namedDrive) {
  // Windows names nothing by the empty path.
  if (path == nullptr || *path == '\0') return false;
  DriveTable& table = Table();
  const char* rest = path;
  *namedDrive = false;
  int index = table.current;
  if (rest[0] != '\0' && rest[1] == ':') {
    index = LetterIndex(rest[0]);
    if (index < 0) return false;
    rest += 2;
    *namedDrive = true;
  }
  if (table.drives[index].root.empty()) return false;
  std::vector<std::string> parts;
  if (!IsSeparator(*rest)) parts = table.drives[index].cwd;
  std::string component;
  for (const char* p = rest;; ++p) {
    if (*p == '\0' || IsSeparator(*p)) {
      if (component == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!component.empty() && component != ".") {
        // The host holds the name in UTF-8, as Windows holds an ANSI name in Unicode.
        parts.push_back(Cp1252ToUtf8(component));
      }
      component.clear();
      if (*p == '\0') break;
    } else if (IsBadNameChar(static_cast<unsigned char>(*p))) {
      return false;
    } else {
      component += *p;
    }
  }
  // Case-insensitive match against what exists, one level at a time.
  std::string host = table.drives[index].root;
  for (std::string& part : parts) {
    part = HostName(host, part);
    host += "/";
    host += part;
  }
  *drive = index;
  *components = parts;
  return true;
}

std::string JoinHost(int drive, const std::vector<std::string>& components) {
  std::string host = Table().drives[drive].root;
  if (components.empty()) return host;
  for (const std::string& part : components) {
    host += "/";
    host += part;
  }
  return host;
}

std::string HostPathOf(const char* path) {
  int drive;
  bool namedDrive;
  std::vector<std::string> components;
  if (!Resolve(path, &drive, &components, &namedDrive)) return std::string();
  return JoinHost(drive, components);
}

}  // namespace

bool MapDrive(char letter, const std::string& hostDir) {
  int index = LetterIndex(letter);
  if (index < 0) return false;
  DriveTable& table = Table();
  if (hostDir.empty() && index == kDriveC) return false;
  table.drives[index].root = hostDir;
  table.drives[index].cwd.clear();
  if (hostDir.empty() && table.current == index) table.current = kDriveC;
  return true;
}

std::string MappedDrive(char letter) {
  int index = LetterIndex(letter);
  return index < 0 ? std::string() : Table().drives[index].root;
}

std::string HostPath(const char* windowsPath) { return HostPathOf(windowsPath); }

int VX_PLATFORM_ENTRY(Access)(const char* path, int mode) {
  std::string host = HostPathOf(path);
  if (host.empty()) return -1;
  int hostMode = F_OK;
  if (mode & kAccessWrite) hostMode |= W_OK;
  if (mode & kAccessRead) hostMode |= R_OK;
  return access(host.c_str(), hostMode) == 0 ? 0 : -1;
}

int VX_PLATFORM_ENTRY(MakeDir)(const char* path, const void* /*security*/) {
  std::string host = HostPathOf(path);
  if (host.empty()) return -1;
  return mkdir(host.c_str(), 0777) == 0 ? 0 : -1;
}

int VX_PLATFORM_ENTRY(ChangeDir)(const char* path) {
  int drive;
  bool namedDrive;
  std::vector<std::string> components;
  if (!Resolve(path, &drive, &components, &namedDrive)) return -1;
  if (!IsDirectory(JoinHost(drive, components))) return -1;
  DriveTable& table = Table();
  table.drives[drive].cwd = components;
  if (namedDrive) table.current = drive;
  return 0;
}

char* VX_PLATFORM_ENTRY(GetCwd)(char* buffer, int size) {
  DriveTable& table = Table();
  std::string text;
  text += static_cast<char>('A' + table.current);
  text += ":\\";
  const std::vector<std::string>& cwd = table.drives[table.current].cwd;
  for (size_t i = 0; i < cwd.size(); ++i) {
    if (i > 0) text += '\\';
    std::string ansi;
    std::string problem;
    // Always converts: every component came from a 1252 name.
    if (!Utf8ToCp1252(cwd[i], &ansi, &problem)) return nullptr;
    text += ansi;
  }
  int needed = static_cast<int>(text.size()) + 1;
  if (buffer == nullptr) {
    int blockSize = size > needed ? size : needed;
    buffer = static_cast<char*>(std::malloc(static_cast<size_t>(blockSize)));
    if (buffer == nullptr) return nullptr;
  } else if (size < needed) {
    return nullptr;
  }
  std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
  return buffer;
}

void FreeCwd(char* block) { std::free(block); }

int VX_PLATFORM_ENTRY(GetDrive)() { return Table().current + 1; }

int VX_PLATFORM_ENTRY(ChangeDrive)(int drive) {
  if (drive < 1 || drive > kDriveCount) return -1;
  DriveTable& table = Table();
  if (table.drives[drive - 1].root.empty()) return -1;
  table.current = drive - 1;
  return 0;
}

}  // namespace platform
