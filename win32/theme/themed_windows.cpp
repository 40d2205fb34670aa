// The subclasses that draw windows and controls in the active theme.
#include "win32/theme/themed_windows.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "win32/controls/gdi_handles.h"
#include "win32/scaling/window_scaling.h"
#include "win32/theme/callback_guard.h"
#include "win32/theme/control_painting.h"
#include "win32/theme/high_contrast.h"
#include "win32/theme/win_theme.h"

namespace win32theme {
namespace {

// One subclass id per kind, so a window is never attached twice for the same drawing.
constexpr UINT_PTR kWindowSubclass = 0x51A0;
constexpr UINT_PTR kButtonSubclass = 0x51A1;
constexpr UINT_PTR kGroupSubclass = 0x51A2;
constexpr UINT_PTR kEditSubclass = 0x51A3;
constexpr UINT_PTR kComboSubclass = 0x51A4;
constexpr UINT_PTR kComboListSubclass = 0x51A5;
constexpr UINT_PTR kToolTipSubclass = 0x51A6;
constexpr UINT_PTR kMenuSubclass = 0x51A7;
// Asks a popup menu's window for its menu (not in the headers of every system).
constexpr UINT kGetMenuMessage = 0x01E1;  // MN_GETHMENU

// Marks a window whose drawing is attached, so that it is never attached twice.
constexpr wchar_t kAttachedProperty[] = L"QueueOperator.Themed";

// Bounds the text a control's drawing reads back from it.
constexpr int kMaxDrawnText = 4096;

// Ends an attachment: the subclass goes, and the mark with it.
template <typename Proc>
void Detach(HWND window, Proc proc, UINT_PTR id) {
  RemoveWindowSubclass(window, proc, id);
  RemovePropW(window, kAttachedProperty);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::u16string TextOf(HWND window) {
  const int length = std::min(GetWindowTextLengthW(window), kMaxDrawnText);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int got = GetWindowTextW(window, reinterpret_cast<LPWSTR>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

// The density of the control's window (the system's boxes: the design density).
int DensityOf(HWND control) {
  return static_cast<int>(win32scaling::CurrentDensity(GetAncestor(control, GA_ROOT)));
}

bool HidesAccelerators(HWND window) {
  return (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
}

void Redraw(HWND window, bool frame = false) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | (frame ? RDW_FRAME : 0));
}

// The colours a child asks its parent for. A label that chose its own text colour (its
// window's handler set one other than the system's) keeps it.
LRESULT AnswerStaticColour(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                           const WinTheme& theme) {
  const auto dc = reinterpret_cast<HDC>(wparam);
  const auto child = reinterpret_cast<HWND>(lparam);
  const auto& c = theme.colours();
  if (ClassOf(child) == L"Edit") {  // a read-only or disabled edit field
    SetTextColor(dc, ToColorRef(IsWindowEnabled(child) ? c.edit_text : c.edit_disabled_text));
    SetBkColor(dc, ToColorRef(c.edit_disabled_background));
    return reinterpret_cast<LRESULT>(theme.edit_disabled_brush());
  }
  DefSubclassProc(window, message, wparam, lparam);
  const COLORREF chosen = GetTextColor(dc);
  const bool own_colour =
      chosen != GetSysColor(COLOR_WINDOWTEXT) && chosen != GetSysColor(COLOR_BTNTEXT);
  if (!IsWindowEnabled(child))
    SetTextColor(dc, ToColorRef(c.disabled_text));
  else if (!own_colour)
    SetTextColor(dc, ToColorRef(c.window_text));
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, ToColorRef(c.window));
  return reinterpret_cast<LRESULT>(theme.window_brush());
}

// The theme's background, or the system's (null) while high contrast is on.
void GiveMenuBackground(HMENU menu, HBRUSH background) {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = background;
  SetMenuInfo(menu, &info);
}

// A subclass procedure of the theme: `Body` behind the barrier, so no failure of the drawing
// reaches the system's frames; the control is then drawn as the system draws it.
template <SUBCLASSPROC Body>
LRESULT CALLBACK Guarded(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                         DWORD_PTR ref) noexcept {
  return WithoutEscape(
      L"The theme's drawing of a window failed; the system draws it",
      [&] { return Body(window, message, wparam, lparam, id, ref); },
      [&] { return DefSubclassProc(window, message, wparam, lparam); });
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                            DWORD_PTR) {
  const WinTheme* theme = DrawnTheme();
  if (message == WM_NCDESTROY) {
    Detach(window, Guarded<WindowProc>, id);
    return DefSubclassProc(window, message, wparam, lparam);
  }
  // High contrast turned on or off, or the system's colours changed: the theme's drawing stops
  // or resumes, and the window with every control in it is drawn anew.
  if (ChangesSystemLook(message, wparam)) {
    FollowSystemLook(window);
    return DefSubclassProc(window, message, wparam, lparam);
  }
  if (!theme) return DefSubclassProc(window, message, wparam, lparam);
  const auto& c = theme->colours();
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillWindowBackground(reinterpret_cast<HDC>(wparam), client, *theme);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return AnswerStaticColour(window, message, wparam, lparam, *theme);
    case WM_CTLCOLOREDIT: {
      const auto dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, ToColorRef(c.edit_text));
      SetBkColor(dc, ToColorRef(c.edit_background));
      return reinterpret_cast<LRESULT>(theme->edit_brush());
    }
    case WM_CTLCOLORLISTBOX: {
      const auto dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, ToColorRef(c.edit_text));
      SetBkColor(dc, ToColorRef(c.list_background));
      return reinterpret_cast<LRESULT>(theme->list_brush());
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
      const auto dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, ToColorRef(c.window_text));
      SetBkColor(dc, ToColorRef(c.window));
      return reinterpret_cast<LRESULT>(theme->window_brush());
    }
    case WM_CTLCOLORSCROLLBAR:
      return reinterpret_cast<LRESULT>(theme->scroll_track_brush());
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

// Answers WM_PAINT and WM_PRINTCLIENT with `paint(dc)`: into the window's own device context,
// or into the one the message brings.
template <typename Paint>
LRESULT PaintInto(HWND window, UINT message, WPARAM wparam, const Paint& paint) {
  if (message == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wparam));
  } else {
    const win32::PaintDc dc(window);
    paint(dc.get());
  }
  return 0;
}

// Hot tracking of a button: the mouse entering marks it hot until it leaves.
struct ButtonData {
  bool hot = false;
};

ButtonState StateOf(HWND button, const ButtonData& data) {
  if (!IsWindowEnabled(button)) return ButtonState::kDisabled;
  if (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) return ButtonState::kPressed;
  return data.hot ? ButtonState::kHot : ButtonState::kNormal;
}

void PaintButtonWindow(HWND button, HDC dc, const ButtonData& data, const WinTheme& theme) {
  RECT client;
  GetClientRect(button, &client);
  PaintButton(dc, client, StateOf(button, data), GetFocus() == button, FontOf(button),
              TextOf(button), HidesAccelerators(button), DensityOf(button), theme);
}

// The messages after which a standard control's look may have changed: it is drawn anew.
bool ChangesLook(UINT message) {
  switch (message) {
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_CLICK:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case WM_SETFONT:
    case CB_SETCURSEL:
    case CB_RESETCONTENT:
    case CB_SHOWDROPDOWN:
    case CB_ADDSTRING:
    case CB_DELETESTRING:
    case WM_COMMAND:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                            DWORD_PTR ref) {
  auto* data = reinterpret_cast<ButtonData*>(ref);
  const WinTheme* theme = DrawnTheme();
  switch (message) {
    case WM_NCDESTROY:
      Detach(button, Guarded<ButtonProc>, id);
      delete data;
      return DefSubclassProc(button, message, wparam, lparam);
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (!theme) break;
      return PaintInto(button, message, wparam,
                       [&](HDC dc) { PaintButtonWindow(button, dc, *data, *theme); });
    case WM_ERASEBKGND:
      if (theme) return 1;  // the painting covers every pixel
      break;
    case WM_MOUSEMOVE:
      if (!data->hot) {
        data->hot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, 0};
        TrackMouseEvent(&track);
        InvalidateRect(button, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      data->hot = false;
      InvalidateRect(button, nullptr, FALSE);
      break;
    default:
      break;
  }
  const LRESULT result = DefSubclassProc(button, message, wparam, lparam);
  if (theme && ChangesLook(message)) Redraw(button);
  return result;
}

LRESULT CALLBACK GroupProc(HWND group, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR) {
  const WinTheme* theme = DrawnTheme();
  switch (message) {
    case WM_NCDESTROY:
      Detach(group, Guarded<GroupProc>, id);
      break;
    case WM_PAINT: {
      if (!theme) break;
      const win32::PaintDc dc(group);
      RECT client;
      GetClientRect(group, &client);
      PaintGroupFrame(dc.get(), client, FontOf(group), TextOf(group), IsWindowEnabled(group),
                      DensityOf(group), *theme);
      return 0;
    }
    case WM_ERASEBKGND:
      if (!theme) break;
      {
        // The box's inside shows the window's background, around the controls that lie in it.
        const auto dc = reinterpret_cast<HDC>(wparam);
        RECT client;
        GetClientRect(group, &client);
        const win32::SavedDcState saved(dc);
        HWND parent = GetParent(group);
        for (HWND sibling = GetWindow(parent, GW_CHILD); sibling;
             sibling = GetWindow(sibling, GW_HWNDNEXT)) {
          if (sibling == group || !IsWindowVisible(sibling)) continue;
          RECT r;
          GetWindowRect(sibling, &r);
          MapWindowPoints(nullptr, group, reinterpret_cast<POINT*>(&r), 2);
          ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        }
        FillWindowBackground(dc, client, *theme);
        return 1;
      }
    default:
      break;
  }
  const LRESULT result = DefSubclassProc(group, message, wparam, lparam);
  if (theme && (message == WM_SETTEXT || message == WM_ENABLE)) Redraw(group);
  return result;
}

bool HasScrollBars(HWND field) {
  return (GetWindowLongPtrW(field, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0;
}

// The outermost ring of a field's frame in the theme's border colour, over what the system drew.
void OutlineFrame(HWND field, theme::Rgb border, const WinTheme& theme) {
  RECT window_rect;
  GetWindowRect(field, &window_rect);
  OffsetRect(&window_rect, -window_rect.left, -window_rect.top);
  const win32::WindowDc dc(field, win32::WindowDc::Area::kWhole);
  const win32::SavedDcState saved(dc.get());
  SelectObject(dc.get(), theme.Pen(border));
  SelectObject(dc.get(), GetStockObject(NULL_BRUSH));
  Rectangle(dc.get(), window_rect.left, window_rect.top, window_rect.right, window_rect.bottom);
}

// The frame of a field (edit, open list): one pixel in the theme's border colour, the rest of
// the system's frame in the field's background. A field with scroll bars keeps the system's
// frame, scroll bars included, but for its outer ring (see OutlineFrame).
bool PaintFrame(HWND field, theme::Rgb border, HBRUSH fill, const WinTheme& theme) {
  if (HasScrollBars(field)) return false;
  RECT window_rect;
  GetWindowRect(field, &window_rect);
  RECT client;
  GetClientRect(field, &client);
  MapWindowPoints(field, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window_rect.left, -window_rect.top);
  OffsetRect(&window_rect, -window_rect.left, -window_rect.top);
  if (EqualRect(&client, &window_rect)) return false;  // no frame
  const win32::WindowDc dc(field, win32::WindowDc::Area::kWhole);
  PaintFieldFrame(dc.get(), window_rect, client, border, fill, theme);
  return true;
}

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR) {
  const WinTheme* theme = DrawnTheme();
  if (message == WM_NCDESTROY) {
    Detach(edit, Guarded<EditProc>, id);
  } else if (message == WM_NCPAINT && theme) {
    const auto& c = theme->colours();
    const bool enabled = IsWindowEnabled(edit);
    const bool read_only = GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY;
    if (PaintFrame(edit, GetFocus() == edit ? c.edit_focus_border : c.edit_border,
                   enabled && !read_only ? theme->edit_brush() : theme->edit_disabled_brush(),
                   *theme))
      return 0;
  }
  const LRESULT result = DefSubclassProc(edit, message, wparam, lparam);
  if (theme && (message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_ENABLE))
    Redraw(edit, true);
  return result;
}

void PaintComboWindow(HWND combo, HDC dc, const WinTheme& theme) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  ComboFieldLook look;
  GetClientRect(combo, &look.client);
  look.item = info.rcItem;
  look.button = info.rcButton;
  look.focused = GetFocus() == combo;
  look.dropped = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
  look.enabled = IsWindowEnabled(combo);
  look.density = DensityOf(combo);
  std::u16string text;
  const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (selected != CB_ERR) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0);
    if (length > 0 && length <= kMaxDrawnText) {
      text.resize(static_cast<std::size_t>(length) + 1);
      const LRESULT got =
          SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
      text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
  }
  PaintComboField(dc, look, FontOf(combo), text, theme);
}

LRESULT CALLBACK ComboProc(HWND combo, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR) {
  const WinTheme* theme = DrawnTheme();
  switch (message) {
    case WM_NCDESTROY:
      Detach(combo, Guarded<ComboProc>, id);
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (!theme) break;
      return PaintInto(combo, message, wparam,
                       [&](HDC dc) { PaintComboWindow(combo, dc, *theme); });
    case WM_ERASEBKGND:
      if (theme) return 1;
      break;
    default:
      break;
  }
  const LRESULT result = DefSubclassProc(combo, message, wparam, lparam);
  if (theme && ChangesLook(message)) Redraw(combo);
  return result;
}

// The open list draws its entries itself, the chosen one in the theme's highlight: the system
// would draw it in its own.
void PaintComboList(HWND list, HDC dc, const WinTheme& theme) {
  const auto& c = theme.colours();
  RECT client;
  GetClientRect(list, &client);
  FillRect(dc, &client, theme.list_brush());
  const win32::SavedDcState saved(dc);
  if (HFONT font = FontOf(list)) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const LRESULT chosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
  for (LRESULT i = std::max<LRESULT>(0, SendMessageW(list, LB_GETTOPINDEX, 0, 0)); i < count; ++i) {
    RECT item;
    if (SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)) == LB_ERR) break;
    if (item.top >= client.bottom) break;
    if (i == chosen) {
      SetDCBrushColor(dc, ToColorRef(c.highlight));
      FillRect(dc, &item, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length < 0 || length > kMaxDrawnText) continue;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    SetTextColor(dc, ToColorRef(i == chosen ? c.highlighted_text : c.edit_text));
    item.left += 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &item,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

LRESULT CALLBACK ComboListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                               DWORD_PTR) {
  const WinTheme* theme = DrawnTheme();
  switch (message) {
    case WM_NCDESTROY:
      Detach(list, Guarded<ComboListProc>, id);
      break;
    case WM_NCPAINT:
      if (!theme) break;
      if (HasScrollBars(list)) {
        // The system draws the scroll bar; the theme only its outer ring.
        const LRESULT result = DefSubclassProc(list, message, wparam, lparam);
        OutlineFrame(list, theme->colours().list_border, *theme);
        return result;
      }
      if (PaintFrame(list, theme->colours().list_border, theme->list_brush(), *theme)) return 0;
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (!theme) break;
      return PaintInto(list, message, wparam, [&](HDC dc) { PaintComboList(list, dc, *theme); });
    case WM_ERASEBKGND:
      if (theme) return 1;
      break;
    default:
      break;
  }
  const LRESULT result = DefSubclassProc(list, message, wparam, lparam);
  // The list draws a newly chosen entry straight away, in the system's highlight: drawn anew.
  if (theme && (message == WM_MOUSEMOVE || message == WM_KEYDOWN || message == LB_SETCURSEL ||
                message == WM_LBUTTONDOWN || message == WM_TIMER || message == WM_VSCROLL ||
                message == WM_MOUSEWHEEL || message == LB_SETTOPINDEX))
    Redraw(list);
  return result;
}

LRESULT CALLBACK ToolTipProc(HWND tip, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                             DWORD_PTR) {
  if (message == WM_NCDESTROY) Detach(tip, Guarded<ToolTipProc>, id);
  const LRESULT result = DefSubclassProc(tip, message, wparam, lparam);
  if (message == WM_CREATE && result != -1) {
    if (const WinTheme* theme = DrawnTheme()) {
      // The visual style would ignore the colours given below.
      SetWindowTheme(tip, L"", L"");
      SendMessageW(tip, TTM_SETTIPBKCOLOR, ToColorRef(theme->colours().tooltip_background), 0);
      SendMessageW(tip, TTM_SETTIPTEXTCOLOR, ToColorRef(theme->colours().tooltip_text), 0);
    }
  }
  return result;
}

// A popup menu's items are drawn inside the system's menu code, out of a subclass's reach; its
// background is the menu's own setting, given as the menu's window is made, before it is drawn.
LRESULT CALLBACK MenuProc(HWND menu_window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR) {
  if (message == WM_NCDESTROY) Detach(menu_window, Guarded<MenuProc>, id);
  const LRESULT result = DefSubclassProc(menu_window, message, wparam, lparam);
  const WinTheme* theme = DrawnTheme();
  if (message == WM_CREATE || message == WM_SHOWWINDOW) {
    if (auto menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, kGetMenuMessage, 0, 0)))
      GiveMenuBackground(menu, theme ? theme->menu_brush() : nullptr);
  }
  return result;
}

}  // namespace

ThemedKind KindOf(const wchar_t* class_name, DWORD style) {
  const std::wstring name = class_name ? class_name : L"";
  const auto same = [&](const wchar_t* other) {
    return CompareStringOrdinal(name.c_str(), -1, other, -1, TRUE) == CSTR_EQUAL;
  };
  if (same(L"Button")) {
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        return ThemedKind::kPushButton;
      case BS_GROUPBOX:
        return ThemedKind::kGroupBox;
      default:
        return ThemedKind::kNone;
    }
  }
  if (same(L"Edit")) return ThemedKind::kEdit;
  if (same(L"ComboBox")) {
    return (style & 0x3) == CBS_DROPDOWNLIST ? ThemedKind::kComboBox : ThemedKind::kNone;
  }
  if (same(L"ComboLBox")) return ThemedKind::kComboList;
  if (same(TOOLTIPS_CLASSW)) return ThemedKind::kToolTip;
  if (same(L"#32768")) return ThemedKind::kMenu;
  if (same(L"#32770") || !(style & WS_CHILD)) return ThemedKind::kWindow;
  return ThemedKind::kNone;
}

bool AttachTheme(HWND window, ThemedKind kind) {
  if (!ActiveTheme()) return false;
  if (GetPropW(window, kAttachedProperty)) return true;
  if (!SetPropW(window, kAttachedProperty, reinterpret_cast<HANDLE>(1))) return false;
  switch (kind) {
    case ThemedKind::kWindow:
      return SetWindowSubclass(window, Guarded<WindowProc>, kWindowSubclass, 0);
    case ThemedKind::kPushButton: {
      auto* data = new ButtonData;
      if (SetWindowSubclass(window, Guarded<ButtonProc>, kButtonSubclass,
                            reinterpret_cast<DWORD_PTR>(data)))
        return true;
      delete data;
      return false;
    }
    case ThemedKind::kGroupBox:
      return SetWindowSubclass(window, Guarded<GroupProc>, kGroupSubclass, 0);
    case ThemedKind::kEdit:
      return SetWindowSubclass(window, Guarded<EditProc>, kEditSubclass, 0);
    case ThemedKind::kComboBox:
      return SetWindowSubclass(window, Guarded<ComboProc>, kComboSubclass, 0);
    case ThemedKind::kComboList:
      return SetWindowSubclass(window, Guarded<ComboListProc>, kComboListSubclass, 0);
    case ThemedKind::kToolTip:
      return SetWindowSubclass(window, Guarded<ToolTipProc>, kToolTipSubclass, 0);
    case ThemedKind::kMenu:
      return SetWindowSubclass(window, Guarded<MenuProc>, kMenuSubclass, 0);
    case ThemedKind::kNone:
      break;
  }
  return false;
}

HBRUSH WindowBackgroundBrush(HBRUSH standard) {
  const WinTheme* theme = DrawnTheme();
  return theme ? theme->window_brush() : standard;
}

bool AttachTheme(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return AttachTheme(window,
                     KindOf(name, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE))));
}

}  // namespace win32theme
