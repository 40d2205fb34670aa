// Start-up, run and shut-down.
#include "app/startup.h"

#include <QApplication>
#include <QFileInfo>
#include <new>

#include "app/session_end.h"
#include "app/show_command.h"
#include "app/startup_failure_box.h"
#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "forms/uAboutForm.h"
#include "theme/theme_request.h"

namespace app {
namespace {

// Allocates the window, sets its reference, then constructs it in place: code run by the
// constructor already sees the reference. A constructor that throws leaves no reference.
template <class Form, class... Args>
void CreateForm(Form*& reference, Args... args) {
  void* storage = ::operator new(sizeof(Form));
  reference = static_cast<Form*>(storage);
  try {
    reference = new (storage) Form(args...);
  } catch (...) {
    reference = nullptr;
    ::operator delete(storage);
    throw;
  }
}

template <class Form>
void DestroyForm(Form*& reference) noexcept {
  delete reference;
  reference = nullptr;
}

}  // namespace

void CreateWindows() {
  // The main window carries the program's only taskbar button: the other two windows are
  // dialogs owned by it, which the desktop does not list.
  theme::RequestTheme(theme::kThemeName, true);
  CreateForm(MainForm);
  CreateForm(SetupForm, static_cast<QWidget*>(MainForm));
  CreateForm(AboutForm, static_cast<QWidget*>(MainForm));
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
