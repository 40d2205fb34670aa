// The settings window (SetupForm): the window number and the queue server address. Its two
// input controls are the program's only store of these values during a run once the window is
// made (at its first showing); until then this object keeps the values the controls will be
// made with. Its Save button only writes the window number into the operator window's caption.
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

  // Makes the window and its controls, hidden, scaled to the density found now, the controls
  // holding the values set so far.
  void Create() override;

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
  // Composes the operator window's caption as Save does; run at start-up, when this object is
  // made, whether or not the window is.
  void FormCreate();

  // The chosen number's text ("" when none), its item index (-1 for none), the address: the
  // controls' once the window is made, as the controls will hold them before.
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
  // What the controls are made with, and whether they are made and hold the values instead.
  std::u16string server_address_;
  int window_number_index_;
  bool made_ = false;
  win32::Scaling scaling_;
  std::unique_ptr<win32::DesignFont> control_font_;
  std::unique_ptr<win32::DesignFont> label_font_;  // only where the design font is missing
};

// Set at start-up, before the operator window is shown; valid until the windows are destroyed.
extern TSetupForm* SetupForm;
