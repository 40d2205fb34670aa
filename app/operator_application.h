// The application object: made once before the program's own start-up; derives the
// application title and carries the program icon. Its notify is the last-resort catch, so a
// failure never unwinds out of the event loop.
#pragma once

#include <QApplication>

namespace app {

class OperatorApplication : public QApplication {
  Q_OBJECT

 public:
  // The title comes from this executable's file name.
  OperatorApplication(int& argc, char** argv);
  // The title comes from `executable_path` (the tests run as other executables).
  OperatorApplication(int& argc, char** argv, const QString& executable_path);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void Prepare(const QString& executable_path);
};

}  // namespace app
