// The program's own three windows, made in this process as the start-up makes them (with the
// program's resources and manifest), told that their density changed as the system tells a
// window moved to another monitor: each is rescaled from its current density into the suggested
// rectangle, by three halves and back by two thirds, its fonts made anew; a density below 30
// changes nothing. Wine reports one density for every monitor and never sends WM_DPICHANGED
// itself, so the message is sent here.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win32/program_windows.h"
#include "tests/win32/window_geometry.h"
#include "win32/scaling/display_density.h"
#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/theme/theme_hook.h"
#include "win32/theme/theme_request_win.h"
#include "win32/theme/win_theme.h"
#include "win32/windows/mainUnit.h"
#include "win32/windows/setupUnit.h"
#include "win32/windows/uAboutForm.h"

namespace {

using window_geometry::ClientSize;
using window_geometry::FontHeight;
using window_geometry::RectIn;
using window_geometry::SameRect;

// Tells the window its density changed, with the rectangle the system would suggest: the
// window's own rectangle grown about its top left corner by new / old.
RECT ChangeDensity(HWND window, UINT density) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int old = static_cast<int>(win32scaling::CurrentDensity(window));
  const int n = static_cast<int>(density);
  RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, n, old),
                 outer.top + MulDiv(outer.bottom - outer.top, n, old)};
  SendMessageW(window, win32scaling::kDensityChangedMessage, MAKEWPARAM(density, density),
               reinterpret_cast<LPARAM>(&suggested));
  return suggested;
}

class WindowsDensityTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { program_windows::Make(); }
  static void TearDownTestSuite() { program_windows::Destroy(); }
  void SetUp() override {
    // Laid out at 96 here: the test's prefix has the system's default density.
    ASSERT_EQ(win32scaling::SystemDensity(), 96u);
    for (HWND window : {MainForm->hwnd(), SetupForm->hwnd(), AboutForm->hwnd()})
      ASSERT_EQ(win32scaling::CurrentDensity(window), 96u);
  }
};

TEST_F(WindowsDensityTest, SettingsWindowRescalesByThreeHalvesAndBack) {
  TSetupForm& f = *SetupForm;
  EXPECT_EQ(ClientSize(f.hwnd()).cx, 343);
  EXPECT_EQ(ClientSize(f.hwnd()).cy, 129);
  EXPECT_TRUE(SameRect(RectIn(f.btn1), {112, 86, 217, 121}));
  const RECT labels[] = {RectIn(f.operatorLabel), RectIn(f.serverLabel)};
  const RECT edit = RectIn(f.serverEdit);
  const int font = FontHeight(f.btn1);
  EXPECT_EQ(font, -16);

  const RECT suggested = ChangeDensity(f.hwnd(), 144);
  EXPECT_EQ(win32scaling::CurrentDensity(f.hwnd()), 144u);
  RECT outer;
  GetWindowRect(f.hwnd(), &outer);
  EXPECT_TRUE(SameRect(outer, suggested));
  EXPECT_TRUE(SameRect(RectIn(f.btn1), {168, 129, 326, 182}));  // by its edges
  EXPECT_TRUE(SameRect(RectIn(f.btn2), {345, 132, 503, 182}));
  // The labels still end on one right edge, six pixels (scaled: nine) before the fields.
  EXPECT_EQ(RectIn(f.operatorLabel).right, RectIn(f.serverLabel).right);
  EXPECT_EQ(RectIn(f.serverEdit).left - RectIn(f.serverLabel).right, 9);
  EXPECT_EQ(RectIn(f.serverEdit).left, 240);
  EXPECT_EQ(RectIn(f.serverEdit).right, 503);
  // The field's height comes from its new font, not from multiplying its old height.
  EXPECT_GT(RectIn(f.serverEdit).bottom - RectIn(f.serverEdit).top, edit.bottom - edit.top);
  EXPECT_EQ(FontHeight(f.btn1), -24);
  EXPECT_EQ(FontHeight(f.serverEdit), -24);
  const auto font_144 = reinterpret_cast<HFONT>(SendMessageW(f.btn1, WM_GETFONT, 0, 0));

  // A density below 30 is none.
  const RECT before = RectIn(f.btn1);
  RECT nowhere{0, 0, 10, 10};
  SendMessageW(f.hwnd(), win32scaling::kDensityChangedMessage, MAKEWPARAM(12, 12),
               reinterpret_cast<LPARAM>(&nowhere));
  EXPECT_TRUE(SameRect(RectIn(f.btn1), before));
  EXPECT_EQ(win32scaling::CurrentDensity(f.hwnd()), 144u);

  const RECT back = ChangeDensity(f.hwnd(), 96);
  GetWindowRect(f.hwnd(), &outer);
  EXPECT_TRUE(SameRect(outer, back));
  EXPECT_TRUE(SameRect(RectIn(f.btn1), {112, 86, 217, 121}));
  EXPECT_TRUE(SameRect(RectIn(f.operatorLabel), labels[0]));
  EXPECT_TRUE(SameRect(RectIn(f.serverLabel), labels[1]));
  EXPECT_TRUE(SameRect(RectIn(f.serverEdit), edit));
  EXPECT_EQ(FontHeight(f.btn1), font);
  EXPECT_EQ(GetObjectType(font_144), 0u);  // freed once replaced
}

TEST_F(WindowsDensityTest, OperatorWindowLaysOutAtItsNewDensity) {
  TMainForm& f = *MainForm;
  ChangeDensity(f.hwnd(), 192);
  const SIZE client = ClientSize(f.hwnd());
  // The two right-hand controls keep their scaled widths at full height; the list takes the
  // rest; the small buttons are 50 by 50.
  EXPECT_TRUE(SameRect(RectIn(f.grp1), {client.cx - 56, 0, client.cx, client.cy}));
  EXPECT_TRUE(SameRect(RectIn(f.nextButton), {client.cx - 56 - 240, 0, client.cx - 56, client.cy}));
  EXPECT_EQ(RectIn(f.queueList).right, client.cx - 56 - 240);
  const RECT settings = RectIn(f.btn2);
  EXPECT_EQ(settings.right - settings.left, 50);
  EXPECT_EQ(settings.top, 2);
  EXPECT_TRUE(SameRect(RectIn(f.mmo1), {0, 174, 346, 274}));
  EXPECT_EQ(FontHeight(f.nextButton), -32);
  EXPECT_EQ(FontHeight(f.queueList), -122);
  ChangeDensity(f.hwnd(), 96);
  EXPECT_TRUE(SameRect(RectIn(f.mmo1), {0, 87, 173, 137}));
  EXPECT_EQ(RectIn(f.nextButton).right - RectIn(f.nextButton).left, 120);
  EXPECT_EQ(FontHeight(f.queueList), -61);
}

TEST_F(WindowsDensityTest, AboutLogoBoxGrowsAndItsPictureKeepsItsPixels) {
  TAboutForm& f = *AboutForm;
  const RECT suggested = ChangeDensity(f.hwnd(), 144);
  RECT outer;
  GetWindowRect(f.hwnd(), &outer);
  EXPECT_TRUE(SameRect(outer, suggested));
  const RECT box = RectIn(f.imgLogo);
  EXPECT_EQ(box.right - box.left, 225);
  EXPECT_EQ(box.bottom - box.top, 225);
  // Drawn into a bitmap: the middle is the picture, the grown border around it the window's
  // background, as the picture is drawn at its own 150 by 150 pixels.
  ShowWindow(f.hwnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(f.hwnd());
  HDC dc = GetDC(f.imgLogo);
  const COLORREF background = win32theme::ToColorRef(win32theme::ActiveTheme()->colours().window);
  EXPECT_EQ(GetPixel(dc, 30, 112), background);   // left of the picture, which starts at 37
  EXPECT_NE(GetPixel(dc, 112, 112), background);  // the picture's middle
  ReleaseDC(f.imgLogo, dc);
  ShowWindow(f.hwnd(), SW_HIDE);
  ChangeDensity(f.hwnd(), 96);
  EXPECT_EQ(RectIn(f.imgLogo).right - RectIn(f.imgLogo).left, 150);
}

}  // namespace
