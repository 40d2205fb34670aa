// The settings window (SetupForm): the window number and the queue server address. Its two
// input controls are the program's only store of these values during a run; its Save button
// only writes the window number into the operator window's caption.
#pragma once

#include <memory>
#include <string>

#include "win32/controls/child_controls.h"
#include "win32/windows/modal_window.h"

class TMainForm;

class TSetupForm : public win32::ModalWindow {
 public:
  // Belongs to the operator window, whose caption its Save writes.
  explicit TSetupForm(TMainForm& main_form);
  // The window and its controls go before the fonts they draw with.
  ~TSetupForm() override;

  // Makes the window and its controls, hidden, scaled to the density found now; FormCreate
  // runs last.
  void Create();

  HWND operatorLabel = nullptr;
  HWND serverLabel = nullptr;
  HWND serverEdit = nullptr;
  HWND operatorSelect = nullptr;
  HWND btn1 = nullptr;
  HWND btn2 = nullptr;

  // "Сохранить": the operator window's caption becomes the role label, " - " and the number.
  void btn1Click();
  // "Закрыть": ends the modal showing; the values stay as they are.
  void btn2Click();
  // Composes the operator window's caption as Save does.
  void FormCreate();

  // The chosen number's text ("" when none), its item index (-1 for none), the address.
  std::u16string WindowNumberText() const;
  int WindowNumberIndex() const;
  void SetWindowNumberIndex(int index);
  std::u16string ServerAddress() const;
  void SetServerAddress(const std::u16string& address);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // Fonts, places and sizes of the window and its controls at scaling_.
  void LayOut();

  TMainForm& main_form_;
  win32::Scaling scaling_;
  std::unique_ptr<win32::DesignFont> control_font_;
  std::unique_ptr<win32::DesignFont> label_font_;  // only where the design font is missing
};

// Set at start-up before the window is made; valid until the windows are destroyed.
extern TSetupForm* SetupForm;
