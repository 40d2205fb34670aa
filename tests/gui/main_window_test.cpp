// The operator window driven offscreen: the Next action against a scripted loopback server
// (the request on the wire, the big list, the log), a refused connection in the real error
// box, clicks made while a request ran, the small buttons, the layout and the list's
// type-ahead.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "forms/type_ahead_combo_box.h"
#include "forms/uAboutForm.h"
#include "tests/gui/operator_test_support.h"
#include "tests/support/scripted_server.h"
#include "tests/support/wire_helpers.h"

using queue::testing::Answer;
using queue::testing::ConnectionScript;
using queue::testing::Delay;
using queue::testing::ExpectedHead;
using queue::testing::OkResponse;
using queue::testing::ReadRequest;
using queue::testing::ScriptedServer;
using queue::testing::Send;

namespace {

// A loopback port that refuses connections: bound, never listening, so no one else takes it
// while the test runs.
class RefusingPort {
 public:
  RefusingPort() {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~RefusingPort() { ::close(socket_); }
  int port() const { return port_; }

 private:
  int socket_ = -1;
  int port_ = 0;
};

QString Server(const ScriptedServer& server, const char* rest = "") {
  return QString::fromStdString(server.Url(rest));
}

std::string HostOf(const ScriptedServer& server) {
  return "127.0.0.1:" + std::to_string(server.port());
}

QStringList LogLines() {
  return operator_test::Find<QPlainTextEdit>(MainForm, "mmo1")
      ->toPlainText()
      .split(QLatin1Char('\n'));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { operator_test::StartWindows(); }
  void cleanup() { operator_test::StopWindows(); }

  void nextAsksForTheChosenWindowAndShowsTheAnswer() {
    ScriptedServer server({Answer(OkResponse("A015")), Answer(OkResponse("B\r\n7"))});
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->setText(Server(server));
    operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(2);

    operator_test::ClickNow(operator_test::Find<QPushButton>(MainForm, "nextButton"));
    QVERIFY(server.AwaitRequests(1));
    QCOMPARE(server.requests().at(0), ExpectedHead("/getQueue?operator=3", HostOf(server)));
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->count(), 1);
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->currentIndex(), 0);
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->currentText(),
             QStringLiteral("A015"));
    QCOMPARE(LogLines(), (QStringList{"mmo1", "A015"}));

    // The next press replaces the list's entry; an answer's line breaks split it in the log
    // only: the list keeps it whole as its one entry.
    operator_test::ClickNow(operator_test::Find<QPushButton>(MainForm, "nextButton"));
    QVERIFY(server.AwaitRequests(2));
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->count(), 1);
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->itemText(0),
             QStringLiteral("B\r\n7"));
    QCOMPARE(LogLines(), (QStringList{"mmo1", "A015", "B", "7"}));
    // Every press opened a connection of its own.
    QVERIFY(server.AwaitConnectionsDone(2));
    QCOMPARE(server.accepted(), std::size_t{2});
  }

  void theRequestUrlIsThePlainJoinOfAddressAndNumber_data() {
    QTest::addColumn<QString>("addressSuffix");
    QTest::addColumn<int>("windowIndex");
    QTest::addColumn<QString>("target");
    QTest::newRow("window 1") << "" << 0 << "/getQueue?operator=1";
    QTest::newRow("window 7") << "" << 6 << "/getQueue?operator=7";
    // No number chosen: nothing after "operator=".
    QTest::newRow("no window") << "" << -1 << "/getQueue?operator=";
    // Nothing is removed at the joint: the slash doubles.
    QTest::newRow("address ends in a slash") << "/" << 2 << "//getQueue?operator=3";
    QTest::newRow("address with a path") << "/queue" << 3 << "/queue/getQueue?operator=4";
  }
  void theRequestUrlIsThePlainJoinOfAddressAndNumber() {
    QFETCH(QString, addressSuffix);
    QFETCH(int, windowIndex);
    QFETCH(QString, target);
    ScriptedServer server({Answer(OkResponse(""))});
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
        ->setText(Server(server) + addressSuffix);
    operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(windowIndex);
    operator_test::ClickNow(operator_test::Find<QPushButton>(MainForm, "nextButton"));
    QVERIFY(server.AwaitRequests(1));
    QCOMPARE(server.requests().at(0), ExpectedHead(target.toStdString(), HostOf(server)));
    // An empty answer is an empty entry and an empty line of the log.
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->count(), 1);
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->currentText(), QString());
    QCOMPARE(LogLines(), (QStringList{"mmo1", ""}));
  }

  void aRefusedConnectionShowsTheErrorBoxAndChangesNothing() {
    ScriptedServer server({Answer(OkResponse("A001"))});
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->setText(Server(server));
    operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(0);
    operator_test::ClickNow(operator_test::Find<QPushButton>(MainForm, "nextButton"));
    QVERIFY(server.AwaitRequests(1));

    RefusingPort refusing;
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
        ->setText(QStringLiteral("http://127.0.0.1:%1").arg(refusing.port()));
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton*> buttons;
    operator_test::ModalCatcher catcher([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) {
        modal->close();
        return;
      }
      text = box->text();
      caption = box->windowTitle();
      icon = box->icon();
      buttons = box->buttons();
      box->button(QMessageBox::Ok)->click();
    });
    operator_test::ClickNow(operator_test::Find<QPushButton>(MainForm, "nextButton"));
    QVERIFY(catcher.caught());
    QCOMPARE(text, QStringLiteral("Socket Error # 10061\r\nConnection refused."));
    QCOMPARE(caption, QStringLiteral("Operator"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->currentText(),
             QStringLiteral("A001"));
    QCOMPARE(LogLines(), (QStringList{"mmo1", "A001"}));
  }

  // Clicks made while a request held the window thread wait in the window system's queue and
  // reach the button only after the answer; they must not call further visitors.
  void clicksMadeDuringARequestAreDropped() {
    ScriptedServer server({{ReadRequest(), Delay(50), Send(OkResponse("A001"))},
                           Answer(OkResponse("A002")),
                           Answer(OkResponse("A003"))});
    operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->setText(Server(server));
    operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(0);
    const quint64 first_click = operator_test::EventClockNow();
    operator_test::ClickAt(operator_test::Find<QPushButton>(MainForm, "nextButton"), first_click);
    QVERIFY(server.AwaitRequests(1));
    // Delivered now, stamped while the server was still working on the first request.
    operator_test::ClickAt(operator_test::Find<QPushButton>(MainForm, "nextButton"),
                           first_click + 2);
    operator_test::ClickAt(operator_test::Find<QPushButton>(MainForm, "nextButton"),
                           first_click + 10);
    QCOMPARE(server.accepted(), std::size_t{1});
    QCOMPARE(LogLines(), (QStringList{"mmo1", "A001"}));

    // A click after the answer was shown runs the Next action.
    operator_test::ClickNow(operator_test::Find<QPushButton>(MainForm, "nextButton"));
    QVERIFY(server.AwaitRequests(2));
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->currentText(),
             QStringLiteral("A002"));
    QCOMPARE(LogLines(), (QStringList{"mmo1", "A001", "A002"}));
  }

  void smallButtonsOpenTheModalWindows() {
    QWidget* seen = nullptr;
    {
      operator_test::ModalCatcher catcher([&](QWidget* modal) {
        seen = modal;
        modal->close();
      });
      operator_test::Find<QPushButton>(MainForm, "btn2")->click();
      QVERIFY(catcher.caught());
      QCOMPARE(seen, static_cast<QWidget*>(SetupForm));
    }
    {
      operator_test::ModalCatcher catcher([&](QWidget* modal) {
        seen = modal;
        modal->close();
      });
      operator_test::Find<QPushButton>(MainForm, "btn3")->click();
      QVERIFY(catcher.caught());
      QCOMPARE(seen, static_cast<QWidget*>(AboutForm));
    }
    // "H" has no handler: nothing opens and nothing changes.
    operator_test::Find<QPushButton>(MainForm, "btn1")->click();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(LogLines(), (QStringList{"mmo1"}));
  }

  void layoutAndFontsFollowTheDesign() {
    MainForm->resize(404, 83);
    QCoreApplication::processEvents();
    QCOMPARE(operator_test::Find<QGroupBox>(MainForm, "grp1")->geometry(), QRect(376, 0, 28, 83));
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "nextButton")->geometry(),
             QRect(256, 0, 120, 83));
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->geometry().topLeft(),
             QPoint(0, 0));
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->width(), 256);
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "btn2")->geometry(), QRect(1, 1, 25, 25));
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "btn1")->geometry(), QRect(1, 28, 25, 25));
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "btn3")->geometry(), QRect(1, 56, 25, 25));
    QCOMPARE(operator_test::Find<QPlainTextEdit>(MainForm, "mmo1")->geometry(),
             QRect(0, 87, 173, 50));
    QCOMPARE(MainForm->font().pixelSize(), 11);
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "nextButton")->font().pixelSize(), 16);
    QVERIFY(operator_test::Find<QPushButton>(MainForm, "nextButton")->font().bold());
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->font().pixelSize(), 61);
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "nextButton")->text(),
             QStringLiteral("Следующий"));
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "nextButton")->focusPolicy(), Qt::NoFocus);
    QVERIFY(!operator_test::Find<QComboBox>(MainForm, "queueList")->isEditable());
    QVERIFY(!(MainForm->windowFlags() & Qt::WindowMaximizeButtonHint));

    // Wider and taller: the right-hand column keeps its widths, the list takes the rest, and
    // the log comes into view below the list.
    MainForm->resize(600, 200);
    QCoreApplication::processEvents();
    QCOMPARE(operator_test::Find<QGroupBox>(MainForm, "grp1")->geometry(), QRect(572, 0, 28, 200));
    QCOMPARE(operator_test::Find<QPushButton>(MainForm, "nextButton")->geometry(),
             QRect(452, 0, 120, 200));
    QCOMPARE(operator_test::Find<QComboBox>(MainForm, "queueList")->width(), 452);
    QCOMPARE(operator_test::Find<QPlainTextEdit>(MainForm, "mmo1")->geometry(),
             QRect(0, 87, 173, 50));
    QVERIFY(operator_test::Find<QPlainTextEdit>(MainForm, "mmo1")
                ->visibleRegion()
                .boundingRect()
                .height() > 0);
  }

  void tabRunsFromTheListThroughTheLogToTheSmallButtons() {
    QWidget* expected[] = {operator_test::Find<QPlainTextEdit>(MainForm, "mmo1"),
                           operator_test::Find<QPushButton>(MainForm, "btn2"),
                           operator_test::Find<QPushButton>(MainForm, "btn1"),
                           operator_test::Find<QPushButton>(MainForm, "btn3")};
    QWidget* widget = operator_test::Find<QComboBox>(MainForm, "queueList");
    for (QWidget* next : expected) {
      do {
        widget = widget->nextInFocusChain();
      } while (widget->focusPolicy() == Qt::NoFocus);
      QCOMPARE(widget, next);
    }
  }

  void typingIntoTheListOpensItAndChoosesByPrefix() {
    auto* list = operator_test::Find<QComboBox>(MainForm, "queueList");
    list->addItems({"A001", "B002", "B105"});
    list->setCurrentIndex(0);
    MainForm->activateWindow();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_B);
    QVERIFY(list->view()->isVisible());
    // The open list, made when it is first opened, shows the entries in the window's font.
    QCOMPARE(list->view()->font().pixelSize(), 11);
    QCOMPARE(list->currentText(), QStringLiteral("B002"));
    // Typed straight after, the characters form one prefix.
    QTest::keyClick(list->view(), Qt::Key_1);
    QCOMPARE(list->currentText(), QStringLiteral("B105"));
    QTest::keyClick(list->view(), Qt::Key_Tab);
    QVERIFY(!list->view()->isVisible());
  }
};

int main(int argc, char** argv) {
  return operator_test::Run<MainWindowTest>(argc, argv);
}

#include "main_window_test.moc"
