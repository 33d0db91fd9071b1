//===- file_system.h - Facts of files and folders, by UTF-8 path ----------===//
// For the tools: every path is UTF-8, on Windows as on the host (the Windows
// side converts at the wide calls). A failure comes back with the system's
// reason as the host's strerror() words it ("No such file or directory"), so
// that the tools' messages read alike on both systems; the caller puts the
// path in front.
#ifndef VX_PLATFORM_TOOL_FILE_SYSTEM_H
#define VX_PLATFORM_TOOL_FILE_SYSTEM_H

#include <cstdint>
#include <string>
#include <vector>

namespace platform_tool {

enum class FileKind {
  kRegular,
  kFolder,
  kFifo,    // a FIFO, or a named pipe on Windows
  kSocket,  // host only
  kDevice,  // a character or block device, or a Windows console or NUL
  kOther,
};

// Which file a path names: device and inode on the host, volume serial number
// and file index on Windows. Two paths with the same identity are one file.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity& other) const { return device == other.device && index == other.index; }
  bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

struct FileFacts {
  FileKind kind = FileKind::kOther;
  uint64_t size = 0;
  int64_t modified = 0;  // the modification time, seconds since 1970
  // The status-change time on the host, the creation time on Windows (an
  // archive entry's second time), seconds since 1970.
  int64_t changedOrCreated = 0;
  // The modification time as finely as the system keeps it (nanoseconds since
  // 1970): a file rewritten within the same second still differs.
  int64_t modifiedStamp = 0;
  FileIdentity identity;
};

enum class FileProblem {
  kNotFound,  // the path, or a link on it, leads nowhere
  kLinkLoop,  // too many links in a row: they lead back to themselves
  kOther,
};

struct FileFailure {
  FileProblem problem = FileProblem::kOther;
  std::string reason;  // the system's words, without the path
};

// The facts of what path names, following links. False with *failure filled.
bool GetFileFacts(const std::string& path, FileFacts* facts, FileFailure* failure);

// Whether path names (through links) a file of that kind; false when it names nothing.
inline bool IsOfKind(const std::string& path, FileKind kind) {
  FileFacts facts;
  FileFailure failure;
  return GetFileFacts(path, &facts, &failure) && facts.kind == kind;
}

// Whether path is itself a link: a symbolic link on the host; on Windows a
// symbolic link or a junction (a name-surrogate reparse point).
bool IsSymbolicLink(const std::string& path);

// What the link at path points to, as written in it; false when path is no
// link or it cannot be read.
bool ReadLinkTarget(const std::string& path, std::string* target);

// The names in the folder at path, without "." and "..", in the system's
// order. False with the reason in *reason.
bool ListFolder(const std::string& path, std::vector<std::string>* names, std::string* reason);

// Makes the folder at path and every missing parent; true when it is a folder
// afterwards (made now or before).
bool MakeFolders(const std::string& path);

// Removes the file at path (not a folder); false when it cannot.
bool RemoveFile(const std::string& path);

// path made absolute against the current folder (not resolving links); empty
// when it cannot be.
std::string AbsolutePath(const std::string& path);

// The current folder, empty when it cannot be found; and changing it.
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

// Whether path starts at a root ("/x"; on Windows "C:\x", "\\server\x" or "\x").
bool IsAbsolutePath(const std::string& path);

// The folder holding path: "." when path names no folder, the root kept ("/"
// for "/x"). On Windows '\' separates as '/' does.
std::string ParentFolder(const std::string& path);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_FILE_SYSTEM_H
