// Composing and showing the error box.
#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "app/application_title.h"
#include "core/error_text.h"

namespace app {
namespace {

// A button held down would stay pressed behind the modal box.
void CancelMouseCapture() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void ShowErrorMessage(const QString& text) {
  QPointer<QWidget> active = QApplication::activeWindow();
  QPointer<QWidget> focus = QApplication::focusWidget();
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, active);
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.setTextFormat(Qt::PlainText);
  // Every other window of the program takes no input while the box is open.
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  if (active) active->activateWindow();
  if (focus) focus->setFocus(Qt::OtherFocusReason);
}

}  // namespace

std::optional<QString> ErrorBoxText(std::exception_ptr failure) {
  const std::optional<std::u16string> text = queue::ErrorBoxText(std::move(failure));
  if (!text) return std::nullopt;
  return QString::fromStdU16String(*text);
}

void ShowFailure(std::exception_ptr failure) noexcept {
  try {
    CancelMouseCapture();
    const std::optional<QString> text = ErrorBoxText(failure);
    if (text) ShowErrorMessage(*text);
  } catch (const std::exception& e) {
    // The box itself failed (out of memory, most likely); the log is all that is left.
    qCritical("The error box could not be shown: %s", e.what());
  } catch (...) {
    qCritical("The error box could not be shown");
  }
}

}  // namespace app
