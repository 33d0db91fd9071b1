// The command-line words on Windows, from the wide command line in UTF-8.
#include "platform/tool/arguments.h"

#include "platform/tool/win/wide_text.h"

#include <windows.h>
#include <shellapi.h>

namespace platform_tool {

ProgramWords::ProgramWords(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 0; i < count; ++i) words_.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    for (std::string& word : words_) pointers_.push_back(&word[0]);
  } else {
    pointers_.assign(argv, argv + argc);
  }
  pointers_.push_back(nullptr);
}

}  // namespace platform_tool
