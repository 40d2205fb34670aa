// The settings file through the program's real windows and its real start-up, loop and
// shut-down: a close writes the file and the next start reads it back; a refused write shows
// the error box and keeps the program running, and the next close after the file becomes
// writable ends it; a file of megabytes is read and written like a small one. The file lies beside
// this test program, as the program's lies beside it.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/operator_application.h"
#include "app/startup.h"
#include "forms/form_settings.h"
#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "tests/gui/operator_test_support.h"
#include "theme/theme_scaling.h"

namespace {

// How often the box is looked for, and for how long, before the test gives up on it.
constexpr int kPollMilliseconds = 10;
constexpr int kMaxPolls = 1000;

void Store(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray Stored(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<no file>";
  return file.readAll();
}

// Runs the whole program (start-up, loop, shut-down) with `while_running` called once the
// loop runs; returns the program's exit code. A check that fails inside leaves the window
// open, so the loop is then ended here with exit code 1.
int RunProgramWith(std::function<void()> while_running) {
  QTimer::singleShot(0, [&while_running] {
    while_running();
    if (QTest::currentTestFailed()) QCoreApplication::exit(1);
  });
  return app::RunProgram();
}

// Waits for the error box, keeps its text and presses its OK button. The watch ends by itself
// once it answered a box or gave up; a test that expects no box deletes it when done.
QPointer<QTimer> AnswerErrorBox(QString* text) {
  auto* timer = new QTimer;
  auto polls = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, polls, text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr && box->objectName() == QStringLiteral("ErrorBox")) {
      *text = box->text();
      box->button(QMessageBox::Ok)->click();
    } else if (++*polls < kMaxPolls) {
      return;
    }
    timer->deleteLater();
  });
  timer->start(kPollMilliseconds);
  return timer;
}

}  // namespace

class SettingsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { cleanup(); }
  void cleanup() {
    const QString path = settings::SettingsFilePath();
    QDir().rmdir(path);
    QFile::remove(path);
  }

  void closeWritesTheFileAndTheNextStartReadsIt();
  void refusedWriteShowsTheBoxAndKeepsTheProgramRunning();
  void largeFileIsReadAndTheCloseWritesIt();
};

void SettingsWindowTest::closeWritesTheFileAndTheNextStartReadsIt() {
  const QString path = settings::SettingsFilePath();
  QRect closed_at;
  bool first_run_checked = false;
  QCOMPARE(RunProgramWith([&] {
             // No file: the defaults.
             QCOMPARE(MainForm->frameGeometry(), QRect(0, 0, 420, 112));
             QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->text(),
                      QStringLiteral("http://localhost"));
             QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->currentIndex(),
                      -1);
             MainForm->move(40, 50);
             operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
                 ->setText(QStringLiteral("http://127.0.0.1:8080"));
             operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(2);
             closed_at = MainForm->frameGeometry();
             first_run_checked = true;
             QVERIFY(MainForm->close());
           }),
           0);
  QVERIFY(first_run_checked);
  QCOMPARE(closed_at.topLeft(), QPoint(40, 50));
  QCOMPARE(Stored(path), QStringLiteral("[Form]\r\nTop=50\r\nleft=40\r\nWidth=%1\r\nHeight=%2\r\n"
                                        "[Server]\r\nHost=http://127.0.0.1:8080\r\n"
                                        "Window=2\r\n")
                             .arg(closed_at.width())
                             .arg(closed_at.height())
                             .toLatin1());

  bool second_run_checked = false;
  QCOMPARE(RunProgramWith([&] {
             QCOMPARE(MainForm->frameGeometry(), closed_at);
             QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->text(),
                      QStringLiteral("http://127.0.0.1:8080"));
             QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->currentText(),
                      QStringLiteral("3"));
             second_run_checked = true;
             QVERIFY(MainForm->close());
           }),
           0);
  QVERIFY(second_run_checked);
}

void SettingsWindowTest::refusedWriteShowsTheBoxAndKeepsTheProgramRunning() {
  const QString path = settings::SettingsFilePath();
  QString box_text;
  bool checked = false;
  QCOMPARE(RunProgramWith([&] {
             QVERIFY(QDir().mkdir(path));  // the file's place is taken by a directory
             AnswerErrorBox(&box_text);
             QVERIFY(!MainForm->close());
             QCOMPARE(box_text, QStringLiteral("Unable to write to ") + path + u'.');
             QVERIFY(MainForm->isVisible());
             // Once the file may be written, the next close saves and ends the program.
             QVERIFY(QDir().rmdir(path));
             box_text.clear();
             checked = true;
             QVERIFY(MainForm->close());
             QVERIFY(box_text.isEmpty());
           }),
           0);
  QVERIFY(checked);
  QVERIFY2(Stored(path).startsWith("[Form]\r\nTop=0\r\nleft=0\r\n"), Stored(path));
}

// A desk's file of 2 MB, a long section of another program's junk after the program's own
// two: the start-up uses the stored position, size and server, and a close writes the six
// values (no error box) and ends the program, with the junk left as it was.
void SettingsWindowTest::largeFileIsReadAndTheCloseWritesIt() {
  const QString path = settings::SettingsFilePath();
  QByteArray junk = "[Junk]\r\n";
  for (int i = 0; junk.size() < 2'000'000; ++i) {
    junk += "entry" + QByteArray::number(i) + '=' + QByteArray(40, 'j') + "\r\n";
  }
  Store(path,
        "[Form]\r\nTop=50\r\nleft=40\r\nWidth=500\r\nHeight=160\r\n"
        "[Server]\r\nHost=http://127.0.0.1:8080\r\nWindow=2\r\n" +
            junk);
  QString box_text;
  QRect closed_at;
  bool checked = false;
  QCOMPARE(RunProgramWith([&] {
             QCOMPARE(MainForm->frameGeometry(), QRect(40, 50, 500, 160));
             QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->text(),
                      QStringLiteral("http://127.0.0.1:8080"));
             QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->currentText(),
                      QStringLiteral("3"));
             MainForm->move(60, 70);
             operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
                 ->setText(QStringLiteral("http://127.0.0.1:9090"));
             operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(4);
             closed_at = MainForm->frameGeometry();
             // A refused write must fail the test, not leave it hanging in the box.
             const QPointer<QTimer> watch = AnswerErrorBox(&box_text);
             checked = true;
             const bool closed = MainForm->close();
             delete watch.data();
             QVERIFY(closed);
             QCOMPARE(box_text, QString());
           }),
           0);
  QVERIFY(checked);
  QCOMPARE(closed_at.topLeft(), QPoint(60, 70));
  const QByteArray written = QStringLiteral(
                                 "[Form]\r\nTop=70\r\nleft=60\r\nWidth=%1\r\nHeight=%2\r\n"
                                 "[Server]\r\nHost=http://127.0.0.1:9090\r\nWindow=4\r\n")
                                 .arg(closed_at.width())
                                 .arg(closed_at.height())
                                 .toLatin1();
  const QByteArray stored = Stored(path);
  QVERIFY2(stored == written + junk, stored.left(200));  // the whole 2 MB would flood the log
}

int main(int argc, char** argv) {
  theme::PrepareDisplayScaling();
  app::OperatorApplication application(argc, argv);
  SettingsWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "settings_window_test.moc"
