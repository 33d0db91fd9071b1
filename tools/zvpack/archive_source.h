//===- archive_source.h - The archives a FILE argument holds --------------===//
// list, verify, extract and diff take a FILE that is either one bare archive
// or a launcher (PE32 or PE32+) whose "ZVArc" resources are the archives.
#ifndef VX_TOOLS_ZVPACK_ARCHIVE_SOURCE_H
#define VX_TOOLS_ZVPACK_ARCHIVE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

struct FoundArchive {
  std::string label;     // how messages name it: "FILE" or "FILE:NAME (language L)"
  std::string name;      // the resource name; for a bare archive its file name without extension, upper case
  uint16_t language = 0;
  const unsigned char* base = nullptr;  // into the ArchiveFile's bytes
  size_t size = 0;
};

// What kind of file it is, for messages and diff.
enum class FileKind { kArchive, kPe32, kPe32Plus };

struct ArchiveFile {
  std::string path;
  FileKind kind = FileKind::kArchive;
  std::vector<unsigned char> bytes;
  std::vector<FoundArchive> archives;  // pointers into bytes: do not copy the object
};

// Reads path and finds its archives. False, with one line in *error naming the
// file: unreadable; a PE image that is damaged or carries no ZVArc resource or
// one whose name cannot name a folder; a file too short, or whose first four
// bytes point outside it, which is then no archive at all.
bool OpenArchiveFile(const std::string& path, ArchiveFile* file, std::string* error);

// "archive", "PE32", "PE32+".
const char* FileKindName(FileKind kind);

// One directory record as list, verify and diff show it.
struct EntryInfo {
  std::string name;  // UTF-8
  uint32_t offset = 0, packed = 0, size = 0, time1 = 0, time2 = 0, time3 = 0;
  const unsigned char* data = nullptr;
};

// Every record of an archive that passes the directory check, in order; false
// with the reason in *error otherwise.
bool ReadEntries(const FoundArchive& archive, std::vector<EntryInfo>* entries, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_ARCHIVE_SOURCE_H
