// Reading a setup payload folder or manifest, and the checks made before packing.
#include "tools/zvpack/setup_payload.h"

#include "archive/archive_format.h"
#include "platform/tool/file_system.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/pe_resources.h"
#include "tools/zvpack/problem_list.h"
#include "tools/zvpack/stored_name.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace zvpack {

const char* const kSetupArchiveNames[8] = {"BASE",     "SETUPBASE", "SETUPPICTLITE", "PICTLITE",
                                           "ZVIMAGE",  "APPBASE",   "PICTUNINST",    "ZVVERSION"};

namespace {

// Deflate at its worst stores blocks of at most 65535 bytes behind 5 bytes of
// header; a zlib stream adds 6 bytes, a directory record 25 and the name.
constexpr uint64_t kStoredBlock = 65535;
constexpr uint64_t kRecordBytes = archive_format::kRecordFixedSize + 6;
constexpr uint64_t kArchiveHeaderBytes = archive_format::kHeaderSize + archive_format::kCountSize;

bool IsDirectory(const std::string& path) { return platform_tool::IsOfKind(path, platform_tool::FileKind::kFolder); }
bool IsFile(const std::string& path) { return platform_tool::IsOfKind(path, platform_tool::FileKind::kRegular); }

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
  std::string text;
  if (ReadFileBytes(manifest, &text) == FileRead::kNotOpened) {
    *error = manifest + ": cannot be read";
    return false;
  }
  std::istringstream in(text);
  sources->assign(8, "");
  std::string base = platform_tool::ParentFolder(manifest), line;
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
    (*sources)[index] = platform_tool::IsAbsolutePath(path) ? path : base + "/" + path;
  }
  for (int i = 0; i < 8; ++i) {
    if ((*sources)[i].empty()) {
      *error = manifest + ": no line for " + kSetupArchiveNames[i];
      return false;
    }
  }
  return true;
}

// Everything at the payload folder's top level that is not one of the eight
// archives: a stray file would otherwise go unnoticed, unpacked by nobody.
void CheckTopLevel(const std::string& folder, ProblemList* problems) {
  std::vector<std::string> names;
  std::string reason;
  if (!platform_tool::ListFolder(folder, &names, &reason)) {
    problems->Add(folder + ": " + reason);
    return;
  }
  std::vector<std::string> strays;
  for (const std::string& name : names) {
    const bool list = name.size() > 5 && name.compare(name.size() - 5, 5, ".list") == 0;
    const std::string archive = list ? name.substr(0, name.size() - 5) : name;
    const std::string path = folder + "/" + name;
    if (ArchiveIndex(archive) < 0 || (list ? !IsFile(path) : !IsDirectory(path))) strays.push_back(path);
  }
  std::sort(strays.begin(), strays.end());
  for (const std::string& stray : strays) {
    problems->Add(stray + ": not one of the eight archives (a folder NAME or a list file NAME.list, NAME one of "
                  "BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION); move it out of "
                  "the payload, or name what to pack in a manifest");
  }
}

bool ReadFolder(const std::string& folder, std::vector<std::string>* sources, std::string* error) {
  sources->clear();
  ProblemList problems;
  CheckTopLevel(folder, &problems);
  for (const char* name : kSetupArchiveNames) {
    std::string list = folder + "/" + name + ".list", dir = folder + "/" + name;
    if (IsFile(list)) {
      sources->push_back(list);
    } else if (IsDirectory(dir)) {
      sources->push_back(dir);
    } else {
      problems.Add(folder + ": neither a folder " + name + " nor a list file " + name + ".list");
    }
  }
  if (problems.Empty()) return true;
  *error = problems.Text();
  return false;
}

// The files of one archive from its folder or list file.
bool GatherArchive(SetupArchive* archive, const PathFilter& exclude, std::vector<std::string>* warnings,
                   std::string* error) {
  if (IsDirectory(archive->source)) {
    std::vector<std::string> empty;
    CollectOptions collect{exclude.Empty() ? nullptr : &exclude, &empty};
    if (!CollectDirectory(archive->source, &archive->inputs, error, collect)) return false;
    for (const std::string& folder : empty) {
      warnings->push_back(folder + ": an empty folder, not stored (archives hold files, not folders)");
    }
  } else if (IsFile(archive->source)) {
    if (!ReadListFile(archive->source, platform_tool::ParentFolder(archive->source), &archive->inputs, error,
                      exclude.Empty() ? nullptr : &exclude)) {
      return false;
    }
  } else {
    *error = archive->source + ": neither a folder nor a list file";
    return false;
  }
  return CheckInputNames(archive->inputs, error) && CheckInputFiles(archive->source, archive->inputs, error);
}

// Whether the file at path is a Windows program for machine (0: any).
bool CheckProgram(const PackInput& input, uint16_t machine, std::string* problem) {
  std::vector<unsigned char> bytes;
  if (!ReadWholeFile(input.hostPath, &bytes)) {
    *problem = input.hostPath + ": cannot be read";
    return false;
  }
  PeLayout layout;
  std::string why;
  if (!ReadPeLayout(bytes.data(), bytes.size(), &layout, &why) ||
      (layout.characteristics & kPeExecutableImage) == 0 || (layout.characteristics & kPeDll) != 0) {
    *problem = input.hostPath + ": " + DisplayName(input.name) +
               " is not a Windows program" + (why.empty() ? "" : " (" + why + ")") + ", and the next stage needs it";
    return false;
  }
  if (machine != 0 && layout.machine != machine) {
    *problem = input.hostPath + ": " + DisplayName(input.name) + " is a program for " + MachineName(layout.machine) +
               ", the stub for " + MachineName(machine) + "; both must come from the same build";
    return false;
  }
  return true;
}

void CheckNextStage(const SetupArchive& setupBase, uint16_t machine, ProblemList* problems) {
  for (const char* needed : {"Vistart.exe", "pidwait.exe"}) {
    auto found = std::find_if(setupBase.inputs.begin(), setupBase.inputs.end(),
                              [&](const PackInput& in) { return Upper(in.name) == Upper(needed); });
    std::string problem;
    if (found == setupBase.inputs.end()) {
      problems->Add(setupBase.source + ": archive SETUPBASE has no " + needed +
                    " at its top level, which the next stage needs");
    } else if (!CheckProgram(*found, machine, &problem)) {
      problems->Add(problem);
    }
  }
}

// A path in two of the archives the launcher unpacks into one work folder.
void CheckUnpackedOverlap(const std::vector<SetupArchive>& archives, ProblemList* problems) {
  std::map<std::string, std::pair<const SetupArchive*, const PackInput*>> seen;
  for (int i = 0; i < kUnpackedArchiveCount && i < static_cast<int>(archives.size()); ++i) {
    for (const PackInput& input : archives[i].inputs) {
      auto placed = seen.emplace(CaseFoldedName(input.name), std::make_pair(&archives[i], &input));
      if (placed.second) continue;
      const auto& first = placed.first->second;
      problems->Add(input.hostPath + ": \"" + DisplayName(input.name) + "\" is in archive " + archives[i].name +
                    " and in archive " + first.first->name + " (" + first.second->hostPath +
                    "); both unpack into the one work folder, where the later would overwrite the earlier");
    }
  }
}

}  // namespace

std::string MachineName(uint16_t machine) {
  if (machine == kPeMachineI386) return "i386 (PE32)";
  if (machine == kPeMachineAmd64) return "x86-64 (PE32+)";
  char text[16];
  std::snprintf(text, sizeof text, "machine 0x%04X", machine);
  return text;
}

bool ReadSetupPayload(const std::string& payload, const PathFilter& exclude, std::vector<SetupArchive>* archives,
                      std::vector<std::string>* warnings, std::string* error) {
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
  ProblemList problems;
  for (int i = 0; i < 8; ++i) {
    SetupArchive archive{kSetupArchiveNames[i], sources[i], {}};
    std::string problem;
    if (!GatherArchive(&archive, exclude, warnings, &problem)) problems.Add(problem);
    archives->push_back(std::move(archive));
  }
  if (problems.Empty()) return true;
  *error = problems.Text();
  return false;
}

bool CheckSetupArchives(const std::vector<SetupArchive>& archives, uint16_t machine, std::string* error) {
  ProblemList problems;
  for (const SetupArchive& archive : archives) {
    if (archive.name == "SETUPBASE") CheckNextStage(archive, machine, &problems);
  }
  CheckUnpackedOverlap(archives, &problems);
  if (problems.Empty()) return true;
  *error = problems.Text();
  return false;
}

bool WorstCasePayloadBytes(const std::vector<SetupArchive>& archives, uint64_t* bytes, uint64_t* inputBytes,
                           std::string* error) {
  *bytes = 0;
  *inputBytes = 0;
  for (const SetupArchive& archive : archives) {
    *bytes += kArchiveHeaderBytes;
    for (const PackInput& in : archive.inputs) {
      platform_tool::FileFacts facts;
      platform_tool::FileFailure failure;
      if (!platform_tool::GetFileFacts(in.hostPath, &facts, &failure)) {
        *error = in.hostPath + ": " + failure.reason;
        return false;
      }
      const uint64_t size = facts.size;
      *inputBytes += size;
      *bytes += size + (size / kStoredBlock + 1) * 5 + kRecordBytes + in.name.size();
    }
  }
  return true;
}

}  // namespace zvpack
