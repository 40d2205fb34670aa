// The program's own three windows, made in this process as the start-up makes them (with the
// program's resources and manifest), told that their density changed as the system tells a
// window moved to another monitor: each is rescaled from its current density into the suggested
// rectangle, by three halves and back by two thirds, its fonts made anew; a density below 30
// changes nothing. The operator window opening on a second monitor of another density, and
// closing there, leaves its settings file as it was. Wine reports one density for every monitor
// and never sends WM_DPICHANGED itself, so the message is sent here, and the second monitor is
// one the test lays out. The fonts outlive the controls that draw with them; the small icon is
// the icon's own small image. The settings given to the settings window before its first
// showing makes it are the ones its controls hold then.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/profile/profile_path.h"
#include "settings/settings_values.h"
#include "tests/win32/program_windows.h"
#include "tests/win32/window_geometry.h"
#include "win32/controls/wide_text.h"
#include "win32/scaling/display_density.h"
#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/theme/high_contrast.h"
#include "win32/theme/theme_hook.h"
#include "win32/theme/theme_request_win.h"
#include "win32/theme/win_theme.h"
#include "win32/windows/mainUnit.h"
#include "win32/windows/outer_rectangle.h"
#include "win32/windows/setupUnit.h"
#include "win32/windows/uAboutForm.h"

namespace {

using window_geometry::ClientSize;
using window_geometry::FontHeight;
using window_geometry::RectIn;
using window_geometry::SameRect;
using window_geometry::ShowsColour;

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

// A second monitor of 192 pixels per inch left of the one Wine has (the stored left edge of a
// window right of the primary screen is pulled back onto it, so a second monitor a window
// stays on lies left of or above it). The system would report a window's density to change as
// it moves there: WM_DPICHANGED, sent inside the move, with the window's rectangle scaled by the
// new density over the old one.
constexpr RECT kSecondMonitor{-2400, 0, 0, 1600};
constexpr UINT kSecondDensity = 192;

bool OnSecondMonitor(const RECT& r) {
  const POINT centre{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
  return PtInRect(&kSecondMonitor, centre) != FALSE;
}

settings::PixelRect AsPixelRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

settings::ScreenAreas TwoMonitors() {
  settings::ScreenAreas screens = win32::CurrentScreenAreas();
  screens.available.push_back(AsPixelRect(kSecondMonitor));
  const int right = screens.desktop.left + screens.desktop.width;
  screens.desktop.left = kSecondMonitor.left;
  screens.desktop.width = right - kSecondMonitor.left;
  screens.desktop.height = std::max<int>(screens.desktop.height, kSecondMonitor.bottom);
  return screens;
}

// What the test sees of the moves, and the density the system gives the window.
struct MoveWatch {
  bool send_density_change = false;
  UINT system_density = 96;             // the window's density as the system tracks it
  std::optional<UINT> density_at_move;  // the window's layout when it was moved there
  std::optional<int> next_font_at_move;
  HWND next_button = nullptr;
  int density_changes_sent = 0;
};

LRESULT CALLBACK WatchMoves(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR ref) {
  auto& watch = *reinterpret_cast<MoveWatch*>(ref);
  if (message == WM_WINDOWPOSCHANGING) {
    const auto& pos = *reinterpret_cast<const WINDOWPOS*>(lparam);
    const RECT to{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    if (!(pos.flags & SWP_NOMOVE) && !(pos.flags & SWP_NOSIZE) && OnSecondMonitor(to) &&
        !watch.density_at_move) {
      watch.density_at_move = win32scaling::CurrentDensity(window);
      watch.next_font_at_move = window_geometry::FontHeight(watch.next_button);
    }
  }
  const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
  if (message == WM_WINDOWPOSCHANGED && watch.send_density_change) {
    RECT outer;
    GetWindowRect(window, &outer);
    const UINT now = OnSecondMonitor(outer) ? kSecondDensity : 96;
    if (now != watch.system_density) {
      const int n = static_cast<int>(now), d = static_cast<int>(watch.system_density);
      watch.system_density = now;
      RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, n, d),
                     outer.top + MulDiv(outer.bottom - outer.top, n, d)};
      ++watch.density_changes_sent;
      SendMessageW(window, win32scaling::kDensityChangedMessage, MAKEWPARAM(now, now),
                   reinterpret_cast<LPARAM>(&suggested));
    }
  }
  return result;
}

std::string FileBytes(const std::u16string& path) {
  std::ifstream file(std::filesystem::path(std::wstring(path.begin(), path.end())),
                     std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// With and without the density change the system would send inside the move.
class StoredRectangleOnDenserMonitorTest : public WindowsDensityTest,
                                           public ::testing::WithParamInterface<bool> {};

TEST_P(StoredRectangleOnDenserMonitorTest, OpensLaidOutForItAndClosesLeavingTheFileAsItWas) {
  const std::u16string ini = settings::SettingsPathForExecutable(win32::ExecutablePath());
  settings::SettingsValues stored;
  stored.outer = {-2000, 200, 900, 300};
  stored.host = u"http://queue.test:8080";
  stored.window = 3;
  settings::SaveSettingsValues(ini, stored);
  const std::string before = FileBytes(ini);
  ASSERT_FALSE(before.empty());

  auto form = std::make_unique<TMainForm>();
  form->Create();
  form->desktop.screens = TwoMonitors;
  form->desktop.density_at = [](const RECT& r) {
    return OnSecondMonitor(r) ? kSecondDensity : 96u;
  };
  MoveWatch watch;
  watch.send_density_change = GetParam();
  watch.next_button = form->nextButton;
  ASSERT_TRUE(SetWindowSubclass(form->hwnd(), WatchMoves, 1, reinterpret_cast<DWORD_PTR>(&watch)));

  form->FormShow();

  EXPECT_EQ(watch.density_changes_sent, GetParam() ? 1 : 0);
  // Laid out for the second monitor before it was moved there.
  ASSERT_TRUE(watch.density_at_move.has_value());
  EXPECT_EQ(*watch.density_at_move, kSecondDensity);
  EXPECT_EQ(watch.next_font_at_move, -32);
  // The stored rectangle, as stored: no growth by the density change.
  EXPECT_EQ(win32::RestoredOuterRect(form->hwnd()), stored.outer);
  EXPECT_EQ(win32scaling::CurrentDensity(form->hwnd()), kSecondDensity);
  const SIZE client = ClientSize(form->hwnd());
  EXPECT_TRUE(
      SameRect(RectIn(form->nextButton), {client.cx - 56 - 240, 0, client.cx - 56, client.cy}));
  EXPECT_EQ(FontHeight(form->queueList), -122);

  form->FormClose();
  EXPECT_EQ(FileBytes(ini), before);

  RemoveWindowSubclass(form->hwnd(), WatchMoves, 1);
  form.reset();
  DeleteFileW(reinterpret_cast<const wchar_t*>(ini.c_str()));
}

INSTANTIATE_TEST_SUITE_P(DensityChangeSentInsideTheMove, StoredRectangleOnDenserMonitorTest,
                         ::testing::Bool());

// Each control, as it is destroyed, records whether the font it draws with is still one.
struct FontWatch {
  int destroyed = 0;
  int with_font_gone = 0;
};

LRESULT CALLBACK WatchFont(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR ref) {
  if (message == WM_DESTROY) {
    auto& watch = *reinterpret_cast<FontWatch*>(ref);
    ++watch.destroyed;
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (font && GetObjectType(font) != OBJ_FONT) ++watch.with_font_gone;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(control, WatchFont, id);
  return DefSubclassProc(control, message, wparam, lparam);
}

BOOL CALLBACK WatchControl(HWND control, LPARAM watch) {
  SetWindowSubclass(control, WatchFont, 2, static_cast<DWORD_PTR>(watch));
  return TRUE;
}

TEST_F(WindowsDensityTest, FontsOutliveTheControlsThatDrawWithThem) {
  auto main = std::make_unique<TMainForm>();
  main->Create();
  auto setup = std::make_unique<TSetupForm>(*main);
  setup->Create();
  auto about = std::make_unique<TAboutForm>(*main);
  about->Create();
  // Rescaled once, so the scaling's own fonts are in use too.
  ChangeDensity(setup->hwnd(), 144);
  FontWatch watch;
  std::vector<HFONT> fonts;
  for (HWND window : {main->hwnd(), setup->hwnd(), about->hwnd()}) {
    EnumChildWindows(window, WatchControl, reinterpret_cast<LPARAM>(&watch));
  }
  fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(main->nextButton, WM_GETFONT, 0, 0)));
  fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(setup->btn1, WM_GETFONT, 0, 0)));
  fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(about->lbl1, WM_GETFONT, 0, 0)));
  // Last made first, as the program ends.
  about.reset();
  setup.reset();
  main.reset();
  EXPECT_GE(watch.destroyed, 15);
  EXPECT_EQ(watch.with_font_gone, 0);
  for (HFONT font : fonts) EXPECT_EQ(GetObjectType(font), 0u);  // and freed after
}

TEST_F(WindowsDensityTest, SmallIconIsTheIconsOwnSmallImage) {
  const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(MainForm->hwnd(), GCLP_HICONSM));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  GetObjectW(info.hbmColor, sizeof colour, &colour);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(colour.bmHeight, GetSystemMetrics(SM_CYSMICON));
}

// The frame a window's outer size is reckoned with is the one drawn at the window's density, not
// the system's: Windows 10 draws a scaled frame at the monitor's density.
TEST_F(WindowsDensityTest, FrameIsReckonedAtTheDensityAsked) {
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  const SIZE at_96 = win32scaling::OuterSizeForClient({400, 100}, kStyle, 0, 96);
  const SIZE at_192 = win32scaling::OuterSizeForClient({400, 100}, kStyle, 0, 192);
  RECT system{0, 0, 400, 100};
  AdjustWindowRectEx(&system, kStyle, FALSE, 0);
  // The prefix is at 96: the frame at 96 is the system's, the one at 192 larger all round.
  EXPECT_EQ(at_96.cx, system.right - system.left);
  EXPECT_EQ(at_96.cy, system.bottom - system.top);
  EXPECT_GT(at_192.cx, at_96.cx);
  EXPECT_GT(at_192.cy, at_96.cy);  // AdjustWindowRectEx would give the system's again
}

// High contrast, answered by the test (Wine cannot turn it on) and announced as Windows announces
// it to every top-level window.
bool high_contrast = false;

bool TestHighContrast() {
  return high_contrast;
}

void SwitchHighContrast(bool on, UINT message, WPARAM wparam) {
  high_contrast = on;
  for (HWND window : {MainForm->hwnd(), AboutForm->hwnd()})
    SendMessageW(window, message, wparam, 0);
  for (HWND window : {MainForm->hwnd(), AboutForm->hwnd()})
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

COLORREF PixelOf(HWND window, POINT at) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, at.x, at.y);
  ReleaseDC(window, dc);
  return pixel;
}

// A point of the window's client area that no control covers.
POINT BarePoint(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  for (int y = 2; y < client.bottom; y += 7)
    for (int x = 2; x < client.right; x += 7)
      if (ChildWindowFromPointEx(window, {x, y}, CWP_SKIPINVISIBLE) == window) return {x, y};
  ADD_FAILURE() << "every point is covered";
  return {0, 0};
}

TEST_F(WindowsDensityTest, HighContrastColoursWinOverTheThemeAndTheWindowsOwn) {
  win32theme::SetHighContrastReader(&TestHighContrast);
  for (HWND window : {MainForm->hwnd(), AboutForm->hwnd()}) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
  }
  const COLORREF themed = win32theme::ToColorRef(win32theme::ActiveTheme()->colours().window);
  const COLORREF blue = RGB(0, 0, 255);
  const POINT bare = BarePoint(MainForm->hwnd());
  EXPECT_EQ(PixelOf(MainForm->hwnd(), bare), themed);
  EXPECT_TRUE(ShowsColour(AboutForm->lbl2, blue));

  SwitchHighContrast(true, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  EXPECT_EQ(PixelOf(MainForm->hwnd(), bare), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelOf(AboutForm->hwnd(), BarePoint(AboutForm->hwnd())), GetSysColor(COLOR_BTNFACE));
  for (HWND link : {AboutForm->lbl2, AboutForm->lbl5}) {
    EXPECT_TRUE(ShowsColour(link, GetSysColor(COLOR_HOTLIGHT)));
    EXPECT_FALSE(ShowsColour(link, blue));
  }
  EXPECT_TRUE(ShowsColour(AboutForm->lbl3, GetSysColor(COLOR_WINDOWTEXT)));

  SwitchHighContrast(false, WM_SYSCOLORCHANGE, 0);
  EXPECT_EQ(PixelOf(MainForm->hwnd(), bare), themed);
  EXPECT_TRUE(ShowsColour(AboutForm->lbl2, blue));

  // Without a theme the operator window is cream, and gives that up too.
  const win32theme::WinTheme* theme = win32theme::ActiveTheme();
  win32theme::SetActiveTheme(nullptr);
  SwitchHighContrast(false, WM_THEMECHANGED, 0);
  EXPECT_EQ(PixelOf(MainForm->hwnd(), bare), RGB(255, 251, 240));
  SwitchHighContrast(true, WM_THEMECHANGED, 0);
  EXPECT_EQ(PixelOf(MainForm->hwnd(), bare), GetSysColor(COLOR_BTNFACE));

  SwitchHighContrast(false, WM_SYSCOLORCHANGE, 0);
  win32theme::SetActiveTheme(theme);
  win32theme::SetHighContrastReader(nullptr);
  for (HWND window : {MainForm->hwnd(), AboutForm->hwnd()}) ShowWindow(window, SW_HIDE);
}

// The settings a settings window is given before it is made (at start-up, before its first
// showing): read back as given, and held by its controls once its first showing makes it. A
// number outside the list selects none, as the list itself would; an address keeps what an edit
// field keeps of it.
struct EarlySettings {
  const char* what;
  std::u16string address;
  int index;
  std::u16string kept_address;
  int kept_index;
  std::u16string number_text;
};

void PrintTo(const EarlySettings& settings, std::ostream* out) {
  *out << settings.what;
}

class SettingsBeforeTheirWindowTest : public WindowsDensityTest,
                                      public ::testing::WithParamInterface<EarlySettings> {};

// Closes the settings window being shown modally, from inside its message loop.
TSetupForm* shown_form = nullptr;
void CALLBACK CloseShownForm(HWND, UINT, UINT_PTR timer, DWORD) {
  if (shown_form == nullptr || shown_form->hwnd() == nullptr) return;
  KillTimer(nullptr, timer);
  PostMessageW(shown_form->hwnd(), WM_CLOSE, 0, 0);
}

TEST_P(SettingsBeforeTheirWindowTest, AreReadAsGivenAndHeldByItsControlsOnceShown) {
  const EarlySettings& given = GetParam();
  TSetupForm form(*MainForm);
  form.SetServerAddress(given.address);
  form.SetWindowNumberIndex(given.index);
  ASSERT_EQ(form.hwnd(), nullptr);
  EXPECT_EQ(form.ServerAddress(), given.kept_address);
  EXPECT_EQ(form.WindowNumberIndex(), given.kept_index);
  EXPECT_EQ(form.WindowNumberText(), given.number_text);

  // The first showing makes the window; closed from inside its loop, it is hidden, not gone.
  shown_form = &form;
  ASSERT_NE(SetTimer(nullptr, 0, 10, CloseShownForm), 0u);
  form.ShowModal();
  shown_form = nullptr;
  ASSERT_NE(form.hwnd(), nullptr);
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  EXPECT_EQ(win32::WindowText(form.serverEdit), given.kept_address);
  EXPECT_EQ(SendMessageW(form.operatorSelect, CB_GETCURSEL, 0, 0), given.kept_index);
  EXPECT_EQ(form.ServerAddress(), given.kept_address);
  EXPECT_EQ(form.WindowNumberIndex(), given.kept_index);
  EXPECT_EQ(form.WindowNumberText(), given.number_text);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsBeforeTheirWindowTest,
    ::testing::Values(
        EarlySettings{"stored", u"http://queue.test:8080", 3, u"http://queue.test:8080", 3, u"4"},
        EarlySettings{"first number", u"", 0, u"", 0, u"1"},
        EarlySettings{"last number", u"http://localhost", 6, u"http://localhost", 6, u"7"},
        EarlySettings{"none chosen", u"http://localhost/", -1, u"http://localhost/", -1, u""},
        EarlySettings{"number outside the list", u"x", 7, u"x", -1, u""},
        EarlySettings{"address with a null", std::u16string(u"http://a\0b", 10), 2, u"http://a", 2,
                      u"3"}));

}  // namespace
