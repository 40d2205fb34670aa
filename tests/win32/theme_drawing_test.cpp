// The Windows program's theme drawing and scaling, on real windows under the system (Wine on an
// X display here): the theme request over a module's "APPSTYLE" resources, its failures and
// "not found" box; windows, buttons in each state, fields, lists, group boxes and labels drawn
// in the theme's colours, read back pixel by pixel; a system message box themed through the
// creation hook; windows scaled from 96 pixels per inch and rescaled on WM_DPICHANGED.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "core/failure.h"
#include "core/text.h"
#include "tests/win32/window_geometry.h"
#include "theme/container/theme_container.h"
#include "theme/container/theme_failure.h"
#include "win32/scaling/display_density.h"
#include "win32/scaling/window_scaling.h"
#include "win32/theme/high_contrast.h"
#include "win32/theme/theme_hook.h"
#include "win32/theme/theme_request_win.h"
#include "win32/theme/win_theme.h"

namespace {

using window_geometry::ClientSize;
using window_geometry::FontHeight;
using window_geometry::RectIn;
using window_geometry::SameRect;

constexpr wchar_t kWindowClass[] = L"ThemeDrawingTestWindow";
constexpr int kLinkLabelId = 7;
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);

std::string EmbeddedSource(const wchar_t* name) {
  HRSRC found = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  EXPECT_NE(found, nullptr);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  return std::string(static_cast<const char*>(LockResource(loaded)),
                     SizeofResource(nullptr, found));
}

theme::ThemePackage ProgramTheme() {
  return {"Iceberg Classico",
          "1.0",
          {{"palette", EmbeddedSource(L"THEME_PALETTE")},
           {"stylesheet", EmbeddedSource(L"THEME_STYLESHEET")}}};
}

// A copy of this test's executable with the given "APPSTYLE" resources, loaded as data: the
// theme request sees it as the program sees its own resources.
class ResourceModule {
 public:
  explicit ResourceModule(const std::vector<std::pair<std::wstring, std::string>>& themes) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"theme_resources_" + std::to_wstring(GetCurrentProcessId()) +
            L"_" + std::to_wstring(counter_++) + L".exe";
    EXPECT_TRUE(CopyFileW(self, path_.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceW(path_.c_str(), FALSE);
    EXPECT_NE(update, nullptr);
    for (const auto& [name, bytes] : themes)
      EXPECT_TRUE(UpdateResourceW(
          update, L"APPSTYLE", name.c_str(), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
          const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size())));
    EXPECT_TRUE(EndUpdateResourceW(update, FALSE));
    module_ = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module_, nullptr);
  }
  ~ResourceModule() {
    if (module_) FreeLibrary(module_);
    DeleteFileW(path_.c_str());
  }
  HMODULE get() const { return module_; }

 private:
  static inline int counter_ = 0;
  std::wstring path_;
  HMODULE module_ = nullptr;
};

std::u16string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.kind(), theme::ThemeFailure::kLoad);
    return failure.message();
  }
  return u"(nothing thrown)";
}

COLORREF Ref(theme::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

// Colours drawn through a gradient are compared with a little room for the rounding of its rows.
::testing::AssertionResult Near(COLORREF seen, COLORREF expected, int room = 3) {
  const auto channel_off = [&](int shift) {
    return std::abs(static_cast<int>((seen >> shift) & 0xFF) -
                    static_cast<int>((expected >> shift) & 0xFF));
  };
  if (channel_off(0) <= room && channel_off(8) <= room && channel_off(16) <= room)
    return ::testing::AssertionSuccess();
  char text[96];
  wsprintfA(text, "seen #%02x%02x%02x, expected #%02x%02x%02x", GetRValue(seen), GetGValue(seen),
            GetBValue(seen), GetRValue(expected), GetGValue(expected), GetBValue(expected));
  return ::testing::AssertionFailure() << text;
}

COLORREF Average(theme::Gradient face) {
  return RGB((face.top.red + face.bottom.red) / 2, (face.top.green + face.bottom.green) / 2,
             (face.top.blue + face.bottom.blue) / 2);
}

COLORREF PixelOf(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return pixel;
}

// A pixel of the window's frame, (0, 0) being its outer top left corner.
COLORREF FramePixelOf(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  HDC dc = GetWindowDC(window);
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return pixel;
}

// Whether any pixel of the window's client area, drawn anew, has the colour.
bool ShowsColour(HWND window, COLORREF colour) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return window_geometry::ShowsColour(window, colour);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // The link label chooses its own colour, as the About window's links do.
  if (message == WM_CTLCOLORSTATIC &&
      GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == kLinkLabelId) {
    DefWindowProcW(window, message, wparam, lparam);
    SetTextColor(reinterpret_cast<HDC>(wparam), kLinkBlue);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

class ThemeDrawingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = TestWindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = kWindowClass;
    RegisterClassExW(&window_class);
    win32theme::InstallThemeHook();
    win32scaling::InstallDensityHook();
    themed_ =
        new ResourceModule({{L"ICEBERGCLASSICO", theme::EncodeThemeContainer(ProgramTheme())}});
    request_ = new win32theme::ThemeRequest(themed_->get());
  }
  static void TearDownTestSuite() {
    win32theme::SetActiveTheme(nullptr);
    delete request_;
    delete themed_;
    win32theme::RemoveThemeHook();
    win32scaling::RemoveDensityHook();
  }

  void SetUp() override { ASSERT_TRUE(request_->Request(u"Iceberg Classico", false)); }
  void TearDown() override {
    for (HWND window : windows_) DestroyWindow(window);
  }

  const theme::ControlColours& colours() const { return win32theme::ActiveTheme()->colours(); }

  HWND MakeWindow(int client_width, int client_height) {
    RECT outer{0, 0, client_width, client_height};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND window = CreateWindowExW(0, kWindowClass, L"Theme drawing", WS_OVERLAPPEDWINDOW, 40, 40,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(window, nullptr);
    windows_.push_back(window);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
  }

  HWND MakeControl(HWND parent, const wchar_t* class_name, const wchar_t* text, DWORD style, RECT r,
                   int id = 0, DWORD ex_style = 0) {
    HWND control = CreateWindowExW(ex_style, class_name, text, WS_CHILD | WS_VISIBLE | style,
                                   r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(control, nullptr) << "class " << class_name;
    return control;
  }

  static inline ResourceModule* themed_ = nullptr;
  static inline win32theme::ThemeRequest* request_ = nullptr;
  std::vector<HWND> windows_;
};

TEST_F(ThemeDrawingTest, RequestFindsTheThemeInAnyLetterCase) {
  for (const char16_t* name : {u"iceberg classico", u"ICEBERG CLASSICO", u"iCEBERG cLASSICO"}) {
    win32theme::SetActiveTheme(nullptr);
    EXPECT_TRUE(request_->Request(name, true));
    ASSERT_NE(win32theme::ActiveTheme(), nullptr);
    EXPECT_EQ(win32theme::ActiveTheme()->name(), u"Iceberg Classico");
  }
  // The colours are the theme's own, not a copy of them.
  EXPECT_EQ(colours().window, (theme::Rgb{0xed, 0xf2, 0xf6}));
}

TEST_F(ThemeDrawingTest, DamagedResourcesAreNamedAndDiscoveryIsNotRepeated) {
  const std::string good = theme::EncodeThemeContainer(ProgramTheme());
  theme::ThemePackage no_sheet = ProgramTheme();
  no_sheet.name = "Other";
  no_sheet.sections.pop_back();
  ResourceModule one_bad({{L"ICEBERGCLASSICO", good}, {L"ZEBRA", "APP_STYLE 2.0 garbage"}});
  win32theme::ThemeRequest request(one_bad.get());
  EXPECT_EQ(FailureOf([&] { request.Request(u"Iceberg Classico", true); }),
            u"Unable to load style 'ZEBRA'");
  // What did register is still found, and the damaged one is not tried again.
  EXPECT_TRUE(request.Request(u"Iceberg Classico", true));

  ResourceModule two_bad({{L"CUT", good.substr(0, good.size() / 2)},
                          {L"NOSHEET", theme::EncodeThemeContainer(no_sheet)}});
  win32theme::ThemeRequest second(two_bad.get());
  EXPECT_EQ(FailureOf([&] { second.Request(u"Iceberg Classico", false); }),
            u"Unable to load styles: CUT, NOSHEET");
}

// What a box showed while it was open, read from a timer of the thread's own modal loop.
struct SeenBox {
  std::wstring title;
  std::wstring text;
  std::vector<std::wstring> buttons;
  bool icon = false;
  COLORREF background = CLR_INVALID;
  COLORREF text_colour_seen = CLR_INVALID;
};
SeenBox seen_box;
int box_ticks = 0;

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM) {
  wchar_t class_name[32] = {}, text[256] = {};
  GetClassNameW(child, class_name, 32);
  GetWindowTextW(child, text, 256);
  if (!IsWindowVisible(child)) return TRUE;
  if (lstrcmpiW(class_name, L"Button") == 0) seen_box.buttons.push_back(text);
  if (lstrcmpiW(class_name, L"Static") == 0) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      seen_box.icon = true;
    else if (*text)
      seen_box.text = text;
  }
  return TRUE;
}

void CALLBACK WatchForBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        wchar_t class_name[16] = {};
        GetClassNameW(window, class_name, 16);
        if (lstrcmpW(class_name, L"#32770") == 0 && IsWindowVisible(window))
          *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&box));
  // Bounded: a box that never shows ends the wait after ten seconds.
  if (!box && ++box_ticks < 200) return;
  KillTimer(nullptr, timer);
  if (!box) return;
  wchar_t title[128] = {};
  GetWindowTextW(box, title, 128);
  seen_box.title = title;
  EnumChildWindows(box, ReadBoxChild, 0);
  seen_box.background = PixelOf(box, 2, 2);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  PostMessageW(box, WM_CLOSE, 0, 0);
}

SeenBox WatchBoxWhile(const std::function<void()>& open_box) {
  seen_box = {};
  box_ticks = 0;
  SetTimer(nullptr, 0, 50, WatchForBox);
  open_box();
  return seen_box;
}

TEST_F(ThemeDrawingTest, MissingThemeShowsTheNotFoundBoxAndTheSystemLookStays) {
  ResourceModule none({});
  win32theme::ThemeRequest request(none.get());
  win32theme::SetActiveTheme(nullptr);
  bool found = true;
  const SeenBox box = WatchBoxWhile([&] { found = request.Request(u"Iceberg Classico", true); });
  EXPECT_FALSE(found);
  EXPECT_EQ(win32theme::ActiveTheme(), nullptr);
  EXPECT_EQ(box.title, L"Error");
  EXPECT_EQ(box.text, L"Style 'Iceberg Classico' not found");
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"&Close"});
  EXPECT_TRUE(box.icon);
  // Without the flag nothing is shown.
  const SeenBox quiet = WatchBoxWhile([&] {
    box_ticks = 190;  // nothing to wait for long
    EXPECT_FALSE(request.Request(u"Other", false));
    MSG message;
    while (box_ticks < 200 && GetMessageW(&message, nullptr, 0, 0)) DispatchMessageW(&message);
  });
  EXPECT_TRUE(quiet.title.empty());
}

TEST_F(ThemeDrawingTest, SystemMessageBoxIsDrawnInTheTheme) {
  const SeenBox box = WatchBoxWhile([] {
    MessageBoxW(nullptr, L"Socket Error # 10061\r\nConnection refused.", L"Operator",
                MB_OK | MB_ICONERROR);
  });
  EXPECT_EQ(box.title, L"Operator");
  EXPECT_EQ(box.text, L"Socket Error # 10061\r\nConnection refused.");  // wording unchanged
  EXPECT_EQ(box.buttons.size(), 1u);
  EXPECT_TRUE(box.icon);
  EXPECT_TRUE(Near(box.background, Ref(colours().window), 0));
  EXPECT_NE(box.background, GetSysColor(COLOR_BTNFACE));
}

TEST_F(ThemeDrawingTest, WindowAndControlsAreDrawnInTheTheme) {
  HWND window = MakeWindow(400, 300);
  const auto& c = colours();
  HWND button = MakeControl(window, L"Button", L"Следующий", BS_PUSHBUTTON, {10, 10, 130, 60});
  HWND edit = MakeControl(window, L"Edit", L"http://localhost", ES_AUTOHSCROLL, {10, 80, 180, 107},
                          0, WS_EX_CLIENTEDGE);
  HWND log =
      MakeControl(window, L"Edit", L"mmo1", ES_MULTILINE, {200, 80, 373, 130}, 0, WS_EX_CLIENTEDGE);
  HWND combo =
      MakeControl(window, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, {10, 140, 185, 300});
  HWND group = MakeControl(window, L"Button", L"", BS_GROUPBOX, {250, 140, 278, 223});
  HWND label = MakeControl(window, L"Static", L"Адрес сервера:", SS_LEFT, {10, 200, 150, 220});
  HWND link =
      MakeControl(window, L"Static", L"example.org", SS_LEFT, {10, 230, 150, 250}, kLinkLabelId);
  HWND disabled =
      MakeControl(window, L"Button", L"Закрыть", BS_PUSHBUTTON | WS_DISABLED, {150, 10, 255, 43});
  for (const wchar_t* entry : {L"3", L"4", L"5"})
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);

  // The background is the theme's, not the button face the class asks for.
  EXPECT_TRUE(Near(PixelOf(window, 390, 5), Ref(c.window), 0));
  EXPECT_NE(PixelOf(window, 390, 5), GetSysColor(COLOR_BTNFACE));

  // A button in each state: the middle of its face, and its border.
  EXPECT_TRUE(Near(PixelOf(button, 4, 25), Average(c.button.face)));
  EXPECT_TRUE(Near(PixelOf(button, 60, 0), Ref(c.button.border), 0));
  EXPECT_TRUE(Near(PixelOf(button, 0, 0), Ref(c.window), 0));  // outside its rounded corner
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(4, 25));
  EXPECT_TRUE(Near(PixelOf(button, 4, 25), Average(c.button_hot.face)));
  // Pressed, as while the mouse is held on it.
  SendMessageW(button, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(Near(PixelOf(button, 4, 25), Average(c.button_pressed.face)));
  EXPECT_TRUE(Near(PixelOf(button, 60, 0), Ref(c.button_pressed.border), 0));
  SendMessageW(button, BM_SETSTATE, FALSE, 0);
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(Near(PixelOf(button, 4, 25), Average(c.button.face)));
  EXPECT_TRUE(Near(PixelOf(disabled, 4, 16), Average(c.button_disabled.face)));
  EXPECT_TRUE(ShowsColour(disabled, Ref(c.button_disabled.text)));

  // Fields: the inside in the base colour, the frame's outer pixel in the border colour.
  EXPECT_TRUE(Near(PixelOf(edit, 160, 20), Ref(c.edit_background), 0));
  EXPECT_TRUE(Near(PixelOf(window, 100, 80), Ref(c.edit_border), 0));
  EXPECT_TRUE(ShowsColour(edit, Ref(c.edit_text)));
  EXPECT_TRUE(Near(PixelOf(log, 160, 40), Ref(c.edit_background), 0));
  SetFocus(edit);
  EXPECT_TRUE(Near(PixelOf(window, 100, 80), Ref(c.edit_focus_border), 0));

  // The drop-down list's field, raised; its open list in the base colour, the chosen entry in
  // the theme's highlight, not the system's.
  EXPECT_TRUE(Near(PixelOf(combo, 5, 10), Average(c.combo.face), 6));
  EXPECT_TRUE(Near(PixelOf(combo, 60, 0), Ref(c.combo.border), 0));
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  ASSERT_NE(info.hwndList, nullptr);
  RECT list;
  GetClientRect(info.hwndList, &list);
  EXPECT_TRUE(
      Near(PixelOf(info.hwndList, list.right - 3, list.bottom - 3), Ref(c.list_background), 0));
  EXPECT_TRUE(Near(PixelOf(info.hwndList, list.right - 3, 2), Ref(c.highlight), 0));
  // Its frame, around the scroll bar the system keeps, in the theme's border colour.
  EXPECT_TRUE(Near(FramePixelOf(info.hwndList, 5, 0), Ref(c.list_border), 0));
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);

  // The group box: its frame in the theme's border colour, its inside the window's background.
  EXPECT_TRUE(Near(PixelOf(group, 14, 0), Ref(c.group_border), 0));
  EXPECT_TRUE(Near(PixelOf(group, 14, 40), Ref(c.window), 0));

  // Labels: the theme's text on the window's background; the link keeps its own blue.
  EXPECT_TRUE(Near(PixelOf(label, 139, 10), Ref(c.window), 0));
  EXPECT_TRUE(ShowsColour(label, Ref(c.window_text)));
  EXPECT_TRUE(ShowsColour(link, kLinkBlue));
  EXPECT_FALSE(ShowsColour(label, kLinkBlue));
}

// The window menu and other popup menus are made by the system: the hook gives them the theme's
// background. Their items the system draws; Wine draws them on its own menu colour, so the
// margin above the first item is where the background shows here.
COLORREF seen_menu = CLR_INVALID;
int menu_ticks = 0;

void CALLBACK WatchForMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if ((!menu || !IsWindowVisible(menu)) && ++menu_ticks < 200) return;
  KillTimer(nullptr, timer);
  if (menu && IsWindowVisible(menu)) {
    RECT client;
    GetClientRect(menu, &client);
    seen_menu = PixelOf(menu, client.right - 4, 1);
  }
  EndMenu();
}

// Shows the menu over the window until its background is read; returns that colour.
COLORREF ShownMenuBackground(HWND window, HMENU menu) {
  seen_menu = CLR_INVALID;
  menu_ticks = 0;
  SetTimer(nullptr, 0, 50, WatchForMenu);
  SetForegroundWindow(window);
  TrackPopupMenu(menu, TPM_RETURNCMD, 60, 60, 0, window, nullptr);
  return seen_menu;
}

HMENU WindowLikeMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Восстановить");
  AppendMenuW(menu, MF_STRING, 2, L"Закрыть");
  return menu;
}

TEST_F(ThemeDrawingTest, PopupMenuHasTheThemesBackground) {
  HWND window = MakeWindow(200, 100);
  HMENU menu = WindowLikeMenu();
  EXPECT_TRUE(Near(ShownMenuBackground(window, menu), Ref(colours().menu_background), 0));
  DestroyMenu(menu);
}

TEST_F(ThemeDrawingTest, SystemLookWithoutATheme) {
  win32theme::SetActiveTheme(nullptr);
  HWND window = MakeWindow(200, 100);
  EXPECT_EQ(PixelOf(window, 190, 5), GetSysColor(COLOR_BTNFACE));
}

// High contrast, as the system reports it to the theme here: Wine's SPI_GETHIGHCONTRAST always
// answers off and SPI_SETHIGHCONTRAST changes nothing, so the test answers in its place and sends
// the messages Windows sends to every top-level window when the user switches it.
bool high_contrast = false;

bool TestHighContrast() {
  return high_contrast;
}

// A pixel as the window shows it now: what the message invalidated is painted, nothing more.
COLORREF PixelNow(HWND top, HWND window, int x, int y) {
  RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return pixel;
}

struct LookChange {
  const char* name;
  UINT message;
  WPARAM wparam;
};

class HighContrastTest : public ThemeDrawingTest, public ::testing::WithParamInterface<LookChange> {
 protected:
  void SetUp() override {
    ThemeDrawingTest::SetUp();
    win32theme::SetHighContrastReader(&TestHighContrast);
  }
  void TearDown() override {
    high_contrast = false;
    win32theme::SetHighContrastReader(nullptr);
    if (!windows_.empty()) win32theme::FollowSystemLook(windows_.front());
    ThemeDrawingTest::TearDown();
  }
  // The user switches high contrast: the setting changes, then every top-level window is told.
  void Switch(HWND window, bool on) {
    high_contrast = on;
    SendMessageW(window, GetParam().message, GetParam().wparam, 0);
  }
};

TEST_P(HighContrastTest, SwitchingItDropsTheThemeForTheSystemsColoursAndBack) {
  HWND window = MakeWindow(400, 300);
  const auto& c = colours();
  HWND button = MakeControl(window, L"Button", L"Следующий", BS_PUSHBUTTON, {10, 10, 130, 60});
  HWND edit = MakeControl(window, L"Edit", L"http://localhost", ES_AUTOHSCROLL, {10, 80, 180, 107},
                          0, WS_EX_CLIENTEDGE);
  HWND group = MakeControl(window, L"Button", L"", BS_GROUPBOX, {250, 140, 278, 223});
  HWND label = MakeControl(window, L"Static", L"Адрес сервера:", SS_LEFT, {10, 200, 150, 220});
  PixelOf(window, 0, 0);  // everything drawn once, in the theme
  ASSERT_TRUE(Near(PixelNow(window, button, 4, 25), Average(c.button.face)));

  Switch(window, true);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(PixelNow(window, window, 390, 5), face);
  EXPECT_EQ(PixelNow(window, button, 4, 25), face);  // the system's own button
  EXPECT_EQ(PixelNow(window, edit, 160, 20), GetSysColor(COLOR_WINDOW));
  EXPECT_FALSE(Near(PixelNow(window, window, 100, 80), Ref(c.edit_border), 0));
  EXPECT_EQ(PixelNow(window, group, 14, 40), face);
  EXPECT_EQ(PixelNow(window, label, 139, 10), face);
  // A window made while it is on is never drawn in the theme either.
  HWND later = MakeWindow(200, 100);
  EXPECT_EQ(PixelOf(later, 190, 5), face);

  Switch(window, false);
  EXPECT_TRUE(Near(PixelNow(window, window, 390, 5), Ref(c.window), 0));
  EXPECT_TRUE(Near(PixelNow(window, button, 4, 25), Average(c.button.face)));
  EXPECT_TRUE(Near(PixelNow(window, edit, 160, 20), Ref(c.edit_background), 0));
  EXPECT_TRUE(Near(PixelNow(window, window, 100, 80), Ref(c.edit_border), 0));
  EXPECT_TRUE(Near(PixelNow(window, group, 14, 40), Ref(c.window), 0));
  EXPECT_TRUE(Near(PixelOf(later, 190, 5), Ref(c.window), 0));
}

INSTANTIATE_TEST_SUITE_P(Messages, HighContrastTest,
                         ::testing::Values(LookChange{"SettingChange", WM_SETTINGCHANGE,
                                                      SPI_SETHIGHCONTRAST},
                                           LookChange{"SysColorChange", WM_SYSCOLORCHANGE, 0},
                                           LookChange{"ThemeChanged", WM_THEMECHANGED, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

bool FailingHighContrast() {
  throw std::bad_alloc();
}

// Out of memory inside the theme's window procedure: the failure stops there, before the
// system's frames, and the window carries on in the look it had.
TEST_F(HighContrastTest, AFailureInsideTheDrawingStopsBeforeTheSystem) {
  HWND window = MakeWindow(200, 100);
  HWND button = MakeControl(window, L"Button", L"Следующий", BS_PUSHBUTTON, {10, 10, 130, 60});
  win32theme::SetHighContrastReader(&FailingHighContrast);
  bool escaped = false;
  try {
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  } catch (...) {
    escaped = true;
  }
  EXPECT_FALSE(escaped);
  EXPECT_TRUE(Near(PixelOf(window, 190, 5), Ref(colours().window), 0));
  EXPECT_TRUE(Near(PixelOf(button, 4, 25), Average(colours().button.face)));
}

// A menu shown once in the theme (the window menu is shown again and again) is shown in the
// system's colours once high contrast is on.
TEST_F(HighContrastTest, PopupMenuGivesUpTheThemesBackground) {
  HWND window = MakeWindow(200, 100);
  HMENU menu = WindowLikeMenu();
  EXPECT_TRUE(Near(ShownMenuBackground(window, menu), Ref(colours().menu_background), 0));
  high_contrast = true;
  SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(ShownMenuBackground(window, menu), GetSysColor(COLOR_MENU));
  DestroyMenu(menu);
}

// The settings window's layout at 96 pixels per inch.
struct SettingsLayout {
  HWND window, label, select, edit, save, close;
  HFONT font;
};

class DensityScalingTest : public ThemeDrawingTest {
 protected:
  SettingsLayout MakeSettingsLayout() {
    SettingsLayout l{};
    l.window = MakeWindow(343, 129);
    l.font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                         L"Tahoma");
    fonts_.push_back(l.font);
    l.label = MakeControl(l.window, L"Static", L"Адрес сервера:", SS_LEFT, {42, 56, 154, 75});
    l.select =
        MakeControl(l.window, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, {160, 8, 335, 208});
    l.edit = MakeControl(l.window, L"Edit", L"http://localhost", ES_AUTOHSCROLL, {160, 53, 335, 80},
                         0, WS_EX_CLIENTEDGE);
    l.save = MakeControl(l.window, L"Button", L"Сохранить", BS_PUSHBUTTON, {112, 86, 217, 121});
    l.close = MakeControl(l.window, L"Button", L"Закрыть", BS_PUSHBUTTON, {230, 88, 335, 121});
    for (HWND control : {l.label, l.select, l.edit, l.save, l.close})
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(l.font), FALSE);
    return l;
  }
  void TearDown() override {
    ThemeDrawingTest::TearDown();
    for (HFONT font : fonts_) DeleteObject(font);
  }
  std::vector<HFONT> fonts_;
};

TEST_F(DensityScalingTest, SettingsWindowAt192) {
  const SettingsLayout l = MakeSettingsLayout();
  const int edit_height_96 = RectIn(l.edit).bottom - RectIn(l.edit).top;
  const int select_height_96 = RectIn(l.select).bottom - RectIn(l.select).top;
  win32scaling::ScaleWindowTo(l.window, 192);
  EXPECT_EQ(win32scaling::CurrentDensity(l.window), 192u);
  EXPECT_EQ(ClientSize(l.window).cx, 686);
  EXPECT_EQ(ClientSize(l.window).cy, 258);
  EXPECT_TRUE(SameRect(RectIn(l.save), {224, 172, 434, 242}));
  EXPECT_TRUE(SameRect(RectIn(l.close), {460, 176, 670, 242}));
  EXPECT_EQ(RectIn(l.label).left, 84);
  EXPECT_EQ(RectIn(l.edit).left, 320);
  EXPECT_EQ(RectIn(l.edit).right, 670);
  EXPECT_EQ(FontHeight(l.save), -32);
  EXPECT_EQ(FontHeight(l.edit), -32);
  // The list and the field take their height from their 32-pixel fonts, not from doubling.
  const int edit_height = RectIn(l.edit).bottom - RectIn(l.edit).top;
  const int select_height = RectIn(l.select).bottom - RectIn(l.select).top;
  EXPECT_GT(edit_height, edit_height_96 + 10);
  EXPECT_LT(edit_height, 2 * edit_height_96);
  EXPECT_GT(select_height, select_height_96 + 10);
  EXPECT_LT(select_height, 2 * select_height_96);
  // The font the window was given stays its owner's; the scaling's own go with the window.
  EXPECT_EQ(GetObjectType(l.font), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(DensityScalingTest, DensityChangeRescalesIntoTheSuggestedRectangleAndBack) {
  const SettingsLayout l = MakeSettingsLayout();
  const RECT save_96 = RectIn(l.save);
  const RECT label_96 = RectIn(l.label);
  RECT suggested{100, 120, 100 + 600, 120 + 300};
  SendMessageW(l.window, win32scaling::kDensityChangedMessage, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(win32scaling::CurrentDensity(l.window), 144u);
  RECT outer;
  GetWindowRect(l.window, &outer);
  EXPECT_TRUE(SameRect(outer, suggested));
  EXPECT_TRUE(SameRect(RectIn(l.save), {168, 129, 326, 182}));  // three halves, by its edges
  EXPECT_TRUE(SameRect(RectIn(l.label), {63, 84, 231, 113}));
  EXPECT_EQ(FontHeight(l.save), -24);
  const auto font_144 = reinterpret_cast<HFONT>(SendMessageW(l.save, WM_GETFONT, 0, 0));

  // A density below 30 is none: nothing moves.
  RECT ignored{0, 0, 50, 50};
  SendMessageW(l.window, win32scaling::kDensityChangedMessage, MAKEWPARAM(20, 20),
               reinterpret_cast<LPARAM>(&ignored));
  EXPECT_EQ(win32scaling::CurrentDensity(l.window), 144u);
  GetWindowRect(l.window, &outer);
  EXPECT_TRUE(SameRect(outer, suggested));

  // Back by two thirds: every edge where it was at 96.
  RECT back{100, 120, 100 + 400, 120 + 200};
  SendMessageW(l.window, win32scaling::kDensityChangedMessage, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(win32scaling::CurrentDensity(l.window), 96u);
  EXPECT_TRUE(SameRect(RectIn(l.save), save_96));
  EXPECT_TRUE(SameRect(RectIn(l.label), label_96));
  GetWindowRect(l.window, &outer);
  EXPECT_TRUE(SameRect(outer, back));
  EXPECT_EQ(FontHeight(l.save), -16);
  // The font made for 144 was freed when it was replaced.
  EXPECT_EQ(GetObjectType(font_144), 0u);
}

TEST(DisplayDensityTest, SystemAndMonitorDensitiesAgreeOnOneMonitor) {
  // Under Wine every monitor reports the one density of the prefix.
  const UINT system = win32scaling::SystemDensity();
  EXPECT_GE(system, 96u);
  EXPECT_EQ(win32scaling::DensityForWindow(nullptr), system);
  EXPECT_EQ(win32scaling::ScaleByEdges({5, 5, 155, 155}, 144, 96).right, 233);
  EXPECT_EQ(win32scaling::ScaleByEdges({5, 5, 155, 155}, 144, 96).left, 8);
}

}  // namespace
