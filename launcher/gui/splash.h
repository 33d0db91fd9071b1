//===- splash.h - The splash window and the window half of its picture ---===//
// Windows only. The dialog procedure runs on the launcher's one GUI thread, inside the main
// sequence's calls into the window system; it shares the flags of launcher_flags.h.
#ifndef VX_LAUNCHER_GUI_SPLASH_H
#define VX_LAUNCHER_GUI_SPLASH_H

#include <windows.h>

#include <memory>

#include "launcher/dib.h"

// Creates the modeless splash from dialog template 103 of the module instance (moduleInstance
// of launcher_flags.h), sized to the picture and centred on the screen, and returns its handle.
// Null when the dialog cannot be created; waitingForPaint and splashOpen are then 0. The caller
// destroys the window with DestroyWindow.
HWND ShowSplash();

// The splash's dialog procedure; nonzero when a message was handled. A close request asks the
// user (messages 1 and 0) and, on Yes, ends the process through exit(0).
INT_PTR CALLBACK SplashDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The bitmap resource `name` of `instance`, copied, completed and unpacked (CompleteDib); the
// caller owns the copy. Null when the resource is missing or no usable DIB.
std::unique_ptr<DibPicture> LoadDibResource(LPCSTR name, HINSTANCE instance);

// A new logical palette for the picture: its colour table, or for a picture without one the
// entries of the stock default palette (the rest of the 256 black). Null for a null picture or
// when there is no memory. The caller deletes it.
HPALETTE CreateDibPalette(const DibPicture* picture);

// Draws the picture at its natural size at x, y; returns StretchDIBits' count of scan lines,
// 0 for a null picture.
int DrawDib(const DibPicture* picture, HDC dc, int x, int y);

#endif  // VX_LAUNCHER_GUI_SPLASH_H
