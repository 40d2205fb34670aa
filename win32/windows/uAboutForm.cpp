// The About window: the logo, the program's name and version, the maker, and two links.
#include "win32/windows/uAboutForm.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "core/failure.h"
#include "core/text.h"
#include "core/window_layout.h"
#include "core/window_texts.h"
#include "queue_version.h"
#include "win32/controls/accessible_name.h"
#include "win32/controls/keyboard_link.h"
#include "win32/controls/wide_text.h"
#include "win32/scaling/display_density.h"
#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/shell/libraries_on_use.h"
#include "win32/theme/high_contrast.h"
#include "win32/theme/themed_windows.h"
#include "win32/windows/mainUnit.h"

TAboutForm* AboutForm = nullptr;

namespace {

using namespace queue::layout;

constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// A dialog frame with a close button only.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

enum ControlId {
  kLogoId = 100,
  kTitleId,
  kVersionCaptionId,
  kVersionId,
  kSiteCaptionId,
  kSiteId,
  kMailCaptionId,
  kMailId,
  kCompanyCaptionId,
  kCompanyId,
  kAuthorCaptionId,
  kAuthorId
};

// The edge on which a label's column lines up: captions end on one, values begin on another.
enum class AlignedEdge { kLeft, kRight };

struct SizedLabel {
  HWND TAboutForm::*label;
  win32::DesignRect design;  // the text's place in the design font
  AlignedEdge edge;
};

constexpr SizedLabel kSizedLabels[] = {
    {&TAboutForm::lbl6, kVersionCaptionText, AlignedEdge::kRight},
    {&TAboutForm::lbl3, kSiteCaptionText, AlignedEdge::kRight},
    {&TAboutForm::lbl2, kSiteLinkText, AlignedEdge::kLeft},
    {&TAboutForm::lbl4, kMailCaptionText, AlignedEdge::kRight},
    {&TAboutForm::lbl5, kMailLinkText, AlignedEdge::kLeft},
    {&TAboutForm::lbl9, kCompanyCaptionText, AlignedEdge::kRight},
    {&TAboutForm::lbl11, kCompanyValueText, AlignedEdge::kLeft},
    {&TAboutForm::lbl8, kAuthorCaptionText, AlignedEdge::kRight},
    {&TAboutForm::lbl10, kAuthorValueText, AlignedEdge::kLeft},
};

std::string_view LogoResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, L"LOGO", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    throw queue::Failure(queue::CoreFailure::kGeneric,
                         "The About window's logo resource is missing");
  }
  return {static_cast<const char*>(bytes), SizeofResource(module, found)};
}

win32::Bitmap MakeBitmap(const win32::Picture& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "The About window's logo cannot be made");
  }
  std::memcpy(bits, picture.bgra.data(), picture.bgra.size());
  return bitmap;
}

void OpenAddress(std::u16string_view address) {
  // Whether a browser or mail program took the address is the shell's affair: the window
  // reports nothing either way. A shell that cannot be loaded is a failure of the click.
  win32::ShellOpen(win32::HiddenApplicationWindow(), win32::WideString(address));
}

}  // namespace

TAboutForm::TAboutForm(TMainForm& main_form) : main_form_(main_form), open_address_(&OpenAddress) {}

// The window and its labels go before the fonts and the logo they draw with (members, freed
// after this body).
TAboutForm::~TAboutForm() {
  DestroyNative();
}

void TAboutForm::Create() {
  logo_ = win32::DecodePng(LogoResource());
  logo_bitmap_ = MakeBitmap(logo_);
  CreateNative({L"TAboutForm", reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kStyle, kExStyle,
                main_form_.hwnd()},
               win32::WideString(queue::texts::kAboutCaption).c_str());
  scaling_ = win32::Scaling(win32::DensityOfWindowMonitor(win32::HiddenApplicationWindow()));
  win32scaling::MarkDensity(hwnd(), static_cast<UINT>(scaling_.density()));
  const DWORD label = SS_LEFT | SS_NOPREFIX;
  imgLogo = win32::MakeChild(hwnd(), L"STATIC", u"", SS_OWNERDRAW, kLogoId);
  lbl1 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kProductTitle.caption, label, kTitleId);
  lbl6 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kVersionCaption.caption, label,
                          kVersionCaptionId);
  lblVersion =
      win32::MakeChild(hwnd(), L"STATIC", queue::Widen(queue::kVersionText), label, kVersionId);
  lbl3 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kSiteCaption.caption, label,
                          kSiteCaptionId);
  lbl2 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kSiteLink.caption,
                          label | SS_NOTIFY | WS_TABSTOP, kSiteId);
  lbl4 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kMailCaption.caption, label,
                          kMailCaptionId);
  lbl5 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kMailLink.caption,
                          label | SS_NOTIFY | WS_TABSTOP, kMailId);
  lbl9 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kCompanyCaption.caption, label,
                          kCompanyCaptionId);
  lbl11 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kCompany.caption, label, kCompanyId);
  lbl8 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kAuthorCaption.caption, label,
                          kAuthorCaptionId);
  lbl10 = win32::MakeChild(hwnd(), L"STATIC", queue::texts::kAuthor.caption, label, kAuthorId);
  // Each caption is made just before its value, so that a screen reader takes it for the
  // value's label; the other labels are named by their texts.
  win32::NameForScreenReader(imgLogo, queue::texts::kLogo);
  for (const auto& [link, text] :
       {std::pair{lbl2, queue::texts::kSiteLink}, std::pair{lbl5, queue::texts::kMailLink}}) {
    win32::ActAsKeyboardLink(link);
    win32::NameForScreenReader(link,
                               win32::ScreenReaderText{text.name, text.description, /*link=*/true});
  }
  LayOut();
}

void TAboutForm::LayOut() {
  window_font_ = std::make_unique<win32::DesignFont>(kWindowFontPixels, scaling_);
  title_font_ = std::make_unique<win32::DesignFont>(kAboutTitleFontPixels, scaling_);
  link_font_ = std::make_unique<win32::DesignFont>(kWindowFontPixels, scaling_,
                                                   win32::DesignFont::Style{.underline = true});
  win32::PlaceChild(imgLogo, kLogo, scaling_);
  win32::SetControlFont(lbl1, title_font_->handle());
  win32::PlaceChild(lbl1, kAboutTitle, scaling_);
  win32::SetControlFont(lblVersion, window_font_->handle());
  win32::PlaceChild(lblVersion, kVersionValue, scaling_);
  for (const SizedLabel& sized : kSizedLabels) {
    HWND label = this->*sized.label;
    HFONT font = IsLink(label) ? link_font_->handle() : window_font_->handle();
    win32::SetControlFont(label, font);
    const SIZE text = win32::TextSize(hwnd(), font, win32::WindowText(label));
    const RECT design = scaling_.Rect(sized.design);
    const int left = sized.edge == AlignedEdge::kRight ? design.right - text.cx : design.left;
    SetWindowPos(label, nullptr, left, design.top, text.cx, text.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const SIZE outer = win32scaling::OuterSizeForClient(
      {scaling_(kAboutClient.width), scaling_(kAboutClient.height)}, kStyle, kExStyle,
      static_cast<UINT>(scaling_.density()));
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TAboutForm::DrawLogo(const DRAWITEMSTRUCT& item) const {
  const RECT& box = item.rcItem;
  FillRect(item.hDC, &box, win32theme::WindowBackgroundBrush(GetSysColorBrush(COLOR_BTNFACE)));
  const int box_width = box.right - box.left;
  const int box_height = box.bottom - box.top;
  int width = logo_.width;
  int height = logo_.height;
  if (width > box_width || height > box_height) {
    // Shrunk keeping its proportions; never enlarged.
    if (static_cast<long long>(box_width) * height <= static_cast<long long>(box_height) * width) {
      height = MulDiv(height, box_width, width);
      width = box_width;
    } else {
      width = MulDiv(width, box_height, height);
      height = box_height;
    }
  }
  const win32::MemoryDc picture_dc(item.hDC);
  const win32::SavedDcState saved(picture_dc.get());
  SelectObject(picture_dc.get(), logo_bitmap_.get());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  // gdi32's own AlphaBlend: msimg32.dll's would be one more library loaded at every start.
  GdiAlphaBlend(item.hDC, box.left + (box_width - width) / 2, box.top + (box_height - height) / 2,
                width, height, picture_dc.get(), 0, 0, logo_.width, logo_.height, blend);
}

void TAboutForm::lbl2Click() {
  open_address_(queue::texts::kWebAddress);
}

void TAboutForm::lbl5Click() {
  open_address_(queue::texts::kMailAddress);
}

LRESULT TAboutForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      // Labels have no background of their own; the links are blue, or the system's colour of
      // links under high contrast.
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkMode(dc, TRANSPARENT);
      const bool high_contrast = win32theme::HighContrastOn();
      if (IsLink(reinterpret_cast<HWND>(lparam)))
        SetTextColor(dc, high_contrast ? GetSysColor(COLOR_HOTLIGHT) : kLinkColour);
      else
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->hwndItem != imgLogo) break;
      DrawLogo(*item);
      return TRUE;
    }
    case WM_SETCURSOR:
      if (IsLink(reinterpret_cast<HWND>(wparam))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wparam) == STN_CLICKED) {
        if (LOWORD(wparam) == kSiteId) lbl2Click();
        if (LOWORD(wparam) == kMailId) lbl5Click();
        return 0;
      }
      break;
    default:
      break;
  }
  return ModalWindow::HandleMessage(message, wparam, lparam);
}
