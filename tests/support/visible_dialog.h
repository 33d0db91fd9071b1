//===- visible_dialog.h - Finding a program's dialog from outside (tests only) ===//
// Windows only, for the test and benchmark programs that watch the launcher through the
// window system.
#ifndef VX_TESTS_SUPPORT_VISIBLE_DIALOG_H
#define VX_TESTS_SUPPORT_VISIBLE_DIALOG_H

#include <windows.h>

#include <cstring>

namespace test_support {

// The first visible top-level window of class "#32770" (a dialog or message box) of the
// process processId other than exclude; null when there is none.
inline HWND FindVisibleDialog(DWORD processId, HWND exclude = nullptr) {
  struct Search {
    DWORD processId;
    HWND exclude;
    HWND found;
  } search{processId, exclude, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        Search* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[16] = "";
        if (owner != s->processId || window == s->exclude || !IsWindowVisible(window)) return TRUE;
        if (GetClassNameA(window, className, sizeof className) == 0 ||
            std::strcmp(className, "#32770") != 0) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace test_support

#endif  // VX_TESTS_SUPPORT_VISIBLE_DIALOG_H
