// Start-up, run and shut-down.
#include "app/startup.h"

#include <QApplication>
#include <QFileInfo>

#include "app/session_end.h"
#include "app/show_command.h"
#include "app/startup_failure_box.h"
#include "core/scope_exit.h"
#include "forms/design_font.h"
#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "forms/uAboutForm.h"
#include "theme/theme_request.h"

namespace app {
namespace {

template <class Form>
void DestroyForm(Form*& reference) noexcept {
  delete reference;
  reference = nullptr;
}

}  // namespace

void CreateWindows() {
  theme::RequestTheme(theme::kThemeName, true);
  // While the windows are made, the windows' own font stands in as the application's. A text
  // field lays its (even empty) text out in the application's font the moment it is made, before
  // it takes its window's font; resolving a font is the costliest step of a start-up, and no
  // window draws in the application's font. Every window and control gives its font itself, so
  // putting the application's font back changes none of them.
  const QFont application_font = QApplication::font();
  QApplication::setFont(forms::DesignFont(forms::kWindowFontPixels));
  const queue::ScopeExit restore_font(
      [&application_font] { QApplication::setFont(application_font); });
  // Each window is made whole, then its reference is set, then what must see the reference
  // runs. The settings and About windows belong to the operator window: they are dialogs
  // owned by it, so the desktop lists only the main window with the program's taskbar button.
  MainForm = new TMainForm();
  SetupForm = new TSetupForm(*MainForm);
  SetupForm->FormCreate();
  AboutForm = new TAboutForm(MainForm);
  MainForm->SetDialogs(*SetupForm, *AboutForm);
  // The main window's native window is made at once, still hidden.
  MainForm->winId();
}

void ShowMainWindow(Qt::WindowState state) {
  MainForm->setWindowState(state);
  MainForm->show();
}

void DestroyWindows() noexcept {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowType() == Qt::Popup) window->hide();
  }
  DestroyForm(AboutForm);
  DestroyForm(SetupForm);
  DestroyForm(MainForm);
}

int RunProgram() {
  try {
    CreateWindows();
  } catch (...) {
    ShowStartupFailure(std::current_exception(),
                       QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    DestroyWindows();
    return 1;
  }
  SaveSettingsWhenSessionEnds();
  ShowMainWindow(WindowStateForShowCommand(RequestedShowCommand()));
  const int exit_code = QApplication::exec();
  DestroyWindows();
  return exit_code;
}

}  // namespace app
