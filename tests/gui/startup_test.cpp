// The program's start-up and shut-down: the order in which the windows are made (the settings
// window's FormCreate already sees MainForm), the first show, the requested show state, the
// application title, the close with its settings save, and the save when the session ends.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>

#include "app/application_title.h"
#include "app/session_end.h"
#include "app/show_command.h"
#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "forms/uAboutForm.h"
#include "tests/gui/operator_test_support.h"

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    if (MainForm != nullptr) operator_test::StopWindows();
    QDir().rmdir(settings::SettingsFilePath());
  }

  void windowsAreMadeInOrderAndFormCreateSeesMainForm() {
    QFile::remove(settings::SettingsFilePath());
    RoleLabel.clear();  // as in a fresh run
    app::CreateWindows();
    QVERIFY(MainForm != nullptr && SetupForm != nullptr && AboutForm != nullptr);
    // FormCreate composed the caption through MainForm while the role label was still empty.
    QCOMPARE(MainForm->windowTitle(), QStringLiteral(" - "));
    QVERIFY(!MainForm->isVisible() && !SetupForm->isVisible() && !AboutForm->isVisible());
    // The settings and About windows belong to the operator window (no taskbar buttons).
    QCOMPARE(SetupForm->parentWidget(), static_cast<QWidget*>(MainForm));
    QCOMPARE(AboutForm->parentWidget(), static_cast<QWidget*>(MainForm));

    app::ShowMainWindow(Qt::WindowNoState);
    QVERIFY(MainForm->isVisible());
    QCOMPARE(RoleLabel, QStringLiteral("Оператор"));
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор"));
    QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->text(),
             QStringLiteral("http://localhost"));
    QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->currentIndex(), -1);

    app::DestroyWindows();
    QVERIFY(MainForm == nullptr && SetupForm == nullptr && AboutForm == nullptr);
  }

  void showCommandGivesTheStartingState_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("state");
    QTest::newRow("normal (1)") << 1 << int(Qt::WindowNoState);
    QTest::newRow("maximised (3)") << 3 << int(Qt::WindowMaximized);
    QTest::newRow("minimised without activation (7)") << 7 << int(Qt::WindowMinimized);
    // Only 3 and 7 are honoured; every other show command starts normally.
    QTest::newRow("minimised (2)") << 2 << int(Qt::WindowNoState);
    QTest::newRow("hidden (0)") << 0 << int(Qt::WindowNoState);
    QTest::newRow("default (10)") << 10 << int(Qt::WindowNoState);
  }
  void showCommandGivesTheStartingState() {
    QFETCH(int, command);
    QFETCH(int, state);
    QCOMPARE(int(app::WindowStateForShowCommand(command)), state);
  }

  void aMaximisedOrMinimisedStartStillRunsFormShow_data() {
    QTest::addColumn<int>("state");
    QTest::newRow("maximised") << int(Qt::WindowMaximized);
    QTest::newRow("minimised") << int(Qt::WindowMinimized);
  }
  void aMaximisedOrMinimisedStartStillRunsFormShow() {
    QFile::remove(settings::SettingsFilePath());
    app::CreateWindows();
    app::ShowMainWindow(Qt::WindowState(state_of()));
    QVERIFY(MainForm->windowState() & Qt::WindowState(state_of()));
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор"));
  }

  void applicationTitle_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "/opt/queue/Operator"
                           << "Operator";
    QTest::newRow("Windows path") << "C:\\Queue\\Operator.exe"
                                  << "Operator";
    QTest::newRow("capitals after the first") << "/opt/OPERATOR"
                                              << "Operator";
    QTest::newRow("two full stops") << "/opt/Operator.v2.exe"
                                    << "Operator";
    QTest::newRow("small first letter") << "/opt/oPERATOR"
                                        << "operator";
    QTest::newRow("Cyrillic") << "/opt/ОПЕРАТОР.exe"
                              << "Оператор";
    QTest::newRow("full stop in a folder") << "/opt/q.d/Operator"
                                           << "Operator";
  }
  void applicationTitle() {
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(app::DeriveApplicationTitle(path), title);
  }

  void closingSavesTheSettingsAndEndsTheRun() {
    operator_test::StartWindows();
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
        ->setText(QStringLiteral("http://127.0.0.1:8123"));
    QVERIFY(MainForm->close());
    QVERIFY(MainForm->ClosedByUser());
    QFile file(settings::SettingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Host=http://127.0.0.1:8123"));
  }

  void aCloseWhoseSaveFailsKeepsTheWindowOpen() {
    operator_test::StartWindows();
    // A directory where the settings file should be: every write is refused.
    QVERIFY(QDir().mkpath(settings::SettingsFilePath()));
    QString text;
    operator_test::ModalCatcher catcher([&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
      modal->close();
    });
    QVERIFY(!MainForm->close());
    QVERIFY(catcher.caught());
    QCOMPARE(text, QStringLiteral("Unable to write to %1.").arg(settings::SettingsFilePath()));
    QVERIFY(MainForm->isVisible());
    QVERIFY(!MainForm->ClosedByUser());
    // Writable again: the next close succeeds.
    QVERIFY(QDir().rmdir(settings::SettingsFilePath()));
    QVERIFY(MainForm->close());
  }

  // At log-off the window is not closed; the settings are written all the same, and a
  // failure shows nothing.
  void theSessionsEndSavesTheSettingsQuietly() {
    operator_test::StartWindows();
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
        ->setText(QStringLiteral("http://127.0.0.1:8124"));
    app::SaveSettingsAtSessionEnd();
    QFile file(settings::SettingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Host=http://127.0.0.1:8124"));
    file.close();

    QVERIFY(QFile::remove(settings::SettingsFilePath()));
    QVERIFY(QDir().mkpath(settings::SettingsFilePath()));
    operator_test::ModalCatcher catcher([](QWidget* modal) { modal->close(); });
    app::SaveSettingsAtSessionEnd();
    QVERIFY(!catcher.caught());
  }

 private:
  int state_of() {
    QFETCH(int, state);
    return state;
  }
};

int main(int argc, char** argv) {
  return operator_test::Run<StartupTest>(argc, argv);
}

#include "startup_test.moc"
