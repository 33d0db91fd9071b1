//===- visible_dialog.h - Finding a program's dialog from outside (tests only) ===//
// Windows only, for the test and benchmark programs that watch the launcher through the
// window system.
#ifndef VX_TESTS_SUPPORT_VISIBLE_DIALOG_H
#define VX_TESTS_SUPPORT_VISIBLE_DIALOG_H

#include <windows.h>

#include <cstring>

namespace test_support {

struct DialogSearch {
  DWORD processId;
  HWND exclude;
  HWND found;
};

// EnumWindows callback of FindVisibleDialog (a plain function: 32-bit callbacks are stdcall,
// which a lambda does not convert to).
inline BOOL CALLBACK MatchVisibleDialog(HWND window, LPARAM param) {
  DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || window == search->exclude || !IsWindowVisible(window)) {
    return TRUE;
  }
  char className[16] = "";
  if (GetClassNameA(window, className, sizeof className) == 0 ||
      std::strcmp(className, "#32770") != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// The first visible top-level window of class "#32770" (a dialog or message box) of the
// process processId other than exclude; null when there is none.
inline HWND FindVisibleDialog(DWORD processId, HWND exclude = nullptr) {
  DialogSearch search{processId, exclude, nullptr};
  EnumWindows(MatchVisibleDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace test_support

#endif  // VX_TESTS_SUPPORT_VISIBLE_DIALOG_H
