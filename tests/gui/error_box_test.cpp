// The error box and the start-up failure box: their text rules as tables (the full stop, the
// innermost message, the silent abort), and the real boxes caught while they are open.
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "app/error_box.h"
#include "app/startup_failure_box.h"
#include "core/failure.h"
#include "forms/handler_guard.h"
#include "tests/gui/operator_test_support.h"

using queue::CoreFailure;
using queue::Failure;

Q_DECLARE_METATYPE(std::shared_ptr<const queue::Failure>)

namespace {

std::shared_ptr<const Failure> Chain(std::initializer_list<const char16_t*> messages_inner_first) {
  std::shared_ptr<const Failure> chain;
  for (const char16_t* message : messages_inner_first)
    chain = std::make_shared<Failure>(CoreFailure::kGeneric, std::u16string(message), chain);
  return chain;
}

struct ShownBox {
  bool shown = false;
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QWidget* parent = nullptr;
  Qt::WindowModality modality = Qt::NonModal;
};

// Runs `show`, which opens a message box and blocks in it, and reads and dismisses the box.
ShownBox CatchBox(const std::function<void()>& show) {
  ShownBox seen;
  operator_test::ModalCatcher catcher([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    seen.shown = true;
    if (box != nullptr) {
      seen.text = box->text();
      seen.caption = box->windowTitle();
      seen.icon = box->icon();
      seen.buttons = box->buttons().size();
      seen.parent = box->parentWidget();
      seen.modality = box->windowModality();
    }
    modal->close();
  });
  show();
  return seen;
}

// Meets each box that comes up, in turn: the first `unanswered` ones have their modal loop
// ended without an answer (as a loop that returns at once ends it), the next is closed as the
// clerk closes it. Counts the boxes it met; gives up after 10 s.
class BoxSequence {
 public:
  explicit BoxSequence(int unanswered) : unanswered_(unanswered) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  int met() const { return met_; }
  QString last_text() const { return last_text_; }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
      if (++idle_polls_ > 1000) timer_.stop();
      return;
    }
    ++met_;
    last_text_ = box->text();
    if (met_ <= unanswered_) {
      box->hide();
    } else {
      timer_.stop();
      box->close();
    }
  }

  int unanswered_;
  int met_ = 0;
  int idle_polls_ = 0;
  QString last_text_;
  QTimer timer_;
};

// An object whose event handling fails, as a handler without its own guard would.
class FailingReceiver : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw Failure(CoreFailure::kGeneric, "Unguarded handler");
    return QObject::event(event);
  }
};

}  // namespace

class ErrorBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void textRules_data() {
    QTest::addColumn<std::shared_ptr<const Failure>>("failure");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, std::initializer_list<const char16_t*> chain,
                  const char16_t* expected) {
      QTest::newRow(name) << Chain(chain) << QString::fromUtf16(expected);
    };
    row("ends in a letter", {u"Read timed out"}, u"Read timed out.");
    row("ends in a digit", {u"Error 7"}, u"Error 7.");
    row("ends in a colon", {u"Cause:"}, u"Cause:.");
    row("ends in a question mark", {u"Why?"}, u"Why?.");
    row("Cyrillic letter", {u"Ошибка"}, u"Ошибка.");
    row("ends in a full stop", {u"Connection Closed Gracefully."},
        u"Connection Closed Gracefully.");
    row("ends in !", {u"Stop!"}, u"Stop!");
    row("ends in )", {u"Failed (3)"}, u"Failed (3)");
    row("ends in a comma", {u"a,"}, u"a,");
    row("ends in a hyphen", {u"a-"}, u"a-");
    row("ends in a blank", {u"a "}, u"a ");
    row("ends in a line break", {u"a\r\n"}, u"a\r\n");
    row("empty message", {u""}, u"");
    row("two lines", {u"Socket Error # 10061\r\nConnection refused"},
        u"Socket Error # 10061\r\nConnection refused.");
    // Chains are listed innermost first.
    row("inner message wins", {u"Inner", u"Outer"}, u"Inner.");
    row("empty inner gives the outer", {u"", u"Outer"}, u"Outer.");
    row("middle of three is never shown", {u"", u"Middle", u"Outer"}, u"Outer.");
    row("innermost of three", {u"Innermost", u"Middle", u"Outer"}, u"Innermost.");
  }
  void textRules() {
    QFETCH(std::shared_ptr<const Failure>, failure);
    QFETCH(QString, expected);
    const auto text = app::ErrorBoxText(std::make_exception_ptr(*failure));
    QVERIFY(text.has_value());
    QCOMPARE(*text, expected);
  }

  void silentAbortShowsNothing() {
    QVERIFY(!app::ErrorBoxText(std::make_exception_ptr(queue::SilentAbort())).has_value());
    // Through a guarded handler: no box opens, and the handler's caller goes on.
    const ShownBox seen = CatchBox([] {
      const bool completed = forms::Guarded([] { throw queue::SilentAbort(); });
      QVERIFY(!completed);
    });
    QVERIFY(!seen.shown);
  }

  void otherExceptionsShowTheirText() {
    const auto text = app::ErrorBoxText(std::make_exception_ptr(std::runtime_error("Disk full")));
    QCOMPARE(text.value(), QStringLiteral("Disk full."));
  }

  void theBoxIsModalOverTheActiveWindowAndGivesTheFocusBack() {
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    second->move(0, 40);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    second->setFocus();
    const ShownBox seen = CatchBox([] {
      app::ShowFailure(std::make_exception_ptr(Failure(CoreFailure::kGeneric, "Host not found")));
    });
    QVERIFY(seen.shown);
    QCOMPARE(seen.text, QStringLiteral("Host not found."));
    QCOMPARE(seen.caption, QStringLiteral("Operator"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, 1);
    QCOMPARE(seen.parent, &window);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    // Activation comes back through the window system, so it is awaited.
    QTRY_COMPARE(QApplication::focusWidget(), second);
    Q_UNUSED(first);
  }

  // While the desktop names none of the program's windows active, the box still stands over
  // the program's visible window.
  void withNoActiveWindowTheBoxStandsOverTheProgramsWindow() {
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(nullptr);
    QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(nullptr));
    const ShownBox seen = CatchBox([] {
      app::ShowFailure(std::make_exception_ptr(Failure(CoreFailure::kGeneric, "Host not found")));
    });
    QVERIFY(seen.shown);
    QCOMPARE(seen.parent, &window);
  }

  // A box whose modal loop ended before the clerk answered it comes up again, until answered,
  // and a bounded number of times.
  void anUnansweredBoxComesUpAgain() {
    const auto failure = std::make_exception_ptr(
        Failure(CoreFailure::kGeneric, u"Unable to write to /opt/queue/Operator.ini"));
    {
      BoxSequence boxes(1);
      app::ShowFailure(failure);
      QCOMPARE(boxes.met(), 2);
      QCOMPARE(boxes.last_text(), QStringLiteral("Unable to write to /opt/queue/Operator.ini."));
    }
    {
      BoxSequence boxes(0);
      app::ShowFailure(failure);
      QCOMPARE(boxes.met(), 1);
    }
    {
      BoxSequence never_answered(100);
      app::ShowFailure(failure);
      QCOMPARE(never_answered.met(), 3);
    }
  }

  // The last-resort catch: a failure that escapes a handler ends in the box, and the caller
  // of the event goes on.
  void aFailureEscapingAnEventEndsInTheBox() {
    FailingReceiver receiver;
    const ShownBox seen = CatchBox([&] {
      QEvent event(QEvent::User);
      QCoreApplication::sendEvent(&receiver, &event);
    });
    QVERIFY(seen.shown);
    QCOMPARE(seen.text, QStringLiteral("Unguarded handler."));
  }

  void startupFailureText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected_line");
    QTest::newRow("letter") << "Unable to load style 'X'"
                            << "Unable to load style 'X'.";
    QTest::newRow("full stop") << "Could not load SSL library."
                               << "Could not load SSL library.";
    // Only a final "." keeps the stop away, unlike the error box.
    QTest::newRow("exclamation mark") << "Stop!"
                                      << "Stop!.";
    QTest::newRow("parenthesis") << "Failed (3)"
                                 << "Failed (3).";
    QTest::newRow("empty") << ""
                           << "";
  }
  void startupFailureText() {
    QFETCH(QString, message);
    QFETCH(QString, expected_line);
    QCOMPARE(app::StartupFailureText(QStringLiteral("Failure"), QStringLiteral("Operator"),
                                     0x4A3F10, message),
             QStringLiteral("Exception Failure in module Operator at 004A3F10.\r\n") +
                 expected_line + QStringLiteral("\r\n"));
  }

  void startupFailureBoxShowsTheOuterMessage() {
    const auto failure = Chain({u"Inner", u"Outer"});
    const ShownBox seen = CatchBox([&] {
      app::ShowStartupFailure(std::make_exception_ptr(*failure), QStringLiteral("Operator"));
    });
    QVERIFY(seen.shown);
    QCOMPARE(seen.caption, QStringLiteral("Application Error"));
    QCOMPARE(seen.text,
             QStringLiteral("Exception Failure in module Operator at 00000000.\r\nOuter.\r\n"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, 1);
    QCOMPARE(seen.parent, nullptr);
  }
};

int main(int argc, char** argv) {
  return operator_test::Run<ErrorBoxTest>(argc, argv);
}

#include "error_box_test.moc"
