// The captured text in a temporary file that the system removes once it is
// closed (msvcrt has no stream over memory, and its tmpfile writes to the
// drive's root, which a user may not).
#include "platform/tool/text_capture.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

namespace platform_tool {
namespace {

// An unused name in the user's temporary folder, empty when there is none.
std::wstring TemporaryName() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  wchar_t name[MAX_PATH];
  if (GetTempFileNameW(folder, L"zvt", 0, name) == 0) return std::wstring();
  return name;
}

std::FILE* OpenDeletedOnClose() {
  const std::wstring name = TemporaryName();
  if (name.empty()) return nullptr;
  // GetTempFileName made the file; this handle takes it over and removes it on close.
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DeleteFileW(name.c_str());
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "w+b");
  if (file == nullptr) _close(descriptor);
  return file;
}

}  // namespace

struct TextCapture::State {
  std::FILE* file = nullptr;
};

TextCapture::TextCapture() : state_(new State) { state_->file = OpenDeletedOnClose(); }

TextCapture::~TextCapture() {
  if (state_->file != nullptr) std::fclose(state_->file);
}

std::FILE* TextCapture::File() const { return state_->file; }

std::string TextCapture::Finish() {
  std::string text;
  std::FILE* file = state_->file;
  if (file == nullptr) return text;
  state_->file = nullptr;
  std::rewind(file);
  char buffer[16384];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) != 0) text.append(buffer, got);
  std::fclose(file);
  return text;
}

}  // namespace platform_tool
