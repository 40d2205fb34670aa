// The settings window and its handlers.
#include "win32/windows/setupUnit.h"

#include <algorithm>

#include "core/operator_rules.h"
#include "core/window_layout.h"
#include "core/window_texts.h"
#include "win32/controls/accessible_name.h"
#include "win32/controls/wide_text.h"
#include "win32/scaling/display_density.h"
#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/windows/mainUnit.h"

TSetupForm* SetupForm = nullptr;

namespace {

using namespace queue::layout;

// A stand-in font is never narrowed below this, in per cent.
constexpr int kNarrowestLabelFont = 50;
// The dropped part of the number list shows all seven numbers.
constexpr int kOperatorListDropHeight = 200;

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = 0;

// Control identifiers; none is IDOK or IDCANCEL, so Enter and Esc press nothing.
enum ControlId {
  kOperatorLabelId = 100,
  kServerLabelId,
  kServerEditId,
  kOperatorSelectId,
  kSaveId,
  kCloseId
};

// The number list's items: "1" to "7".
std::u16string WindowNumberItem(int index) {
  return win32::FromWide(std::to_wstring(index + 1));
}

// What a drop-down list selects when asked for `index`: an index outside its items selects
// none.
int SelectableIndex(int index) {
  return index >= 0 && index < queue::kWindowNumbers ? index : -1;
}

// What an edit field holds of a text given to it: the text up to its first null character.
std::u16string FieldText(const std::u16string& text) {
  return text.substr(0, text.find(u'\0'));
}

}  // namespace

TSetupForm::TSetupForm(TMainForm& main_form)
    : main_form_(main_form),
      server_address_(queue::texts::kServerDefault),
      window_number_index_(-1) {}

TSetupForm::~TSetupForm() {
  DestroyNative();
}

void TSetupForm::Create() {
  CreateNative({L"TSetupForm", reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kStyle, kExStyle,
                main_form_.hwnd()},
               win32::WideString(queue::texts::kSetupCaption).c_str());
  scaling_ = win32::Scaling(win32::DensityOfWindowMonitor(win32::HiddenApplicationWindow()));
  win32scaling::MarkDensity(hwnd(), static_cast<UINT>(scaling_.density()));
  // Made in the tab order: the address field first although the number list stands above it.
  // Each label is made just before its field, the field's label for a screen reader that names
  // a field by the label before it; the fields are given their labels' names as well.
  serverLabel = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kServerLabel.caption,
                                 SS_LEFT | SS_NOPREFIX, kServerLabelId);
  serverEdit = win32::MakeChild(hwnd(), L"EDIT", server_address_, WS_TABSTOP | ES_AUTOHSCROLL,
                                kServerEditId, WS_EX_CLIENTEDGE);
  operatorLabel = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kOperatorLabel.caption,
                                   SS_LEFT | SS_NOPREFIX, kOperatorLabelId);
  operatorSelect = win32::MakeChild(hwnd(), L"COMBOBOX", u"",
                                    WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kOperatorSelectId);
  win32::NameForScreenReader(serverEdit,
                             win32::ScreenReaderText{queue::texts::kServerLabel.caption,
                                                     queue::texts::kServerEdit.description});
  win32::NameForScreenReader(operatorSelect,
                             win32::ScreenReaderText{queue::texts::kOperatorLabel.caption,
                                                     queue::texts::kOperatorSelect.description});
  for (int index = 0; index < queue::kWindowNumbers; ++index) {
    SendMessageW(operatorSelect, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(win32::Wide(WindowNumberItem(index))));
  }
  SendMessageW(operatorSelect, CB_SETCURSEL, static_cast<WPARAM>(window_number_index_), 0);
  btn1 = win32::MakeChild(hwnd(), L"BUTTON", queue::texts::kSaveButton.caption,
                          WS_TABSTOP | BS_PUSHBUTTON, kSaveId);
  btn2 = win32::MakeChild(hwnd(), L"BUTTON", queue::texts::kCloseButton.caption,
                          WS_TABSTOP | BS_PUSHBUTTON, kCloseId);
  win32::NameForScreenReader(btn1, queue::texts::kSaveButton);
  win32::NameForScreenReader(btn2, queue::texts::kCloseButton);
  LayOut();
  made_ = true;
}

void TSetupForm::LayOut() {
  // Every control has a font of its own, so the window's font (Tahoma 11) is never used.
  control_font_ = std::make_unique<win32::DesignFont>(kSetupControlFontPixels, scaling_);
  for (HWND control : {serverEdit, operatorSelect, btn1, btn2}) {
    win32::SetControlFont(control, control_font_->handle());
  }
  // The labels take the size of their texts and end on their common right edge. Where the
  // design font is missing and the one standing in for it is wider, the labels' font is
  // narrowed to the room the design gives them rather than cut off at the window's edge.
  const int room = scaling_(kLabelsRightEdge - kLabelsLeftLimit);
  int widest = 0;
  for (HWND label : {operatorLabel, serverLabel}) {
    widest = std::max<int>(
        widest, win32::TextSize(hwnd(), control_font_->handle(), win32::WindowText(label)).cx);
  }
  HFONT label_font = control_font_->handle();
  if (widest > room) {
    label_font_ = std::make_unique<win32::DesignFont>(
        kSetupControlFontPixels, scaling_,
        win32::DesignFont::Style{.width_percent =
                                     std::max(kNarrowestLabelFont, MulDiv(100, room, widest))});
    label_font = label_font_->handle();
  }
  const std::pair<HWND, int> labels[] = {{operatorLabel, kOperatorLabelTop},
                                         {serverLabel, kServerLabelTop}};
  for (const auto& [label, top] : labels) {
    win32::SetControlFont(label, label_font);
    const SIZE text = win32::TextSize(hwnd(), label_font, win32::WindowText(label));
    SetWindowPos(label, nullptr, scaling_(kLabelsRightEdge) - text.cx, scaling_(top), text.cx,
                 text.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The number list's height follows its font; the address field takes the same height.
  win32::PlaceChild(
      operatorSelect,
      {kOperatorSelect.left, kOperatorSelect.top, kOperatorSelect.width, kOperatorListDropHeight},
      scaling_);
  RECT list{};
  GetWindowRect(operatorSelect, &list);
  const RECT edit = scaling_.Rect(kServerEdit);
  SetWindowPos(serverEdit, nullptr, edit.left, edit.top, edit.right - edit.left,
               list.bottom - list.top, SWP_NOZORDER | SWP_NOACTIVATE);
  win32::PlaceChild(btn1, kSaveButton, scaling_);
  win32::PlaceChild(btn2, kCloseButton, scaling_);
  const SIZE outer = win32scaling::OuterSizeForClient(
      {scaling_(kSetupClient.width), scaling_(kSetupClient.height)}, kStyle, kExStyle,
      static_cast<UINT>(scaling_.density()));
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSetupForm::FormCreate() {
  btn1Click();
}

void TSetupForm::btn1Click() {
  win32::SetWindowText(main_form_.hwnd(),
                       queue::CaptionWithWindowNumber(RoleLabel, WindowNumberText()));
}

void TSetupForm::btn2Click() {
  EndModal();
}

std::u16string TSetupForm::WindowNumberText() const {
  if (!made_) return window_number_index_ < 0 ? u"" : WindowNumberItem(window_number_index_);
  return win32::WindowText(operatorSelect);
}

int TSetupForm::WindowNumberIndex() const {
  if (!made_) return window_number_index_;
  return static_cast<int>(SendMessageW(operatorSelect, CB_GETCURSEL, 0, 0));
}

void TSetupForm::SetWindowNumberIndex(int index) {
  if (!made_) {
    window_number_index_ = SelectableIndex(index);
    return;
  }
  SendMessageW(operatorSelect, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::u16string TSetupForm::ServerAddress() const {
  if (!made_) return server_address_;
  return win32::WindowText(serverEdit);
}

void TSetupForm::SetServerAddress(const std::u16string& address) {
  if (!made_) {
    server_address_ = FieldText(address);
    return;
  }
  win32::SetWindowText(serverEdit, address);
}

LRESULT TSetupForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    switch (LOWORD(wparam)) {
      case kSaveId:
        btn1Click();
        return 0;
      case kCloseId:
        btn2Click();
        return 0;
      default:
        break;
    }
  }
  return ModalWindow::HandleMessage(message, wparam, lparam);
}
