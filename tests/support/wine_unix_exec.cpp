//===- wine_unix_exec.cpp - A Linux program started from a Windows command line under Wine -===//
// usage: wine_unix_exec PROGRAM [ARG...]
//
// The Windows tools' tests run a command through cmd /c (zvpack.exe's signing command) and
// want a Linux program there, such as osslsigncode. Wine's own start of a Linux program
// (CreateProcess of its Z:\ path) returns at once and loses its exit code, so this starts it
// through ntdll's __wine_unix_spawnvp and waits for it. Every argument that is a Windows path
// (one with a drive, C:\... or C:/..., or any with a backslash: \tmp\x, dist\x.exe,
// /tmp/dist\x.exe, taken from the current folder and drive) is handed over as its Unix path;
// the others unchanged, in UTF-8. PROGRAM is looked up in the Linux PATH; it inherits the
// standard handles.
// Exit code: the program's; 126 outside Wine; 127 when the program could not be started.
#include "platform/tool/win/wide_text.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// kernel32: the Unix path of a Windows one, on the process heap; null when it has none.
using UnixFileNameCall = char*(__cdecl*)(const wchar_t* windowsPath);
// ntdll: starts argv[0] with the process's Unix descriptors; with wait set, its exit status,
// or an NTSTATUS (above 255) when it could not be started.
using UnixSpawnCall = LONG(__cdecl*)(char* const argv[], int wait);

constexpr int kNotUnderWine = 126;
constexpr int kNotStarted = 127;

bool IsWindowsPath(const std::wstring& argument) {
  const bool drive = argument.size() >= 3 && std::iswalpha(argument[0]) && argument[1] == L':' &&
                     (argument[2] == L'\\' || argument[2] == L'/');
  return drive || argument.find(L'\\') != std::wstring::npos;
}

std::string UnixArgument(const std::wstring& argument, UnixFileNameCall unixFileName) {
  if (!IsWindowsPath(argument)) {
    return platform_tool::Utf8FromWide(argument);
  }
  char* unixPath = unixFileName(argument.c_str());
  if (unixPath == nullptr) {
    return platform_tool::Utf8FromWide(argument);
  }
  std::string converted(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  return converted;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs("usage: wine_unix_exec PROGRAM [ARG...]\n", stderr);
    return kNotStarted;
  }
  auto unixFileName = reinterpret_cast<UnixFileNameCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  auto unixSpawn = reinterpret_cast<UnixSpawnCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
  if (unixFileName == nullptr || unixSpawn == nullptr) {
    std::fputs("wine_unix_exec: not running under Wine\n", stderr);
    return kNotUnderWine;
  }
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.push_back(UnixArgument(argv[i], unixFileName));
  }
  std::vector<char*> unixArgv;
  for (std::string& argument : arguments) {
    unixArgv.push_back(&argument[0]);
  }
  unixArgv.push_back(nullptr);
  std::fflush(nullptr);
  const LONG status = unixSpawn(unixArgv.data(), 1);
  if (status < 0 || status > 255) {
    std::fprintf(stderr, "wine_unix_exec: %s: cannot be started (status 0x%08lx)\n", arguments[0].c_str(),
                 static_cast<unsigned long>(status));
    return kNotStarted;
  }
  return static_cast<int>(status);
}
