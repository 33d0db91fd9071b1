// Reading a setup payload folder or manifest, and the checks made before packing.
#include "tools/zvpack/setup_payload.h"

#include "archive/archive_format.h"

#include <sys/stat.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace zvpack {

const char* const kSetupArchiveNames[8] = {"BASE",     "SETUPBASE", "SETUPPICTLITE", "PICTLITE",
                                           "ZVIMAGE",  "APPBASE",   "PICTUNINST",    "ZVVERSION"};

namespace {

// Deflate at its worst stores blocks of at most 65535 bytes behind 5 bytes of
// header; a zlib stream adds 6 bytes, a directory record 25 and the name.
constexpr uint64_t kStoredBlock = 65535;
constexpr uint64_t kRecordBytes = archive_format::kRecordFixedSize + 6;
constexpr uint64_t kArchiveHeaderBytes = archive_format::kHeaderSize + archive_format::kCountSize;

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ParentOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

int ArchiveIndex(const std::string& name) {
  for (int i = 0; i < 8; ++i) {
    if (name == kSetupArchiveNames[i]) return i;
  }
  return -1;
}

std::string Trim(const std::string& line) {
  const char* blanks = " \t\r\n";
  size_t first = line.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(blanks) - first + 1);
}

// The folder or list file of each archive, from a manifest.
bool ReadManifest(const std::string& manifest, std::vector<std::string>* sources, std::string* error) {
  std::ifstream in(manifest);
  if (!in) {
    *error = manifest + ": cannot be read";
    return false;
  }
  sources->assign(8, "");
  std::string base = ParentOf(manifest), line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    std::string where = manifest + ":" + std::to_string(number) + ": ";
    size_t gap = line.find_first_of(" \t");
    if (gap == std::string::npos) {
      *error = where + "\"" + line + "\" is not \"NAME PATH\"";
      return false;
    }
    std::string name = Upper(line.substr(0, gap));
    std::string path = Trim(line.substr(gap));
    int index = ArchiveIndex(name);
    if (index < 0) {
      *error = where + name + " is not one of the setup's archives";
      return false;
    }
    if (!(*sources)[index].empty()) {
      *error = where + name + " is named twice";
      return false;
    }
    (*sources)[index] = path[0] == '/' ? path : base + "/" + path;
  }
  for (int i = 0; i < 8; ++i) {
    if ((*sources)[i].empty()) {
      *error = manifest + ": no line for " + kSetupArchiveNames[i];
      return false;
    }
  }
  return true;
}

bool ReadFolder(const std::string& folder, std::vector<std::string>* sources, std::string* error) {
  sources->clear();
  for (const char* name : kSetupArchiveNames) {
    std::string list = folder + "/" + name + ".list", dir = folder + "/" + name;
    if (IsFile(list)) {
      sources->push_back(list);
    } else if (IsDirectory(dir)) {
      sources->push_back(dir);
    } else {
      *error = folder + ": neither a folder " + name + " nor a list file " + name + ".list";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadSetupPayload(const std::string& payload, std::vector<SetupArchive>* archives, std::string* error) {
  std::vector<std::string> sources;
  if (IsDirectory(payload)) {
    if (!ReadFolder(payload, &sources, error)) return false;
  } else if (IsFile(payload)) {
    if (!ReadManifest(payload, &sources, error)) return false;
  } else {
    *error = payload + ": no such folder or manifest";
    return false;
  }
  archives->clear();
  for (int i = 0; i < 8; ++i) {
    SetupArchive archive{kSetupArchiveNames[i], sources[i], {}};
    bool ok;
    if (IsDirectory(archive.source)) {
      ok = CollectDirectory(archive.source, &archive.inputs, error);
    } else if (IsFile(archive.source)) {
      ok = ReadListFile(archive.source, ParentOf(archive.source), &archive.inputs, error);
    } else {
      *error = "archive " + archive.name + ": " + archive.source + " is neither a folder nor a list file";
      return false;
    }
    if (!ok || !CheckInputNames(archive.inputs, error)) {
      *error = "archive " + archive.name + ": " + *error;
      return false;
    }
    archives->push_back(std::move(archive));
  }
  return true;
}

bool CheckSetupArchives(const std::vector<SetupArchive>& archives, std::string* error) {
  for (const SetupArchive& archive : archives) {
    if (archive.name != "SETUPBASE") continue;
    for (const char* needed : {"VISTART.EXE", "PIDWAIT.EXE"}) {
      bool found = std::any_of(archive.inputs.begin(), archive.inputs.end(),
                               [&](const PackInput& in) { return Upper(in.name) == needed; });
      if (!found) {
        *error = archive.source + ": archive SETUPBASE has no " +
                 (std::strcmp(needed, "VISTART.EXE") == 0 ? "Vistart.exe" : "pidwait.exe") +
                 " at its top level, which the next stage needs";
        return false;
      }
    }
  }
  return true;
}

bool WorstCasePayloadBytes(const std::vector<SetupArchive>& archives, uint64_t* bytes, std::string* error) {
  *bytes = 0;
  for (const SetupArchive& archive : archives) {
    *bytes += kArchiveHeaderBytes;
    for (const PackInput& in : archive.inputs) {
      struct stat st;
      if (stat(in.hostPath.c_str(), &st) != 0) {
        *error = in.hostPath + ": " + std::strerror(errno);
        return false;
      }
      uint64_t size = static_cast<uint64_t>(st.st_size);
      *bytes += size + (size / kStoredBlock + 1) * 5 + kRecordBytes + in.name.size();
    }
  }
  return true;
}

}  // namespace zvpack
