// Showing the start-up failure box.
#include "app/startup_failure_box.h"

#include <QMessageBox>

#include "core/startup_failure_text.h"

namespace app {

QString StartupFailureText(const QString& type_name, const QString& module_name, quintptr address,
                           const QString& message) {
  return QString::fromStdU16String(queue::StartupFailureText(
      type_name.toStdU16String(), module_name.toStdU16String(), address, message.toStdU16String()));
}

void ShowStartupFailure(std::exception_ptr failure, const QString& module_name) noexcept {
  try {
    const QString text =
        QString::fromStdU16String(queue::StartupFailureText(failure, module_name.toStdU16String()));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), text,
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("StartupFailureBox"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  } catch (...) {
    qCritical("Start-up failed, and the failure could not be shown");
  }
}

}  // namespace app
