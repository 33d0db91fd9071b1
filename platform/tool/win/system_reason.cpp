// Win32 error codes worded as the host's strerror() words them.
#include "platform/tool/win/system_reason.h"

#include "platform/tool/win/wide_text.h"

#include <cerrno>
#include <cstring>

namespace platform_tool {
namespace {

// The errno of the Win32 errors a file call commonly gives, or 0.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return 0;
  }
}

}  // namespace

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length > 0 ? std::wstring(text, length) : std::wstring();
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.')) wide.pop_back();
  return wide.empty() ? "error " + std::to_string(error) : Utf8FromWide(wide);
}

std::string ReasonOf(DWORD error) {
  // The C library has no ELOOP to word it; these are glibc's words.
  if (error == ERROR_CANT_RESOLVE_FILENAME) return "Too many levels of symbolic links";
  const int number = ErrnoOf(error);
  return number != 0 ? std::strerror(number) : SystemText(error);
}

FileFailure FailureOf(DWORD error) {
  FileFailure failure;
  if (ErrnoOf(error) == ENOENT) failure.problem = FileProblem::kNotFound;
  if (error == ERROR_CANT_RESOLVE_FILENAME) failure.problem = FileProblem::kLinkLoop;
  failure.reason = ReasonOf(error);
  return failure;
}

}  // namespace platform_tool
