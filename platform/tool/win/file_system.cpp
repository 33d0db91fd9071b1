// File facts, links, folder listings and the current folder over the wide Win32 calls.
#include "platform/tool/file_system.h"

#include "platform/tool/win/handle_facts.h"
#include "platform/tool/win/system_path.h"
#include "platform/tool/win/system_reason.h"
#include "platform/tool/win/wide_text.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

namespace platform_tool {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The head of REPARSE_DATA_BUFFER for symbolic links and junctions, which the
// SDK keeps in the driver headers; a symbolic link's has Flags (4 bytes) more.
struct LinkReparseHead {
  DWORD tag;
  WORD dataLength;
  WORD reserved;
  WORD substituteOffset;
  WORD substituteLength;
  WORD printOffset;
  WORD printLength;
};
constexpr size_t kMaxReparseData = 16 * 1024;

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The name at byte offset/length in the path buffer that starts at pathStart of data.
bool NameInReparseData(const std::vector<unsigned char>& data, size_t got, size_t pathStart, WORD offset,
                       WORD length, std::wstring* name) {
  if (pathStart + offset + length > got) return false;
  name->assign(reinterpret_cast<const wchar_t*>(data.data() + pathStart + offset), length / sizeof(wchar_t));
  return true;
}

}  // namespace

bool GetFileFacts(const std::string& path, FileFacts* facts, FileFailure* failure) {
  // Backup semantics open folders too; without FILE_FLAG_OPEN_REPARSE_POINT links are followed.
  HANDLE handle = CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *failure = FailureOf(GetLastError());
    return false;
  }
  const bool ok = FactsOfHandle(handle, facts);
  if (!ok) *failure = FailureOf(GetLastError());
  CloseHandle(handle);
  return ok;
}

bool IsSymbolicLink(const std::string& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(SystemPath(path).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(data.dwReserved0);
}

bool ReadLinkTarget(const std::string& path, std::string* target) {
  HANDLE handle = CreateFileW(SystemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  std::vector<unsigned char> data(kMaxReparseData);
  DWORD got = 0;
  const bool read = DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                                    static_cast<DWORD>(data.size()), &got, nullptr) != 0;
  CloseHandle(handle);
  if (!read || got < sizeof(LinkReparseHead)) return false;
  LinkReparseHead head;
  std::memcpy(&head, data.data(), sizeof head);
  size_t pathStart = sizeof head;
  if (head.tag == IO_REPARSE_TAG_SYMLINK) {
    pathStart += sizeof(ULONG);
  } else if (head.tag != IO_REPARSE_TAG_MOUNT_POINT) {
    return false;
  }
  std::wstring name;
  if (!NameInReparseData(data, got, pathStart, head.printOffset, head.printLength, &name)) return false;
  // A link made without a print name holds the system's form only ("\??\C:\x").
  if (name.empty() && !NameInReparseData(data, got, pathStart, head.substituteOffset, head.substituteLength, &name)) {
    return false;
  }
  if (name.compare(0, 4, L"\\??\\") == 0) name.erase(0, 4);
  *target = Utf8FromWide(name);
  return true;
}

bool ListFolder(const std::string& path, std::vector<std::string>* names, std::string* reason) {
  std::wstring pattern = SystemPath(path);
  if (pattern.empty()) {
    // FindFirstFileW would take "*" alone for the current folder's names.
    *reason = ReasonOf(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (!pattern.empty() && !IsSeparator(pattern.back())) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW item;
  HANDLE find = FindFirstFileW(pattern.c_str(), &item);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A drive's root may hold nothing at all, not even "." and "..".
    if (error == ERROR_FILE_NOT_FOUND && IsFolder(SystemPath(path))) return true;
    *reason = ReasonOf(error);
    return false;
  }
  do {
    const std::wstring name = item.cFileName;
    if (name != L"." && name != L"..") names->push_back(Utf8FromWide(name));
  } while (FindNextFileW(find, &item));
  const DWORD error = GetLastError();
  FindClose(find);
  if (error == ERROR_NO_MORE_FILES) return true;
  *reason = ReasonOf(error);
  return false;
}

bool MakeFolders(const std::string& path) {
  const std::wstring full = SystemPath(path);
  // Each parent in turn, outermost first, from below the drive or share on.
  for (size_t at = SystemPathRootLength(full) + 1; at <= full.size(); ++at) {
    if (at < full.size() && !IsSeparator(full[at])) continue;
    const std::wstring prefix = full.substr(0, at);
    if (!IsFolder(prefix)) CreateDirectoryW(prefix.c_str(), nullptr);
  }
  return IsFolder(full);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(SystemPath(path).c_str()) != 0; }

std::string AbsolutePath(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  const DWORD room = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (room == 0) return std::string();
  std::wstring absolute(room, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), room, &absolute[0], nullptr);
  if (length == 0 || length >= room) return std::string();
  absolute.resize(length);
  return Utf8FromWide(absolute);
}

std::string CurrentFolder() {
  const DWORD room = GetCurrentDirectoryW(0, nullptr);
  if (room == 0) return std::string();
  std::wstring current(room, L'\0');
  const DWORD length = GetCurrentDirectoryW(room, &current[0]);
  if (length == 0 || length >= room) return std::string();
  current.resize(length);
  return Utf8FromWide(current);
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryW(WideFromUtf8(path).c_str()) != 0; }

bool IsAbsolutePath(const std::string& path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive && path[1] == ':' && (path[2] == '/' || path[2] == '\\');
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  const bool keepsRoot = slash == 0 || (slash == 2 && path[1] == ':');
  return path.substr(0, keepsRoot ? slash + 1 : slash);
}

}  // namespace platform_tool
