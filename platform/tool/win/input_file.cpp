// Reading a file through a wide-path handle and _wfopen.
#include "platform/tool/input_file.h"

#include "platform/tool/win/handle_facts.h"
#include "platform/tool/win/system_path.h"
#include "platform/tool/win/system_reason.h"
#include "platform/tool/win/wide_text.h"

#include <windows.h>

namespace platform_tool {
namespace {

HANDLE HandleOf(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

InputFile::~InputFile() {
  if (handle_ != -1) CloseHandle(HandleOf(handle_));
}

bool InputFile::Open(const std::string& path, std::string* reason) {
  // Sharing everything, as a POSIX open does: a writer or a rename meanwhile
  // is noticed by the size and time checks of the caller rather than refused.
  HANDLE handle = CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *reason = ReasonOf(GetLastError());
    return false;
  }
  handle_ = reinterpret_cast<intptr_t>(handle);
  return true;
}

bool InputFile::Facts(FileFacts* facts) const { return FactsOfHandle(HandleOf(handle_), facts); }

int64_t InputFile::Read(void* buffer, size_t size, std::string* reason) {
  // ReadFile takes 32-bit counts; the caller asks again for the rest.
  const DWORD ask = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD got = 0;
  if (ReadFile(HandleOf(handle_), buffer, ask, &got, nullptr)) return got;
  const DWORD error = GetLastError();
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
  *reason = ReasonOf(error);
  return -1;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(SystemPath(path).c_str(), WideFromUtf8(mode).c_str());
}

}  // namespace platform_tool
