//===- setup_diff.h - What differs between two archives or setups ---------===//
// Archives are matched by name (archive_source.h names a bare archive by its
// file name); two bare archives are matched whatever their names. Entries are
// matched by their stored name; an entry has changed when its size, its
// inflated content or its modification time (time1) differs, so that the same
// files packed at another level are the same. Outside the archives the other
// resources are compared byte for byte and the version read from the version
// resource. The two files are borrowed.
#ifndef VX_TOOLS_ZVPACK_SETUP_DIFF_H
#define VX_TOOLS_ZVPACK_SETUP_DIFF_H

#include "tools/zvpack/archive_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

struct EntryChange {
  std::string name;  // UTF-8
  uint32_t oldSize = 0, newSize = 0;
  uint32_t oldTime = 0, newTime = 0;
  bool content = false;  // the inflated bytes differ
};

struct ArchiveDiff {
  enum class Status { kSame, kChanged, kAdded, kRemoved };
  std::string name;
  Status status = Status::kSame;
  std::vector<EntryInfo> added, removed;  // names UTF-8; data pointers unused
  std::vector<EntryChange> changed;
};

// A resource outside the archives that is only in one file or differs.
struct ResourceChange {
  std::string key;     // "TYPE NAME LANGUAGE", numbers as #N
  std::string change;  // "added", "removed", "changed"
};

struct SetupDiff {
  std::string oldKind, newKind;        // FileKindName
  std::string oldVersion, newVersion;  // "A.B.C.D", empty without a version resource
  std::vector<ArchiveDiff> archives;   // every archive of either file
  std::vector<ResourceChange> resources;
  bool Same() const;
};

// Compares two opened files. False, with one line in *error, when an archive
// fails its directory check or an entry's stream does not inflate.
bool DiffArchiveFiles(const ArchiveFile& before, const ArchiveFile& after, SetupDiff* diff, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_SETUP_DIFF_H
