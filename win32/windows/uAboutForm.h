// The About window (AboutForm): a fixed-size modal dialog with the program's logo, name,
// version and maker, and two links that hand the maker's web and e-mail addresses to the
// shell. Made at its first showing and only hidden between showings.
#pragma once

#include <memory>
#include <string_view>

#include "win32/controls/child_controls.h"
#include "win32/controls/png_picture.h"
#include "win32/windows/modal_window.h"

class TMainForm;

class TAboutForm : public win32::ModalWindow {
 public:
  explicit TAboutForm(TMainForm& main_form);
  ~TAboutForm() override;

  // Makes the window and its controls, hidden, scaled to the density found now, and decodes
  // the logo. Throws when the logo resource is missing or damaged.
  void Create() override;

  HWND imgLogo = nullptr;
  HWND lbl1 = nullptr;
  HWND lbl6 = nullptr;
  HWND lblVersion = nullptr;
  HWND lbl3 = nullptr;
  HWND lbl2 = nullptr;
  HWND lbl4 = nullptr;
  HWND lbl5 = nullptr;
  HWND lbl9 = nullptr;
  HWND lbl11 = nullptr;
  HWND lbl8 = nullptr;
  HWND lbl10 = nullptr;

  // What the links hand their addresses to: the shell's "open", unless a test puts its own.
  using AddressOpener = void (*)(std::u16string_view address);
  void SetAddressOpener(AddressOpener opener) { open_address_ = opener; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // The web link and the e-mail link: their fixed addresses to the shell, the result unread.
  void lbl2Click();
  void lbl5Click();
  // Fonts, places and sizes of the window and its labels at scaling_.
  void LayOut();
  // The logo at its own size, centred in its box, shrunk only where the box is smaller.
  void DrawLogo(const DRAWITEMSTRUCT& item) const;
  bool IsLink(HWND control) const {
    return control != nullptr && (control == lbl2 || control == lbl5);
  }

  TMainForm& main_form_;
  win32::Scaling scaling_;
  std::unique_ptr<win32::DesignFont> window_font_;
  std::unique_ptr<win32::DesignFont> title_font_;
  std::unique_ptr<win32::DesignFont> link_font_;
  win32::Picture logo_;
  win32::Bitmap logo_bitmap_;
  AddressOpener open_address_;
};

// Set at start-up, before the operator window is shown; valid until the windows are destroyed.
extern TAboutForm* AboutForm;
