// UTF-8 paths made absolute and put in the "\\?\" form of the wide file calls.
#include "platform/tool/win/system_path.h"

#include "platform/tool/file_system.h"
#include "platform/tool/win/wide_text.h"

#include <algorithm>
#include <vector>

namespace platform_tool {
namespace {

const wchar_t kLocal[] = L"\\\\?\\";
const wchar_t kUnc[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* start) { return text.rfind(start, 0) == 0; }

bool HasDrive(const std::wstring& path) { return path.size() >= 2 && path[1] == L':'; }

// path below root, its "." and ".." resolved (".." stops at the root).
std::wstring Resolved(const std::wstring& root, const std::wstring& path) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring part = path.substr(start, end - start);
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::wstring resolved = root;
  for (size_t i = 0; i < parts.size(); ++i) resolved += (i == 0 ? L"" : L"\\") + parts[i];
  return resolved;
}

}  // namespace

std::wstring SystemPath(const std::string& utf8Path) {
  std::wstring path = WideFromUtf8(utf8Path);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  if (path.empty() || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;
  if (!StartsWith(path, L"\\\\") && !(HasDrive(path) && path.size() >= 3 && path[2] == L'\\')) {
    if (HasDrive(path)) return path;
    std::wstring current = WideFromUtf8(CurrentFolder());
    if (current.empty()) return path;
    // "\x" is below the current drive's root, "x" below the current folder.
    path = path[0] == L'\\' ? current.substr(0, HasDrive(current) ? 2 : current.size()) + path : current + L"\\" + path;
  }
  if (StartsWith(path, L"\\\\")) return Resolved(kUnc, path.substr(2));
  return Resolved(kLocal + path.substr(0, 3), path.substr(3));
}

size_t SystemPathRootLength(const std::wstring& systemPath) {
  if (!StartsWith(systemPath, kUnc)) return StartsWith(systemPath, kLocal) ? 7 : 0;
  // Past the server and the share.
  size_t at = systemPath.find(L'\\', 8);
  at = at == std::wstring::npos ? std::wstring::npos : systemPath.find(L'\\', at + 1);
  return at == std::wstring::npos ? systemPath.size() : at + 1;
}

}  // namespace platform_tool
