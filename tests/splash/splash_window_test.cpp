// The splash's window code in one process under Wine: the resources as linked, the placement,
// the dialog procedure's rows, the palette and the drawing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "launcher/gui/message_pump.h"
#include "launcher/gui/splash.h"
#include "launcher/launcher_flags.h"
#include "resources/resource_ids.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

const unsigned char* Resource(LPCSTR name, LPCSTR type, DWORD* size) {
  HRSRC found = FindResourceA(Self(), name, type);
  if (!found) return nullptr;
  *size = SizeofResource(Self(), found);
  return static_cast<const unsigned char*>(LockResource(LoadResource(Self(), found)));
}

uint32_t U32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24));
}
uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

TEST(SplashResourcesTest, DialogTemplateIsABorderedPopup) {
  DWORD size = 0;
  const unsigned char* t = Resource(MAKEINTRESOURCEA(IDD_SPLASH), MAKEINTRESOURCEA(5), &size);
  ASSERT_NE(t, nullptr);
  // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy.
  EXPECT_EQ(U32(t), 0x80800040u);
  EXPECT_EQ(U32(t + 4), 0u);
  EXPECT_EQ(U16(t + 8), 0);
  EXPECT_EQ(U16(t + 10), 0);
  EXPECT_EQ(U16(t + 12), 0);
  EXPECT_EQ(U16(t + 14), 323);
  EXPECT_EQ(U16(t + 16), 213);
  // No menu, the default class, an empty title, then 8 points of "MS Sans Serif".
  EXPECT_EQ(U16(t + 18), 0);
  EXPECT_EQ(U16(t + 20), 0);
  EXPECT_EQ(U16(t + 22), 0);
  EXPECT_EQ(U16(t + 24), 8);
  const wchar_t* face = reinterpret_cast<const wchar_t*>(t + 26);
  EXPECT_EQ(std::wstring(face), L"MS Sans Serif");
}

TEST(SplashResourcesTest, PictureIsThePackedDibOfTheSplash) {
  DWORD size = 0;
  const unsigned char* p = Resource(MAKEINTRESOURCEA(IDB_SPLASH), MAKEINTRESOURCEA(2), &size);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(size, 169066u);
  const uint32_t want[] = {40, 480, 350};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(U32(p + 4 * i), want[i]);
  EXPECT_EQ(U16(p + 12), 1);
  EXPECT_EQ(U16(p + 14), 8);
  EXPECT_EQ(U32(p + 16), 0u);      // BI_RGB
  EXPECT_EQ(U32(p + 20), 0u);      // biSizeImage
  EXPECT_EQ(U32(p + 24), 11808u);  // pixels per metre
  EXPECT_EQ(U32(p + 28), 11808u);
  EXPECT_EQ(U32(p + 32), 0u);  // biClrUsed
  EXPECT_EQ(U32(p + 36), 0u);
}

TEST(SplashResourcesTest, IconGroupHoldsFiveImagesInOrder) {
  DWORD size = 0;
  const unsigned char* g = Resource(MAKEINTRESOURCEA(IDI_ZELVORA), MAKEINTRESOURCEA(14), &size);
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(U16(g + 4), 5);
  const struct {
    int side, colours, bits;
  } want[] = {{32, 16, 4}, {48, 0, 8}, {16, 16, 4}, {32, 0, 8}, {16, 0, 8}};
  for (int i = 0; i < 5; ++i) {
    const unsigned char* e = g + 6 + 14 * i;  // GRPICONDIRENTRY
    EXPECT_EQ(e[0], want[i].side) << i;
    EXPECT_EQ(e[1], want[i].side) << i;
    EXPECT_EQ(e[2], want[i].colours) << i;
    EXPECT_EQ(U16(e + 6), want[i].bits) << i;
  }
  EXPECT_NE(LoadIconA(Self(), MAKEINTRESOURCEA(IDI_ZELVORA)), nullptr);
}

class SplashWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    moduleInstance = Self();
    waitingForPaint = 1;
    splashOpen = 1;
    stageLaunched = false;
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
    for (int i = 0; i < 100; ++i) PumpOneMessage();
  }
  HWND Show() {
    window_ = ShowSplash();
    return window_;
  }
  void PumpUntilPainted() {
    const DWORD start = GetTickCount();
    while (waitingForPaint && GetTickCount() - start < 10000) PumpOneMessage();
  }
  HWND window_ = nullptr;
};

TEST_F(SplashWindowTest, StandsCentredAtThePictureSize) {
  HWND window = Show();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT outer;
  RECT client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 480);
  EXPECT_EQ(client.bottom, 350);
  const int w = outer.right - outer.left;
  const int h = outer.bottom - outer.top;
  EXPECT_EQ(w, 482);
  EXPECT_EQ(h, 352);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
  PumpUntilPainted();
  EXPECT_EQ(waitingForPaint, 0);
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST_F(SplashWindowTest, WithoutThePictureKeepsTheTemplateSizeAndPlacesIt) {
  DWORD size = 0;
  const void* dialog = Resource(MAKEINTRESOURCEA(IDD_SPLASH), MAKEINTRESOURCEA(5), &size);
  ASSERT_NE(dialog, nullptr);
  const DLGTEMPLATE* layout = static_cast<const DLGTEMPLATE*>(dialog);
  HWND plain = CreateDialogIndirectParamA(Self(), layout, nullptr, PlainDialog, 0);
  ASSERT_NE(plain, nullptr);
  RECT templateRect;
  GetWindowRect(plain, &templateRect);
  DestroyWindow(plain);
  const int w = templateRect.right - templateRect.left;
  const int h = templateRect.bottom - templateRect.top;

  // The splash's resources are looked up in a module that has no bitmap 134.
  moduleInstance = GetModuleHandleA("kernel32.dll");
  EXPECT_EQ(LoadDibResource(MAKEINTRESOURCEA(IDB_SPLASH), GetModuleHandleA("kernel32.dll")),
            nullptr);
  window_ = CreateDialogIndirectParamA(Self(), layout, nullptr, SplashDlgProc, 0);
  ASSERT_NE(window_, nullptr);
  EXPECT_TRUE(IsWindowVisible(window_));
  RECT outer;
  GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.right - outer.left, w);
  EXPECT_EQ(outer.bottom - outer.top, h);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - h) * 3 / 5);
  // Painting without a picture draws nothing and still counts as the first paint.
  PumpUntilPainted();
  EXPECT_EQ(waitingForPaint, 0);
  EXPECT_EQ(CreateDibPalette(nullptr), nullptr);
  EXPECT_EQ(DrawDib(nullptr, nullptr, 0, 0), 0);
}

TEST_F(SplashWindowTest, KillFocusBeforeTheStageLeavesItOpen) {
  HWND window = Show();
  ASSERT_NE(window, nullptr);
  PumpUntilPainted();
  EXPECT_EQ(SplashDlgProc(window, WM_KILLFOCUS, 0, 0), 1);
  EXPECT_EQ(splashOpen, 1);
  EXPECT_TRUE(IsWindowVisible(window));
  stageLaunched = true;
  EXPECT_EQ(SplashDlgProc(window, WM_KILLFOCUS, 0, 0), 1);
  EXPECT_EQ(splashOpen, 0);
  // A second ending deletes nothing twice.
  EXPECT_EQ(SplashDlgProc(window, WM_COMMAND, IDCANCEL, 0), 1);
  EXPECT_EQ(splashOpen, 0);
}

TEST_F(SplashWindowTest, CancelCountsOnlyWithoutNotificationCode) {
  HWND window = Show();
  ASSERT_NE(window, nullptr);
  PumpUntilPainted();
  EXPECT_EQ(SplashDlgProc(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0), 1);
  EXPECT_EQ(SplashDlgProc(window, WM_COMMAND, IDOK, 0), 1);
  EXPECT_EQ(splashOpen, 1);
  EXPECT_EQ(SplashDlgProc(window, WM_COMMAND, IDCANCEL, 0), 1);
  EXPECT_EQ(splashOpen, 0);
}

TEST_F(SplashWindowTest, TimerTurnsIntoTheCancelCommand) {
  HWND window = Show();
  ASSERT_NE(window, nullptr);
  PumpUntilPainted();
  EXPECT_EQ(SplashDlgProc(window, WM_TIMER, 7, 0), 1);
  const DWORD start = GetTickCount();
  while (splashOpen && GetTickCount() - start < 5000) PumpOneMessage();
  EXPECT_EQ(splashOpen, 0);
}

TEST_F(SplashWindowTest, OtherMessagesAreNotHandled) {
  HWND window = Show();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SplashDlgProc(window, WM_MOUSEMOVE, 0, 0), 0);
  EXPECT_EQ(SplashDlgProc(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
}

TEST(SplashPaletteTest, SplashPaletteTakesTheColourTable) {
  std::unique_ptr<DibPicture> picture = LoadDibResource(MAKEINTRESOURCEA(IDB_SPLASH), Self());
  ASSERT_TRUE(picture);
  HPALETTE palette = CreateDibPalette(picture.get());
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
  const unsigned char* table = picture->Data() + 40;
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(entries[i].peRed, table[4 * i + 2]);
    EXPECT_EQ(entries[i].peGreen, table[4 * i + 1]);
    EXPECT_EQ(entries[i].peBlue, table[4 * i]);
    EXPECT_EQ(entries[i].peFlags, 0);
  }
  DeleteObject(palette);
}

TEST(SplashPaletteTest, TrueColourPictureTakesTheStockPalette) {
  std::vector<unsigned char> dib(40 + 12, 0);
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = 2;
  header.biHeight = 2;
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::memcpy(dib.data(), &header, sizeof header);
  std::unique_ptr<DibPicture> picture = CompleteDib(dib.data(), dib.size());
  ASSERT_TRUE(picture);
  HPALETTE palette = CreateDibPalette(picture.get());
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 256u);
  DeleteObject(palette);
}

TEST(SplashDrawTest, DrawsEveryLineIntoAMemoryBitmap) {
  std::unique_ptr<DibPicture> picture = LoadDibResource(MAKEINTRESOURCEA(IDB_SPLASH), Self());
  ASSERT_TRUE(picture);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 480, 350);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(DrawDib(picture.get(), dc, 0, 0), 350);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

}  // namespace
