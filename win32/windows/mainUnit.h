// The operator window (MainForm): the big list with the last answer, the "Следующий" button
// that asks the queue server for the next visitor, the small "S", "H" and "?" buttons, the
// answer log and the HTTP client the requests go through. It is the program's main window:
// it carries the taskbar button, and closing it ends the program.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "queueclient/http_client.h"
#include "settings/stored_rectangle.h"
#include "win32/controls/child_controls.h"
#include "win32/windows/window.h"

class TMainForm : public win32::Window {
 public:
  TMainForm();
  ~TMainForm() override;

  // Makes the window and its controls, hidden, scaled to the density found now.
  void Create();
  // Shows the window in the state the show command asks for; FormShow runs first, before
  // the window is drawn, and a failure of it is shown while the window is shown all the same.
  void Show(int show_command);

  // What the window asks of the desktop when it takes its stored rectangle: the monitors, and
  // the density of the monitor a rectangle (screen coordinates) lies on. The system's unless
  // replaced before FormShow.
  struct Desktop {
    std::function<settings::ScreenAreas()> screens;
    std::function<UINT(const RECT&)> density_at;
  };
  Desktop desktop;

  HWND queueList = nullptr;
  HWND nextButton = nullptr;
  HWND mmo1 = nullptr;
  queue::HttpClient idhtp1;
  HWND grp1 = nullptr;
  HWND btn2 = nullptr;
  HWND btn1 = nullptr;
  HWND btn3 = nullptr;

  // Sets the caption and loads the settings.
  void FormShow();
  // Saves the settings; a failure keeps the window open.
  void FormClose();
  // The Next action.
  void btn1Click();
  // "S": the settings window, modally.
  void btn2Click();
  // "?": the About window, modally.
  void btn3Click();

  // The Next action's steps once the answer is there: the log, then the list, whose new value
  // is announced to screen readers.
  void ShowAnswer(const std::u16string& answer);

  // At log-off or shut-down the window is not closed, so FormClose does not run; the settings
  // are written here instead, unless a close has written them. A failure is ignored: nobody
  // is left to read a box.
  void SaveSettingsAtSessionEnd() noexcept;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // The two right-hand controls keep their widths at full client height; the list takes the
  // rest of the width at the height of its font; the log keeps its place.
  void AlignControls();
  void SaveSettings();
  void AppendToLog(const std::u16string& answer);

  win32::Scaling scaling_;
  std::unique_ptr<win32::DesignFont> window_font_;
  std::unique_ptr<win32::DesignFont> next_font_;
  std::unique_ptr<win32::DesignFont> list_font_;
  bool closed_ = false;
};

// Set at start-up before the window is made; valid until the windows are destroyed.
extern TMainForm* MainForm;

// The role that begins the operator window's caption: empty until the window is first shown.
extern std::u16string RoleLabel;
