// What the operator program's GUI tests share: the application object under the program's own
// name, the three windows made by the real start-up, catching a modal window from a timer,
// and mouse clicks stamped like the window system's.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <chrono>
#include <functional>

#include "app/operator_application.h"
#include "app/startup.h"
#include "forms/form_settings.h"

namespace operator_test {

// The tests run as the program would be installed, so the title is "Operator".
inline constexpr char kExecutablePath[] = "/opt/queue/Operator";

// Runs the Qt Test object `test` on the program's application object.
template <class Test>
int Run(int argc, char** argv) {
  app::OperatorApplication application(argc, argv, QString::fromLatin1(kExecutablePath));
  Test test;
  return QTest::qExec(&test, argc, argv);
}

// The control of that object name in `window`, as the windows name their controls; a test
// that looks for one the window does not have stops here.
template <class Control>
Control* Find(const QWidget* window, const char* name) {
  auto* control = window->findChild<Control*>(QString::fromLatin1(name));
  if (control == nullptr)
    qFatal("%s has no %s named %s", qPrintable(window->objectName()),
           Control::staticMetaObject.className(), name);
  return control;
}

// Creates the windows by the program's start-up and shows the operator window; starts from
// no settings file, so every run of a test sees the design values.
inline void StartWindows() {
  QFile::remove(settings::SettingsFilePath());
  app::CreateWindows();
  app::ShowMainWindow(Qt::WindowNoState);
}

inline void StopWindows() {
  app::DestroyWindows();
  QFile::remove(settings::SettingsFilePath());
}

// Calls `action` with the modal window once one is open (the caller then opens it and blocks
// in its loop). The action must close the window. Gives up after 10 s.
class ModalCatcher {
 public:
  explicit ModalCatcher(std::function<void(QWidget*)> action) : action_(std::move(action)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  bool caught() const { return caught_; }

 private:
  void Poll() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer_.stop();
      caught_ = true;
      action_(modal);
    } else if (++polls_ > 1000) {
      timer_.stop();
    }
  }
  std::function<void(QWidget*)> action_;
  QTimer timer_;
  bool caught_ = false;
  int polls_ = 0;
};

// Event timestamps as the window system stamps them: a monotonic millisecond clock with a
// base of its own (the program may not assume the events' clock is its own).
inline quint64 EventClockNow() {
  using namespace std::chrono;
  constexpr quint64 kForeignBase = 5'000'000;
  return kForeignBase +
         static_cast<quint64>(
             duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A left click (press and release) on `button` stamped `timestamp`, delivered as the window
// system's events are.
inline void ClickAt(QPushButton* button, quint64 timestamp) {
  const QPointF local(button->width() / 2.0, button->height() / 2.0);
  const QPointF global = button->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  press.setTimestamp(timestamp);
  QApplication::sendEvent(button, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  release.setTimestamp(timestamp + 1);
  QApplication::sendEvent(button, &release);
}

inline void ClickNow(QPushButton* button) {
  ClickAt(button, EventClockNow());
}

}  // namespace operator_test
