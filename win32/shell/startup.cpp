// Start-up, run and shut-down.
#include "win32/shell/startup.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/shell/message_loop.h"
#include "win32/shell/startup_failure_box_win.h"
#include "win32/theme/theme_hook.h"
#include "win32/theme/theme_request_win.h"
#include "win32/windows/mainUnit.h"
#include "win32/windows/setupUnit.h"
#include "win32/windows/uAboutForm.h"

namespace win32 {
namespace {

// The windows, destroyed in reverse order of making however the run ends.
class Windows {
 public:
  Windows() = default;
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;
  ~Windows() {
    about_.reset();
    AboutForm = nullptr;
    setup_.reset();
    SetupForm = nullptr;
    main_.reset();
    MainForm = nullptr;
  }

  // Each reference is set before its window is made, so a handler that runs while it is made
  // finds it. The settings and About windows are made at their first showing (ShowModal);
  // until then the settings object keeps the settings, and its FormCreate writes the operator
  // window's caption now as it always has.
  void Create() {
    main_ = std::make_unique<TMainForm>();
    MainForm = main_.get();
    MainForm->Create();
    setup_ = std::make_unique<TSetupForm>(*MainForm);
    SetupForm = setup_.get();
    SetupForm->FormCreate();
    about_ = std::make_unique<TAboutForm>(*MainForm);
    AboutForm = about_.get();
  }

 private:
  std::unique_ptr<TMainForm> main_;
  std::unique_ptr<TSetupForm> setup_;
  std::unique_ptr<TAboutForm> about_;
};

void LoadCommonControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
}

}  // namespace

int RunProgram(int show_command) {
  std::unique_ptr<Application> application;
  Windows windows;
  try {
    LoadCommonControls();
    // Installed first, so every window made from here on, the system's boxes included, is
    // drawn in the theme once it is active and follows its monitor's density.
    win32theme::InstallThemeHook();
    win32scaling::InstallDensityHook();
    application = std::make_unique<Application>();
    static_cast<void>(win32theme::RequestTheme(win32theme::kThemeName, true));
    windows.Create();
  } catch (...) {
    ShowStartupFailure(std::current_exception());
    return 1;
  }
  application->SetSessionEndHandler([] { MainForm->SaveSettingsAtSessionEnd(); });
  MainForm->Show(show_command);
  const LoopEnd end = RunMessageLoop([] { return false; });
  return end.exit_code;
}

}  // namespace win32
