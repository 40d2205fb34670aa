// The settings window driven offscreen: Save and Close, the operator window's caption rules,
// the keys that do nothing, the layout and tab order, and where the window appears.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "tests/gui/operator_test_support.h"

namespace {

// Opens the settings window as "S" does and runs `while_open` inside its modal loop; the
// window must be closed by `while_open`. Returns the modal result.
int ShowSettings(const std::function<void()>& while_open) {
  int result = -1;
  operator_test::ModalCatcher catcher([&](QWidget*) { while_open(); });
  operator_test::Find<QPushButton>(MainForm, "btn2")->click();
  result = SetupForm->result();
  if (!catcher.caught()) return -2;
  return result;
}

}  // namespace

class SetupWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { operator_test::StartWindows(); }
  void cleanup() { operator_test::StopWindows(); }

  void saveWritesTheNumberIntoTheCaptionAndCloseKeepsTheValues() {
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор"));
    const int result = ShowSettings([] {
      operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(2);
      operator_test::Find<QLineEdit>(SetupForm, "serverEdit")
          ->setText(QStringLiteral("http://127.0.0.1:9"));
      operator_test::Find<QPushButton>(SetupForm, "btn1")->click();
      // Save leaves the window open; pressed twice it gives the same caption.
      QVERIFY(SetupForm->isVisible());
      operator_test::Find<QPushButton>(SetupForm, "btn1")->click();
      QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор - 3"));
      operator_test::Find<QPushButton>(SetupForm, "btn2")->click();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!SetupForm->isVisible());
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор - 3"));

    // A number changed and left with Close: the caption keeps the old number, the control
    // the new one.
    ShowSettings([] {
      operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(4);
      operator_test::Find<QPushButton>(SetupForm, "btn2")->click();
    });
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор - 3"));
    QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->currentText(),
             QStringLiteral("5"));
    QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->text(),
             QStringLiteral("http://127.0.0.1:9"));
  }

  void saveWithNoNumberEndsTheCaptionInABlank() {
    ShowSettings([] {
      operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(-1);
      operator_test::Find<QPushButton>(SetupForm, "btn1")->click();
      operator_test::Find<QPushButton>(SetupForm, "btn2")->click();
    });
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор - "));
  }

  void escAndEnterNeitherCloseNorSave() {
    bool still_open_after_keys = false;
    ShowSettings([&] {
      operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->setCurrentIndex(1);
      for (QWidget* focus :
           {static_cast<QWidget*>(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")),
            static_cast<QWidget*>(operator_test::Find<QPushButton>(SetupForm, "btn1")),
            static_cast<QWidget*>(operator_test::Find<QPushButton>(SetupForm, "btn2"))}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyClick(focus, Qt::Key_Enter);
      }
      still_open_after_keys = SetupForm->isVisible();
      SetupForm->close();
    });
    QVERIFY(still_open_after_keys);
    QCOMPARE(MainForm->windowTitle(), QStringLiteral("Оператор"));
  }

  void controlsStandWhereTheDesignPutsThem() {
    // Before its first showing the window has its size and its fields their places and widths;
    // what depends on the fonts' metrics is settled when it is first shown.
    QCOMPARE(SetupForm->windowTitle(), QStringLiteral("Настройка"));
    QCOMPARE(SetupForm->size(), QSize(343, 129));
    QCOMPARE(SetupForm->font().pixelSize(), 11);
    QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->geometry().topLeft(),
             QPoint(160, 8));
    QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->geometry().topLeft(),
             QPoint(160, 53));
    QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->width(), 175);
    SetupForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(SetupForm));
    QCOMPARE(SetupForm->size(), QSize(343, 129));
    QCOMPARE(operator_test::Find<QPushButton>(SetupForm, "btn1")->geometry(),
             QRect(112, 86, 105, 35));
    QCOMPARE(operator_test::Find<QPushButton>(SetupForm, "btn2")->geometry(),
             QRect(230, 88, 105, 33));
    QCOMPARE(operator_test::Find<QPushButton>(SetupForm, "btn1")->text(),
             QStringLiteral("Сохранить"));
    QCOMPARE(operator_test::Find<QPushButton>(SetupForm, "btn2")->text(),
             QStringLiteral("Закрыть"));
    QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->geometry().topLeft(),
             QPoint(160, 8));
    QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->geometry().topLeft(),
             QPoint(160, 53));
    QCOMPARE(operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->width(), 175);
    QCOMPARE(operator_test::Find<QLineEdit>(SetupForm, "serverEdit")->width(), 175);
    QCOMPARE(operator_test::Find<QLabel>(SetupForm, "operatorLabel")->text(),
             QStringLiteral("№ окна/оператора:"));
    QCOMPARE(operator_test::Find<QLabel>(SetupForm, "serverLabel")->text(),
             QStringLiteral("Адрес сервера:"));
    // Both labels end on one edge, six pixels before the fields.
    QCOMPARE(operator_test::Find<QLabel>(SetupForm, "operatorLabel")->geometry().right() + 1, 154);
    QCOMPARE(operator_test::Find<QLabel>(SetupForm, "serverLabel")->geometry().right() + 1, 154);
    for (QWidget* control : SetupForm->findChildren<QWidget*>()) {
      if (control->parentWidget() == SetupForm) QCOMPARE(control->font().pixelSize(), 16);
    }
    QStringList items;
    for (int i = 0; i < operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->count(); ++i)
      items << operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->itemText(i);
    QCOMPARE(items, (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
    QVERIFY(!operator_test::Find<QComboBox>(SetupForm, "operatorSelect")->isEditable());
    QVERIFY(!operator_test::Find<QPushButton>(SetupForm, "btn1")->autoDefault() &&
            !operator_test::Find<QPushButton>(SetupForm, "btn1")->isDefault());
    QVERIFY(!operator_test::Find<QPushButton>(SetupForm, "btn2")->autoDefault() &&
            !operator_test::Find<QPushButton>(SetupForm, "btn2")->isDefault());
    SetupForm->hide();
  }

  void tabBeginsAtTheAddressField() {
    QWidget* expected[] = {operator_test::Find<QComboBox>(SetupForm, "operatorSelect"),
                           operator_test::Find<QPushButton>(SetupForm, "btn1"),
                           operator_test::Find<QPushButton>(SetupForm, "btn2"),
                           operator_test::Find<QLineEdit>(SetupForm, "serverEdit")};
    QWidget* widget = operator_test::Find<QLineEdit>(SetupForm, "serverEdit");
    for (QWidget* next : expected) {
      do {
        widget = widget->nextInFocusChain();
      } while (widget->focusPolicy() == Qt::NoFocus || widget == SetupForm);
      QCOMPARE(widget, next);
    }
  }

  void firstShowingIsCentredLaterOnesKeepThePlace() {
    QPoint first;
    ShowSettings([&] {
      first = SetupForm->frameGeometry().center();
      SetupForm->move(SetupForm->pos() + QPoint(40, 30));
      SetupForm->close();
    });
    const QRect work_area = MainForm->screen()->availableGeometry();
    QVERIFY2((first - work_area.center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("centre %1,%2 frame %3x%4 work %5x%6")
                            .arg(first.x())
                            .arg(first.y())
                            .arg(SetupForm->frameGeometry().width())
                            .arg(SetupForm->frameGeometry().height())
                            .arg(work_area.width())
                            .arg(work_area.height())));
    QPoint second;
    ShowSettings([&] {
      second = SetupForm->frameGeometry().center();
      SetupForm->close();
    });
    QCOMPARE(second, first + QPoint(40, 30));
  }
};

int main(int argc, char** argv) {
  return operator_test::Run<SetupWindowTest>(argc, argv);
}

#include "setup_window_test.moc"
