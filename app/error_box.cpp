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

// A box closes only by the clerk's answer (its button, Return, Esc, its close button). One
// whose modal loop ended without an answer was not seen, and comes up again, a bounded number
// of times.
constexpr int kMaxShowings = 3;

// A button held down would stay pressed behind the modal box.
void CancelMouseCapture() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

// The window the box stands over: the program's active window. Which window is active is the
// desktop's word, and it may name none of ours; the box then stands over the program's modal
// window, or its visible main window, so that it comes up over the program all the same.
QWidget* BoxOwner() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowType() == Qt::Window) return window;
  }
  return nullptr;
}

// Shows the box once; returns whether the clerk answered it.
bool ShowBoxOnce(const QString& text, QWidget* owner) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, owner);
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.setTextFormat(Qt::PlainText);
  // Every other window of the program takes no input while the box is open.
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return box.clickedButton() != nullptr;
}

void ShowErrorMessage(const QString& text) {
  QPointer<QWidget> owner = BoxOwner();
  QPointer<QWidget> focus = QApplication::focusWidget();
  bool answered = false;
  for (int showing = 0; showing < kMaxShowings && !answered; ++showing) {
    answered = ShowBoxOnce(text, owner);
  }
  if (!answered) qCritical("The error box closed %d times unanswered", kMaxShowings);
  if (owner) owner->activateWindow();
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
