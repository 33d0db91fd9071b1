// The splash window: the dialog, its placement and painting, and the picture's resource lookup,
// palette and drawing.
#include "launcher/gui/splash.h"

#include <cstdlib>
#include <cstring>

#include "launcher/launcher_flags.h"
#include "launcher/messages.h"
#include "resources/resource_ids.h"

namespace {

// The picture and its palette, made when the dialog initialises and given up when the splash
// ends. The picture is a writable copy of the bitmap resource (resources are mapped read-only).
std::unique_ptr<DibPicture> splashPicture;
HPALETTE splashPalette = nullptr;

HINSTANCE Instance() { return static_cast<HINSTANCE>(moduleInstance); }

// The end of the splash, by the cancel command or by losing the focus once the next stage runs.
// The handles are cleared so that a second ending (both can come) deletes nothing twice.
void EndSplash(HWND window) {
  EndDialog(window, 1);
  DeleteObject(splashPalette);
  splashPalette = nullptr;
  splashPicture.reset();
  splashOpen = 0;
}

void InitSplash(HWND window) {
  splashPicture = LoadDibResource(MAKEINTRESOURCEA(IDB_SPLASH), Instance());
  if (splashPicture) splashPalette = CreateDibPalette(splashPicture.get());

  RECT client;
  RECT outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const int outerWidth = outer.right - outer.left;
  const int outerHeight = outer.bottom - outer.top;
  // Without a picture the window keeps the template's size and is placed all the same.
  int newWidth = outerWidth;
  int newHeight = outerHeight;
  if (splashPicture) {
    const DibHeader header = splashPicture->Header();
    newWidth = header.biWidth + (outerWidth - (client.right - client.left));
    newHeight = header.biHeight + (outerHeight - (client.bottom - client.top));
  }
  // From the template's size, before the resize; ShowSplash centres it right afterwards.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - outerHeight) * 3 / 5;
  SetWindowPos(window, HWND_NOTOPMOST, x, y, newWidth, newHeight, SWP_SHOWWINDOW);
  // SetClassLongPtrA is SetClassLongA with GCL_HICON on 32-bit Windows.
  SetClassLongPtrA(window, GCLP_HICON,
                   reinterpret_cast<LONG_PTR>(LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_ZELVORA))));
}

void PaintSplash(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SelectPalette(dc, splashPalette, FALSE);
  RealizePalette(dc);
  DrawDib(splashPicture.get(), dc, 0, 0);
  EndPaint(window, &paint);
  waitingForPaint = 0;
}

}  // namespace

HWND ShowSplash() {
  HWND window = CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_SPLASH), nullptr,
                                   SplashDlgProc, 0);
  if (!window) {
    waitingForPaint = 0;
    splashOpen = 0;
    return nullptr;
  }
  RECT outer;
  GetWindowRect(window, &outer);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2;
  SetWindowPos(window, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  return window;
}

INT_PTR CALLBACK SplashDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitSplash(window);
      return 1;
    case WM_PAINT:
      PaintSplash(window);
      return 1;
    case WM_CLOSE:
      if (MessageBoxA(nullptr, GetMessageText(kMsgConfirmClose), GetMessageText(kMsgCaption),
                      MB_YESNO | MB_TOPMOST) == IDYES) {
        std::exit(0);
      }
      return 1;
    case WM_KILLFOCUS:
      if (stageLaunched) EndSplash(window);
      return 1;
    case WM_TIMER:
      // Whatever the timer, it is stopped as timer 1 and turned into the cancel command.
      KillTimer(window, 1);
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
      return 1;
    case WM_COMMAND:
      // The whole wParam: a cancel with a notification code in its upper half does nothing.
      if (wParam == IDCANCEL) EndSplash(window);
      return 1;
    default:
      return 0;
  }
}

std::unique_ptr<DibPicture> LoadDibResource(LPCSTR name, HINSTANCE instance) {
  HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(instance, found);
  if (!loaded) return nullptr;
  const void* bytes = LockResource(loaded);
  if (!bytes) return nullptr;
  return CompleteDib(bytes, SizeofResource(instance, found));
}

HPALETTE CreateDibPalette(const DibPicture* picture) {
  if (!picture) return nullptr;
  size_t count = DibPaletteEntryCount(*picture);
  const bool fromTable = count != 0;
  if (!fromTable) count = 256;
  const size_t bytes = sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY);
  LOGPALETTE* palette = static_cast<LOGPALETTE*>(LocalAlloc(LMEM_FIXED, bytes));
  if (!palette) return nullptr;
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(count);
  static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "same entry layout");
  PALETTEENTRY* entries = palette->palPalEntry;
  if (fromTable) {
    FillDibPaletteEntries(*picture, reinterpret_cast<PaletteEntry*>(entries));
  } else {
    // The stock palette has fewer than 256 entries; the ones it leaves are black.
    std::memset(entries, 0, count * sizeof(PALETTEENTRY));
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 256, entries);
  }
  HPALETTE handle = CreatePalette(palette);
  LocalFree(palette);
  return handle;
}

int DrawDib(const DibPicture* picture, HDC dc, int x, int y) {
  if (!picture) return 0;
  const DibHeader header = picture->Header();
  // The picture's block holds the whole uncompressed picture, so every row can be drawn. The
  // height goes in as a magnitude; a top-down picture's sign in the header keeps its order.
  const int width = header.biWidth;
  const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  return StretchDIBits(dc, x, y, width, height, 0, 0, width, height, picture->Pixels(),
                       reinterpret_cast<const BITMAPINFO*>(picture->Data()), DIB_RGB_COLORS,
                       SRCCOPY);
}
