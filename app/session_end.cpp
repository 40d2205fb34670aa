// Saving the settings when the session ends.
#include "app/session_end.h"

#include <QGuiApplication>
#include <QSessionManager>

#include "forms/mainUnit.h"

namespace app {

void SaveSettingsAtSessionEnd() noexcept {
  if (MainForm != nullptr && !MainForm->ClosedByUser()) MainForm->SaveSettingsAtSessionEnd();
}

void SaveSettingsWhenSessionEnds() {
  auto* application = qGuiApp;
  QObject::connect(application, &QGuiApplication::commitDataRequest, application,
                   [](QSessionManager&) { SaveSettingsAtSessionEnd(); });
  QObject::connect(application, &QCoreApplication::aboutToQuit, application,
                   [] { SaveSettingsAtSessionEnd(); });
}

}  // namespace app
