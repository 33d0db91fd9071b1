// Gathering the files of an archive: a folder walk or a list file, the names checked and warned about.
#include "tools/zvpack/pack.h"

#include "archive/archive_format.h"
#include "archive/entry_name.h"
#include "platform/tool/file_system.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/problem_list.h"
#include "tools/zvpack/stored_name.h"
#include "tools/zvpack/tree_walk.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace zvpack {
namespace {

bool StartsWithComment(const std::string& line) { return !line.empty() && line[0] == '#'; }

// The stored name of a host name, or a line naming `where` and the problem.
bool StoreName(const std::string& hostName, const std::string& where, std::string* stored, std::string* error) {
  std::string problem;
  if (ToStoredName(hostName, stored, &problem)) return true;
  *error = where + ": the name cannot be stored in an archive: " + problem;
  return false;
}

// A list file's relative host path, below the list's folder.
std::string Below(const std::string& folder, const std::string& relative) {
  return folder.empty() || folder.back() == '/' ? folder + relative : folder + "/" + relative;
}

}  // namespace

std::vector<std::string> NameWarnings(const std::string& label, const std::vector<PackInput>& inputs) {
  std::vector<std::string> warnings;
  const PackInput* firstNonAscii = nullptr;
  for (const PackInput& input : inputs) {
    if (firstNonAscii == nullptr && HasNonAsciiByte(input.name)) firstNonAscii = &input;
    const size_t longest = LongestEntryPath(input.name.size());
    if (longest > kMaxPathLength) {
      warnings.push_back(input.hostPath + ": under a temporary folder of " + std::to_string(kTempFolderRoom) +
                         " characters the entry's path (" + kLongestWorkFolder + "...) would be " +
                         std::to_string(longest) + " characters, past " + std::to_string(kMaxPathLength) +
                         ", and the launcher refuses it there");
    }
  }
  if (firstNonAscii != nullptr) {
    warnings.push_back(label + ": names beyond ASCII (such as \"" + DisplayName(firstNonAscii->name) +
                       "\") unpack as meant only where the ANSI code page is 1252 (Western European Windows)");
  }
  return warnings;
}

bool CollectDirectory(const std::string& dir, std::vector<PackInput>* inputs, std::string* error,
                      const CollectOptions& collect) {
  std::vector<FoundFile> files;
  if (!FindRegularFiles(dir, &files, error, collect.exclude, collect.emptyFolders)) return false;
  std::vector<PackInput> found;
  ProblemList problems;
  for (const FoundFile& file : files) {
    std::string problem;
    PackInput input;
    if (file.relative.find('\\') != std::string::npos) {
      // The backslash would turn into a folder separator inside the archive.
      problems.Add(file.hostPath + ": a backslash in a host name cannot be stored");
    } else if (!StoreName(file.relative, file.hostPath, &input.name, &problem)) {
      problems.Add(problem);
    } else {
      input.hostPath = file.hostPath;
      found.push_back(std::move(input));
    }
  }
  if (!problems.Empty()) {
    *error = problems.Text();
    return false;
  }
  std::sort(found.begin(), found.end(), [](const PackInput& a, const PackInput& b) { return a.name < b.name; });
  *inputs = std::move(found);
  return true;
}

bool ReadListFile(const std::string& listPath, const std::string& baseDir, std::vector<PackInput>* inputs,
                  std::string* error, const PathFilter* exclude) {
  std::string text;
  const FileRead read = ReadFileBytes(listPath, &text);
  if (read == FileRead::kNotOpened) {
    *error = listPath + ": cannot be opened";
    return false;
  }
  std::istringstream in(text);
  std::vector<PackInput> found;
  ProblemList problems;
  std::string line;
  unsigned lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || StartsWithComment(line)) continue;
    const std::string where = listPath + ":" + std::to_string(lineNumber);
    const size_t tab = line.find('\t');
    const std::string name = line.substr(0, tab);
    const std::string hostPath = tab == std::string::npos ? line : line.substr(tab + 1);
    if (hostPath.empty()) {
      problems.Add(where + ": no host path after the tab");
      continue;
    }
    if (exclude != nullptr && exclude->Excludes(name)) continue;
    PackInput input;
    std::string problem;
    if (!StoreName(name, where, &input.name, &problem)) {
      problems.Add(problem);
      continue;
    }
    input.hostPath = platform_tool::IsAbsolutePath(hostPath) ? hostPath : Below(baseDir, hostPath);
    found.push_back(std::move(input));
  }
  if (read == FileRead::kReadFailed) problems.Add(listPath + ": read failed");
  if (!problems.Empty()) {
    *error = problems.Text();
    return false;
  }
  *inputs = std::move(found);
  return true;
}

bool CheckInputNames(const std::vector<PackInput>& inputs, std::string* error) {
  std::set<std::string> folded;
  ProblemList problems;
  for (const PackInput& input : inputs) {
    const std::string& name = input.name;
    if (name.size() > archive_format::kMaxNameLength) {
      problems.Add(input.hostPath + ": entry name is " + std::to_string(name.size()) + " bytes, at most " +
                   std::to_string(archive_format::kMaxNameLength) + " fit");
    } else if (!IsPlainEntryName(name.data(), name.size())) {
      problems.Add(input.hostPath + ": entry name \"" + DisplayName(name) +
                   "\" is not a plain relative path that the launcher unpacks");
    } else if (!folded.insert(CaseFoldedName(name)).second) {
      problems.Add(input.hostPath + ": entry name \"" + DisplayName(name) + "\" appears twice (case is ignored)");
    }
  }
  if (problems.Empty()) return true;
  *error = problems.Text();
  return false;
}

}  // namespace zvpack
