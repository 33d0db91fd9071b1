// Comparing the archives, entries and resources of two files.
#include "tools/zvpack/setup_diff.h"

#include "tools/zvpack/pe_resource_writer.h"
#include "tools/zvpack/pe_resources.h"
#include "tools/zvpack/version_resource.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace zvpack {
namespace {

constexpr uint16_t kVersionType = 16;  // RT_VERSION

bool Inflate(const std::string& label, const EntryInfo& entry, std::string* out, std::string* error) {
  out->assign(entry.size, '\0');
  uLongf length = entry.size;
  const int result = uncompress(reinterpret_cast<Bytef*>(&(*out)[0]), &length, entry.data, entry.packed);
  if (result == Z_OK && length == entry.size) return true;
  *error = label + ": entry " + entry.name + ": the stream does not inflate to its size";
  return false;
}

bool SameContent(const FoundArchive& before, const EntryInfo& a, const FoundArchive& after, const EntryInfo& b,
                 bool* same, std::string* error) {
  if (a.size != b.size) {
    *same = false;
    return true;
  }
  // The same stream is the same content; another stream may still inflate to it.
  if (a.packed == b.packed && std::memcmp(a.data, b.data, a.packed) == 0) {
    *same = true;
    return true;
  }
  std::string left, right;
  if (!Inflate(before.label, a, &left, error) || !Inflate(after.label, b, &right, error)) return false;
  *same = left == right;
  return true;
}

bool DiffEntries(const FoundArchive& before, const FoundArchive& after, ArchiveDiff* diff, std::string* error) {
  std::vector<EntryInfo> old, now;
  if (!ReadEntries(before, &old, error)) {
    *error = before.label + ": " + *error;
    return false;
  }
  if (!ReadEntries(after, &now, error)) {
    *error = after.label + ": " + *error;
    return false;
  }
  std::map<std::string, const EntryInfo*> oldByName;
  for (const EntryInfo& e : old) oldByName[e.name] = &e;
  for (const EntryInfo& e : now) {
    auto match = oldByName.find(e.name);
    if (match == oldByName.end()) {
      diff->added.push_back(e);
      continue;
    }
    const EntryInfo& o = *match->second;
    oldByName.erase(match);
    bool same = true;
    if (!SameContent(before, o, after, e, &same, error)) return false;
    if (same && o.time1 == e.time1) continue;
    diff->changed.push_back(EntryChange{e.name, o.size, e.size, o.time1, e.time1, !same});
  }
  for (const EntryInfo& e : old) {
    if (oldByName.count(e.name) != 0) diff->removed.push_back(e);
  }
  if (!diff->added.empty() || !diff->removed.empty() || !diff->changed.empty()) {
    diff->status = ArchiveDiff::Status::kChanged;
  }
  return true;
}

bool DiffArchives(const ArchiveFile& before, const ArchiveFile& after, SetupDiff* diff, std::string* error) {
  const bool bothBare = before.kind == FileKind::kArchive && after.kind == FileKind::kArchive;
  std::map<std::string, const FoundArchive*> old;
  for (const FoundArchive& a : before.archives) old[bothBare ? "" : a.name] = &a;
  for (const FoundArchive& a : after.archives) {
    ArchiveDiff archive;
    archive.name = a.name;
    auto match = old.find(bothBare ? "" : a.name);
    if (match == old.end()) {
      archive.status = ArchiveDiff::Status::kAdded;
    } else {
      if (!DiffEntries(*match->second, a, &archive, error)) return false;
      old.erase(match);
    }
    diff->archives.push_back(std::move(archive));
  }
  for (const auto& left : old) {
    ArchiveDiff archive;
    archive.name = left.second->name;
    archive.status = ArchiveDiff::Status::kRemoved;
    diff->archives.push_back(std::move(archive));
  }
  return true;
}

std::string ResourceKey(const PeResourceData& r) {
  return r.type.Text() + " " + r.name.Text() + " " + std::to_string(r.language);
}

// The resources other than the archives, by key; the version on the way.
bool OtherResources(const ArchiveFile& file, std::map<std::string, std::string>* found, std::string* version,
                    std::string* error) {
  if (file.kind == FileKind::kArchive) return true;
  std::vector<PeResourceData> all;
  if (!ReadPeResourceData(file.bytes, &all, error)) {
    *error = file.path + ": " + *error;
    return false;
  }
  for (const PeResourceData& r : all) {
    if (r.type.IsNamed("ZVArc")) continue;
    (*found)[ResourceKey(r)] = r.bytes;
    FileVersion v;
    if (version->empty() && r.type == PeResourceKey::Id(kVersionType) && GetFileVersion(r.bytes, &v)) {
      *version = FileVersionText(v);
    }
  }
  return true;
}

bool DiffResources(const ArchiveFile& before, const ArchiveFile& after, SetupDiff* diff, std::string* error) {
  std::map<std::string, std::string> old, now;
  if (!OtherResources(before, &old, &diff->oldVersion, error) || !OtherResources(after, &now, &diff->newVersion, error)) {
    return false;
  }
  for (const auto& r : now) {
    auto match = old.find(r.first);
    if (match == old.end()) {
      diff->resources.push_back(ResourceChange{r.first, "added"});
    } else if (match->second != r.second) {
      diff->resources.push_back(ResourceChange{r.first, "changed"});
    }
  }
  for (const auto& r : old) {
    if (now.count(r.first) == 0) diff->resources.push_back(ResourceChange{r.first, "removed"});
  }
  return true;
}

}  // namespace

bool SetupDiff::Same() const {
  if (oldKind != newKind || oldVersion != newVersion || !resources.empty()) return false;
  return std::all_of(archives.begin(), archives.end(),
                     [](const ArchiveDiff& a) { return a.status == ArchiveDiff::Status::kSame; });
}

bool DiffArchiveFiles(const ArchiveFile& before, const ArchiveFile& after, SetupDiff* diff, std::string* error) {
  *diff = SetupDiff();
  diff->oldKind = FileKindName(before.kind);
  diff->newKind = FileKindName(after.kind);
  return DiffArchives(before, after, diff, error) && DiffResources(before, after, diff, error);
}

}  // namespace zvpack
