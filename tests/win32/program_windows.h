// The program's three windows made in a test's own process as the start-up makes them (the
// theme and density hooks, the application object, the theme, then the operator window and the
// settings object's FormCreate), with the settings and About windows made at once rather than
// at their first showing, with the program's resources and manifest linked in; and their end.
#pragma once

#include <gtest/gtest.h>

#include "win32/scaling/window_scaling.h"
#include "win32/shell/application.h"
#include "win32/theme/theme_hook.h"
#include "win32/theme/theme_request_win.h"
#include "win32/theme/win_theme.h"
#include "win32/windows/mainUnit.h"
#include "win32/windows/setupUnit.h"
#include "win32/windows/uAboutForm.h"

namespace program_windows {

inline win32::Application* application = nullptr;

// From a suite's SetUpTestSuite.
inline void Make() {
  win32theme::InstallThemeHook();
  win32scaling::InstallDensityHook();
  application = new win32::Application;
  ASSERT_TRUE(win32theme::RequestTheme(win32theme::kThemeName, false));
  MainForm = new TMainForm;
  MainForm->Create();
  SetupForm = new TSetupForm(*MainForm);
  SetupForm->FormCreate();
  SetupForm->Create();
  AboutForm = new TAboutForm(*MainForm);
  AboutForm->Create();
}

// From the suite's TearDownTestSuite.
inline void Destroy() {
  delete AboutForm;
  delete SetupForm;
  delete MainForm;
  delete application;
  win32theme::RemoveThemeHook();
  win32scaling::RemoveDensityHook();
}

}  // namespace program_windows
