// The application object.
#include "app/operator_application.h"

#include <QIcon>
#include <QPixmap>

#include "app/application_title.h"
#include "app/error_box.h"
#include "forms/handler_guard.h"
#include "resources/bundled_image.h"
#include "resources/resources.h"

namespace app {

OperatorApplication::OperatorApplication(int& argc, char** argv) : QApplication(argc, argv) {
  Prepare(applicationFilePath());
}

OperatorApplication::OperatorApplication(int& argc, char** argv, const QString& executable_path)
    : QApplication(argc, argv) {
  Prepare(executable_path);
}

void OperatorApplication::Prepare(const QString& executable_path) {
  SetApplicationTitle(DeriveApplicationTitle(executable_path));
  resources::InitResources();
  // No window has an icon of its own; they all show the program's.
  setWindowIcon(
      QIcon(QPixmap::fromImage(resources::ReadBundledPng(QStringLiteral(":/MAINICON.png")))));
  // Only the operator window's close ends the program; it asks for the quit itself.
  setQuitOnLastWindowClosed(false);
  forms::SetFailureReporter(&ShowFailure);
}

bool OperatorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    // Every handler has its own guard; this catches what slipped past one, so the loop goes on.
    ShowFailure(std::current_exception());
    return false;
  }
}

}  // namespace app
