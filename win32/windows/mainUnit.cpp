// The operator window and its handlers.
#include "win32/windows/mainUnit.h"

#include "core/failure.h"
#include "core/operator_rules.h"
#include "core/scope_exit.h"
#include "core/show_state.h"
#include "core/window_layout.h"
#include "core/window_texts.h"
#include "queueclient/next_press.h"
#include "settings/profile/profile_path.h"
#include "settings/settings_values.h"
#include "win32/controls/accessible_name.h"
#include "win32/controls/control_behaviour.h"
#include "win32/controls/gdi_handles.h"
#include "win32/controls/wide_text.h"
#include "win32/scaling/display_density.h"
#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/shell/error_box_win.h"
#include "win32/theme/high_contrast.h"
#include "win32/windows/outer_rectangle.h"
#include "win32/windows/setupUnit.h"
#include "win32/windows/uAboutForm.h"

TMainForm* MainForm = nullptr;
std::u16string RoleLabel;

namespace {

using namespace queue::layout;
// The list's dropped part; it holds one entry at most.
constexpr int kListDropHeight = 300;
constexpr COLORREF kCream = RGB(kMainBackground.red, kMainBackground.green, kMainBackground.blue);

// A resizable frame with the window menu and the minimise button, but no maximise button.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

enum ControlId {
  kQueueListId = 100,
  kNextButtonId,
  kLogId,
  kGroupId,
  kSettingsButtonId,
  kHelpButtonId,
  kAboutButtonId
};

// The class's background for the whole run.
HBRUSH CreamBrush() {
  static const win32::Brush brush(CreateSolidBrush(kCream));
  return brush.get();
}

// The window's own cream gives way to the system's colours under high contrast.
HBRUSH BackgroundBrush() {
  return win32theme::HighContrastOn() ? GetSysColorBrush(COLOR_BTNFACE) : CreamBrush();
}

int ShowWindowCommand(int show_command) {
  switch (queue::ShowStateForCommand(show_command)) {
    case queue::ShowState::kMaximized:
      return SW_SHOWMAXIMIZED;
    case queue::ShowState::kMinimized:
      return SW_SHOWMINNOACTIVE;
    case queue::ShowState::kNormal:
      break;
  }
  return SW_SHOWNORMAL;
}

// The clicks on the Next button that were made while a request held the window thread wait in
// the queue and would start the action again once it returns: an impatient clerk would call
// visitors whose tickets nobody sees. They are dropped when the request ends, answered or
// failed, before the error box is shown. Only clicks stamped before the end go: looking at the
// queue lets the messages other programs send through, and a click made after them is a new
// one.
void DropClicksMadeBefore(HWND button, DWORD end) {
  MSG click{};
  while (PeekMessageW(&click, button, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE) &&
         static_cast<LONG>(click.time - end) < 0) {
    PeekMessageW(&click, button, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE);
  }
}

}  // namespace

TMainForm::TMainForm() : desktop{win32::CurrentScreenAreas, win32scaling::DensityAt} {}

// The window and its controls go before the fonts they draw with.
TMainForm::~TMainForm() {
  DestroyNative();
}

void TMainForm::Create() {
  CreateNative({L"TMainForm", CreamBrush(), kStyle, kExStyle, nullptr},
               win32::WideString(queue::texts::kMainDesignCaption).c_str());
  scaling_ = win32::Scaling(win32::DensityOfWindowMonitor(win32::HiddenApplicationWindow()));
  win32scaling::MarkDensity(hwnd(), static_cast<UINT>(scaling_.density()));
  // Made in the tab order: the list, the log, then the small buttons; the Next button is no
  // tab stop.
  queueList = win32::MakeChild(hwnd(), L"COMBOBOX", u"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                               kQueueListId);
  // Without ES_AUTOVSCROLL a multi-line field refuses text below its visible height: the log
  // would keep the first two answers only. It has no scroll bars all the same.
  mmo1 = win32::MakeChild(hwnd(), L"EDIT", queue::texts::kLogFirstLine,
                          WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, kLogId,
                          WS_EX_CLIENTEDGE);
  // The log collects every answer of the run: no limit but memory.
  SendMessageW(mmo1, EM_SETLIMITTEXT, 0, 0);
  grp1 = win32::MakeChild(hwnd(), L"BUTTON", u"", BS_GROUPBOX | WS_GROUP, kGroupId);
  btn2 = win32::MakeChild(hwnd(), L"BUTTON", queue::texts::kSettingsButton.caption,
                          WS_TABSTOP | BS_PUSHBUTTON, kSettingsButtonId);
  btn1 = win32::MakeChild(hwnd(), L"BUTTON", queue::texts::kUnusedButton.caption,
                          WS_TABSTOP | BS_PUSHBUTTON, kHelpButtonId);
  btn3 = win32::MakeChild(hwnd(), L"BUTTON", queue::texts::kAboutButton.caption,
                          WS_TABSTOP | BS_PUSHBUTTON, kAboutButtonId);
  nextButton = win32::MakeChild(hwnd(), L"BUTTON", queue::texts::kNextButton.caption,
                                BS_PUSHBUTTON | WS_GROUP, kNextButtonId);
  // The Next action is started by the mouse only: no focus, hence no Space, and no shortcut.
  win32::NeverTakeFocus(nextButton);
  win32::WindowKeysLeaveEdit(mmo1);
  win32::OpenListWhenTyping(queueList);
  const std::pair<HWND, queue::texts::ControlText> named[] = {
      {queueList, queue::texts::kQueueList},  {mmo1, queue::texts::kAnswerLog},
      {grp1, queue::texts::kSmallButtons},    {btn2, queue::texts::kSettingsButton},
      {btn1, queue::texts::kUnusedButton},    {btn3, queue::texts::kAboutButton},
      {nextButton, queue::texts::kNextButton}};
  for (const auto& [control, text] : named) win32::NameForScreenReader(control, text);

  window_font_ = std::make_unique<win32::DesignFont>(kWindowFontPixels, scaling_);
  next_font_ = std::make_unique<win32::DesignFont>(kNextFontPixels, scaling_,
                                                   win32::DesignFont::Style{.bold = true});
  list_font_ = std::make_unique<win32::DesignFont>(kListFontPixels, scaling_);
  for (HWND control : {mmo1, grp1, btn2, btn1, btn3}) {
    win32::SetControlFont(control, window_font_->handle());
  }
  win32::SetControlFont(nextButton, next_font_->handle());
  win32::SetControlFont(queueList, list_font_->handle());
  win32::PlaceChild(mmo1, kLog, scaling_);

  const SIZE outer =
      win32scaling::OuterSizeForClient({scaling_(kMainClient.width), scaling_(kMainClient.height)},
                                       kStyle, kExStyle, static_cast<UINT>(scaling_.density()));
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  AlignControls();
}

void TMainForm::Show(int show_command) {
  try {
    FormShow();
  } catch (...) {
    win32::ShowFailure(std::current_exception());
  }
  ShowWindow(hwnd(), ShowWindowCommand(show_command));
  UpdateWindow(hwnd());
}

void TMainForm::AlignControls() {
  // At the density the window has now: it changes when the window moves to another monitor.
  scaling_ = win32::Scaling(static_cast<int>(win32scaling::CurrentDensity(hwnd())));
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  const int group_width = scaling_(kSmallButtonsWidth);
  const int group_left = width - group_width;
  SetWindowPos(grp1, nullptr, group_left, 0, group_width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  const std::pair<HWND, int> small_buttons[] = {
      {btn2, kSettingsButtonTop}, {btn1, kHelpButtonTop}, {btn3, kAboutButtonTop}};
  for (const auto& [button, top] : small_buttons) {
    SetWindowPos(button, nullptr, group_left + scaling_(kSmallButtonLeft), scaling_(top),
                 scaling_(kSmallButtonSize), scaling_(kSmallButtonSize),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const int next_width = scaling_(kNextButtonWidth);
  const int next_left = group_left - next_width;
  SetWindowPos(nextButton, nullptr, next_left, 0, next_width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // The list's own height follows its font; the height given is its dropped part's.
  SetWindowPos(queueList, nullptr, 0, 0, std::max(0, next_left), scaling_(kListDropHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::FormShow() {
  RoleLabel = queue::texts::kRoleLabel;
  win32::SetWindowText(hwnd(), RoleLabel);
  const settings::SettingsValues values =
      settings::LoadSettingsValues(settings::SettingsPathForExecutable(win32::ExecutablePath()));
  const settings::PixelRect outer = settings::PlaceStoredRectangle(
      values.outer, win32::OuterSize(hwnd()), win32::FrameSize(hwnd()), desktop.screens());
  // Laid out for the monitor the rectangle lies on before it goes there: the density change the
  // system reports while the window moves is then none, and the stored rectangle is kept as
  // it is, not replaced by one the system scaled from it (which would grow at every start).
  const RECT target{outer.left, outer.top, outer.left + outer.width, outer.top + outer.height};
  win32scaling::ScaleWindowTo(hwnd(), desktop.density_at(target), false);
  win32::ApplyRestoredOuterRect(hwnd(), outer);
  // A move alone sends no WM_SIZE; the controls are laid out at the density now.
  AlignControls();
  SetupForm->SetServerAddress(values.host);
  SetupForm->SetWindowNumberIndex(settings::ListIndexOrNone(values.window, queue::kWindowNumbers));
}

void TMainForm::FormClose() {
  SaveSettings();
}

void TMainForm::SaveSettings() {
  settings::SettingsValues values;
  values.outer = win32::RestoredOuterRect(hwnd());
  values.host = SetupForm->ServerAddress();
  values.window = SetupForm->WindowNumberIndex();
  settings::SaveSettingsValues(settings::SettingsPathForExecutable(win32::ExecutablePath()),
                               values);
}

void TMainForm::SaveSettingsAtSessionEnd() noexcept {
  if (closed_) return;
  try {
    SaveSettings();
  } catch (...) {
    // The session is ending; there is nobody to show the failure to.
  }
}

void TMainForm::btn1Click() {
  const std::u16string window_number = SetupForm->WindowNumberText();
  const std::u16string server = SetupForm->ServerAddress();
  const queue::ScopeExit dropped([this] { DropClicksMadeBefore(nextButton, GetTickCount()); });
  queue::RunNextPress(idhtp1, queue::RequestUrl(server, window_number),
                      [this](std::u16string answer) { ShowAnswer(answer); });
}

void TMainForm::ShowAnswer(const std::u16string& answer) {
  AppendToLog(answer);
  SendMessageW(queueList, CB_RESETCONTENT, 0, 0);
  const LRESULT added =
      SendMessageW(queueList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(answer)));
  if (added == CB_ERR || added == CB_ERRSPACE) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "Unable to insert a line");
  }
  SendMessageW(queueList, CB_SETCURSEL, 0, 0);
  // The list keeps its name; its value is now the answer. A drop-down list tells no one of a
  // choice made by the program, so the program tells the screen reader, which reads the value.
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, queueList, OBJID_CLIENT, CHILDID_SELF);
}

void TMainForm::AppendToLog(const std::u16string& answer) {
  std::u16string text;
  for (const std::u16string& line : queue::AnswerLogLines(answer)) {
    text += u"\r\n";
    text += line;
  }
  const int end = GetWindowTextLengthW(mmo1);
  SendMessageW(mmo1, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendMessageW(mmo1, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(win32::Wide(text)));
}

void TMainForm::btn2Click() {
  SetupForm->ShowModal();
}

void TMainForm::btn3Click() {
  AboutForm->ShowModal();
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      AlignControls();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, BackgroundBrush());
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      // The group box and the read-only parts show the window's cream.
      const auto dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, win32theme::HighContrastOn() ? GetSysColor(COLOR_BTNFACE) : kCream);
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        switch (LOWORD(wparam)) {
          case kNextButtonId:
            btn1Click();
            return 0;
          case kSettingsButtonId:
            btn2Click();
            return 0;
          case kAboutButtonId:
            btn3Click();
            return 0;
          default:
            return 0;  // "H" has no handler; Enter and Esc of the dialog keys mean nothing
        }
      }
      break;
    case WM_CLOSE:
      // A failure leaves here for the error box: the window stays open.
      FormClose();
      closed_ = true;
      // The main window: its close ends the program.
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wparam, lparam);
}
