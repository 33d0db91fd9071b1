// Opening a FILE argument: a bare archive, or the ZVArc resources of a launcher.
#include "tools/zvpack/archive_source.h"

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/pe_resources.h"
#include "tools/zvpack/stored_name.h"

#include <algorithm>

namespace zvpack {
namespace {

std::string BareArchiveName(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  name = name.substr(0, name.find('.'));
  std::transform(name.begin(), name.end(), name.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
  return name;
}

// A file whose header gives no directory inside it is no archive; anything
// else that fails later is a damaged one.
bool LooksLikeArchive(const std::vector<unsigned char>& bytes) {
  if (bytes.size() < archive_format::kHeaderSize + archive_format::kCountSize) return false;
  const uint64_t directory = archive_format::ReadU32(bytes.data());
  return directory >= archive_format::kHeaderSize && directory + archive_format::kCountSize <= bytes.size();
}

bool FindResourceArchives(ArchiveFile* file, std::string* error) {
  std::vector<PeResource> resources;
  PeLayout layout;
  if (!ReadPeLayout(file->bytes.data(), file->bytes.size(), &layout, error) ||
      !FindPeResources(file->bytes.data(), file->bytes.size(), "ZVArc", &resources, error)) {
    *error = file->path + ": " + *error;
    return false;
  }
  file->kind = layout.pe32Plus ? FileKind::kPe32Plus : FileKind::kPe32;
  if (resources.empty()) {
    *error = file->path + ": no resource of type ZVArc";
    return false;
  }
  for (const PeResource& r : resources) {
    // The name becomes a folder below DIR for extract: keep it there.
    if (r.name.empty() || r.name == "." || r.name == ".." || r.name.find_first_of("/\\") != std::string::npos) {
      *error = file->path + ": resource name \"" + r.name + "\" cannot name a folder";
      return false;
    }
    file->archives.push_back(FoundArchive{file->path + ":" + r.name + " (language " + std::to_string(r.language) + ")",
                                          r.name, r.language, file->bytes.data() + r.fileOffset, r.size});
  }
  return true;
}

}  // namespace

const char* FileKindName(FileKind kind) {
  switch (kind) {
    case FileKind::kArchive: return "archive";
    case FileKind::kPe32: return "PE32";
    case FileKind::kPe32Plus: return "PE32+";
  }
  return "?";
}

bool OpenArchiveFile(const std::string& path, ArchiveFile* file, std::string* error) {
  file->path = path;
  file->archives.clear();
  if (!ReadWholeFile(path, &file->bytes)) {
    *error = path + ": cannot be read";
    return false;
  }
  if (LooksLikePe(file->bytes.data(), file->bytes.size())) return FindResourceArchives(file, error);
  if (!LooksLikeArchive(file->bytes)) {
    *error = path + ": neither a ZVArc archive nor a launcher (PE32 or PE32+): its " +
             std::to_string(file->bytes.size()) + " bytes begin with no directory offset inside them";
    return false;
  }
  file->kind = FileKind::kArchive;
  file->archives.push_back(
      FoundArchive{path, BareArchiveName(path), 0, file->bytes.data(), file->bytes.size()});
  return true;
}

bool ReadEntries(const FoundArchive& archive, std::vector<EntryInfo>* entries, std::string* error) {
  // The reader wants a work folder to join names to; nothing is written there.
  ArchiveReader reader(archive.base, ArchiveSize32(archive.size), VxString("Z:\\"));
  ArchiveProblem problem;
  if (!CheckArchiveDirectory(&reader, archive.size, &problem)) {
    *error = problem.text;
    return false;
  }
  entries->clear();
  ArchiveEntry e;
  while (reader.Next(&e)) {
    entries->push_back(EntryInfo{DisplayName(std::string(e.name, e.nameLength)), e.dataOffset, e.compressedSize,
                                 e.uncompressedSize, e.time1, e.time2, e.time3, e.data});
  }
  return true;
}

}  // namespace zvpack
