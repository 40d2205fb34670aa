// The About window driven offscreen: its controls and texts, the frame, the links' addresses,
// the placement over several showings, and the logo's physical pixels at scale 1 and 1.5.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

#include "app/operator_application.h"
#include "app/startup.h"
#include "forms/centred_image.h"
#include "forms/link_label.h"
#include "forms/mainUnit.h"
#include "forms/uAboutForm.h"
#include "tests/gui/operator_test_support.h"
#include "theme/theme_scaling.h"

namespace {

// Set in the run that this program starts of itself at display scale 1.5.
constexpr char kScaleRunVariable[] = "ABOUT_TEST_EXPECTED_SCALE";

const char kWebAddress[] = "http://tarvix.ru";
const char kMailAddress[] = "mailto:support@tarvix.ru";

// How a label stands in the window's design at 96 pixels per inch.
enum class Sizing {
  kFixed,              // exactly the rectangle given
  kToTextEndingRight,  // takes its text's size; a caption whose right edge lines up
  kToTextStartingLeft  // takes its text's size; a value whose left edge lines up
};

struct LabelRow {
  const char* name;
  const char* text;  // UTF-8; null where the text is ours to choose (checked elsewhere)
  QRect design;
  Sizing sizing;
  int font_pixels;
};

const LabelRow kLabels[] = {
    {"lbl1",
     "Рабочее место оператора для электронной очереди",
     {161, 8, 407, 41},
     Sizing::kFixed,
     16},
    {"lbl6", "Версия:", {164, 64, 39, 13}, Sizing::kToTextEndingRight, 11},
    {"lblVersion", "1.0.0.1", {209, 64, 129, 13}, Sizing::kFixed, 11},
    {"lbl3", "Сайт:", {174, 83, 29, 13}, Sizing::kToTextEndingRight, 11},
    {"lbl2", "tarvix.ru", {209, 83, 48, 13}, Sizing::kToTextStartingLeft, 11},
    {"lbl4", "Почта:", {168, 101, 35, 13}, Sizing::kToTextEndingRight, 11},
    {"lbl5", "support@tarvix.ru", {209, 101, 94, 13}, Sizing::kToTextStartingLeft, 11},
    // "Компания:" and its value stand one pixel above "Сайт:".
    {"lbl9", "Компания:", {342, 82, 53, 13}, Sizing::kToTextEndingRight, 11},
    {"lbl11", "ТАРВИКС", {401, 82, 42, 13}, Sizing::kToTextStartingLeft, 11},
    {"lbl8", "Автор:", {361, 101, 35, 13}, Sizing::kToTextEndingRight, 11},
    {"lbl10", nullptr, {402, 101, 89, 13}, Sizing::kToTextStartingLeft, 11},
};

// Shows `dialog` modally, as the operator window's "?" button does, runs `while_shown` once
// the window is up, and closes it as its close button would. Returns whether it was modal.
bool ShowModally(QDialog& dialog, const std::function<void()>& while_shown) {
  bool was_modal = false;
  QTimer::singleShot(0, &dialog, [&] {
    was_modal = dialog.isVisible() && QApplication::activeModalWidget() == &dialog;
    if (was_modal) while_shown();
    dialog.close();
  });
  dialog.exec();
  return was_modal;
}

QImage Opaque(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

// The logo as it must look on the window: its own pixels over the window's background.
QImage LogoOver(const QImage& logo, QColor background) {
  QImage expected(logo.size(), QImage::Format_ARGB32_Premultiplied);
  expected.fill(background);
  QPainter painter(&expected);
  painter.drawImage(0, 0, logo);
  painter.end();
  return Opaque(expected);
}

// True when `picture` is found, pixel for pixel (one step of rounding allowed per channel),
// in `shot` with its top left corner at `corner`.
bool ContainsAt(const QImage& shot, const QImage& picture, QPoint corner) {
  if (!shot.rect().contains(QRect(corner, picture.size()))) return false;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb want = picture.pixel(x, y);
      const QRgb got = shot.pixel(corner.x() + x, corner.y() + y);
      if (std::abs(qRed(want) - qRed(got)) > 1 || std::abs(qGreen(want) - qGreen(got)) > 1 ||
          std::abs(qBlue(want) - qBlue(got)) > 1) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void cleanup();

  void questionButtonShowsTheWindowModallyCentred();
  void firstShowingIsCentredLaterOnesKeepThePlace();
  void frameIsAFixedDialogWithOnlyACloseButton();
  void labelsHaveTheirTextsPlacesAndFonts();
  void captionsAndValuesLineUp();
  void linkLabelsAreBlueUnderlinedWithTheHandPointer();
  void linkClickHandsTheFixedAddressToTheOpener_data();
  void linkClickHandsTheFixedAddressToTheOpener();
  void releaseAwayFromALinkOpensNothing();
  void enterAndEscDoNotCloseTheWindow();
  void everyShowingShowsTheSameContent();
  void logoHasTransparentParts();
  void logoKeepsItsPhysicalPixelsCentred();
  void logoKeepsItsPhysicalPixelsAtScaleOneAndAHalf();
  void pictureIsShrunkOnlyInASmallerBox();

 private:
  template <typename T = QLabel>
  T* Control(const char* name) {
    return AboutForm->findChild<T*>(QString::fromLatin1(name));
  }

  std::vector<QUrl> opened_;
};

// The windows come from the program's own start-up, theme included, and the operator
// window is shown as at a normal start.
void AboutWindowTest::initTestCase() {
  app::CreateWindows();
  QVERIFY(AboutForm);
  TAboutForm::SetUrlOpener([this](const QUrl& url) { opened_.push_back(url); });
  app::ShowMainWindow(Qt::WindowNoState);
  QVERIFY(QTest::qWaitForWindowExposed(MainForm));
}

void AboutWindowTest::cleanupTestCase() {
  TAboutForm::SetUrlOpener({});
  app::DestroyWindows();
}

void AboutWindowTest::cleanup() {
  opened_.clear();
}

void AboutWindowTest::questionButtonShowsTheWindowModallyCentred() {
  bool caught = false;
  bool modal = false;
  QString version;
  QString title;
  QRect frame;
  // The "?" button blocks in the window's own loop; the timer acts inside it.
  QTimer::singleShot(0, AboutForm, [&] {
    caught = AboutForm->isVisible();
    modal = QApplication::activeModalWidget() == AboutForm &&
            AboutForm->windowModality() == Qt::ApplicationModal;
    version = Control("lblVersion")->text();
    title = AboutForm->windowTitle();
    frame = AboutForm->frameGeometry();
    AboutForm->close();
  });
  QTest::mouseClick(operator_test::Find<QPushButton>(MainForm, "btn3"), Qt::LeftButton);
  QVERIFY(caught);
  QVERIFY(modal);
  QCOMPARE(title, QString::fromUtf8("О программе"));
  QCOMPARE(version, QString("1.0.0.1"));
  QVERIFY(!AboutForm->isVisible());
  // The first showing centres the whole window in the work area of the operator window's
  // screen, never left of or above the desktop.
  const QScreen* screen = MainForm->screen();
  const QRect area = screen->availableGeometry();
  const QRect desktop = screen->virtualGeometry();
  QCOMPARE(frame.left(),
           std::max(desktop.left(), area.left() + (area.width() - frame.width()) / 2));
  QCOMPARE(frame.top(), std::max(desktop.top(), area.top() + (area.height() - frame.height()) / 2));
}

void AboutWindowTest::firstShowingIsCentredLaterOnesKeepThePlace() {
  TAboutForm window(MainForm);  // never shown before
  const QRect area = MainForm->screen()->availableGeometry();
  QPoint first;
  QVERIFY(ShowModally(window, [&] { first = window.frameGeometry().topLeft(); }));
  const QSize outer = window.frameGeometry().size();
  // Centred; at 150 per cent the window is wider than the offscreen screen's 533 by 400 and
  // keeps its left edge on the screen's.
  QCOMPARE(first.x(), std::max(area.left(), area.left() + (area.width() - outer.width()) / 2));
  QCOMPARE(first.y(), std::max(area.top(), area.top() + (area.height() - outer.height()) / 2));

  const QPoint moved = area.topLeft() + QPoint(20, 30);
  QPoint second;
  QVERIFY(ShowModally(window, [&] { window.move(moved); }));
  QVERIFY(ShowModally(window, [&] { second = window.frameGeometry().topLeft(); }));
  QCOMPARE(second, moved);
}

void AboutWindowTest::frameIsAFixedDialogWithOnlyACloseButton() {
  QCOMPARE(AboutForm->windowTitle(), QString::fromUtf8("О программе"));
  const Qt::WindowFlags flags = AboutForm->windowFlags();
  QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
  // The native window goes without the system menu, so its caption carries no icon.
  bool menu_left_out = false;
  QVERIFY(ShowModally(*AboutForm, [&] {
    const Qt::WindowFlags native = AboutForm->windowHandle()->flags();
    menu_left_out =
        !native.testFlag(Qt::WindowSystemMenuHint) && native.testFlag(Qt::WindowCloseButtonHint);
  }));
  QVERIFY(menu_left_out);
  QCOMPARE(AboutForm->size(), QSize(585, 161));
  QCOMPARE(AboutForm->minimumSize(), QSize(585, 161));
  QCOMPARE(AboutForm->maximumSize(), QSize(585, 161));
  QCOMPARE(AboutForm->font().family(), QString("Tahoma"));
  QCOMPARE(AboutForm->font().pixelSize(), 11);

  auto* logo = AboutForm->findChild<forms::CentredImage*>("imgLogo");
  QVERIFY(logo);
  QCOMPARE(logo->geometry(), QRect(5, 5, 150, 150));
}

void AboutWindowTest::labelsHaveTheirTextsPlacesAndFonts() {
  QVERIFY(ShowModally(*AboutForm, [] {}));  // the labels are sized at the first showing
  for (const LabelRow& row : kLabels) {
    const QLabel* label = Control(row.name);
    QVERIFY2(label, row.name);
    if (row.text) QCOMPARE(label->text(), QString::fromUtf8(row.text));
    QCOMPARE(label->font().pixelSize(), row.font_pixels);
    QCOMPARE(label->font().family(), QString("Tahoma"));
    QVERIFY2(!label->autoFillBackground(), row.name);
    const QRect placed = label->geometry();
    QCOMPARE(placed.top(), row.design.top());
    if (row.sizing == Sizing::kFixed) {
      QCOMPARE(placed, row.design);
      continue;
    }
    // A label sized to its text: the design rectangle where the text fits it, larger where
    // the font on this machine needs it, and never cutting the text off.
    QVERIFY2(placed.width() >= row.design.width(), row.name);
    QVERIFY2(placed.height() >= row.design.height(), row.name);
    QVERIFY2(label->sizeHint().width() <= placed.width(), row.name);
    QVERIFY2(label->sizeHint().height() <= placed.height(), row.name);
    if (row.sizing == Sizing::kToTextEndingRight) {
      QCOMPARE(placed.left() + placed.width(), row.design.left() + row.design.width());
    } else {
      QCOMPARE(placed.left(), row.design.left());
    }
  }
  const QLabel* title = Control("lbl1");
  QVERIFY(title->wordWrap());
  // The title wraps inside its fixed box on this machine's fonts too.
  QVERIFY(title->heightForWidth(title->width()) <= title->height());
  QVERIFY(!Control("lbl10")->text().isEmpty());
}

void AboutWindowTest::captionsAndValuesLineUp() {
  QVERIFY(ShowModally(*AboutForm, [] {}));
  // The captions end where the values begin less six pixels, in both columns.
  for (const char* caption : {"lbl6", "lbl3", "lbl4"}) {
    QCOMPARE(Control(caption)->geometry().right() + 1, 203);
    QVERIFY(Control(caption)->alignment().testFlag(Qt::AlignRight));
  }
  for (const char* value : {"lblVersion", "lbl2", "lbl5"}) {
    QCOMPARE(Control(value)->x(), 209);
  }
  QCOMPARE(Control("lbl9")->geometry().right() + 1, 395);
  QCOMPARE(Control("lbl8")->geometry().right() + 1, 396);
  QCOMPARE(Control("lbl11")->x(), 401);
  QCOMPARE(Control("lbl10")->x(), 402);
  // The first column's values do not run into the second column's captions.
  QVERIFY(Control("lbl2")->geometry().right() < Control("lbl9")->x());
  QVERIFY(Control("lbl5")->geometry().right() < Control("lbl8")->x());
}

void AboutWindowTest::linkLabelsAreBlueUnderlinedWithTheHandPointer() {
  for (const char* name : {"lbl2", "lbl5"}) {
    auto* link = Control<forms::LinkLabel>(name);
    QVERIFY2(link, name);
    link->ensurePolished();
    QCOMPARE(link->palette().color(link->foregroundRole()), QColor(0, 0, 255));
    QVERIFY(link->font().underline());
    QCOMPARE(link->font().pixelSize(), 11);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
  }
  // The other labels are plain.
  QVERIFY(!Control("lbl3")->font().underline());
  QVERIFY(Control("lbl3")->palette().color(QPalette::WindowText) != QColor(0, 0, 255));
}

void AboutWindowTest::linkClickHandsTheFixedAddressToTheOpener_data() {
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("address");
  QTest::newRow("web") << "lbl2" << kWebAddress;
  QTest::newRow("mail") << "lbl5" << kMailAddress;
}

void AboutWindowTest::linkClickHandsTheFixedAddressToTheOpener() {
  QFETCH(QString, label);
  QFETCH(QString, address);
  auto* link = AboutForm->findChild<forms::LinkLabel*>(label);
  QVERIFY(link);
  const QString shown = link->text();
  QWidgetList windows_before;
  QWidgetList windows_after;
  QVERIFY(ShowModally(*AboutForm, [&] {
    windows_before = QApplication::topLevelWidgets();
    QTest::mouseClick(link, Qt::LeftButton);
    // The address is the handler's own, not the label's text.
    link->setText("elsewhere.example");
    QTest::mouseClick(link, Qt::LeftButton);
    link->setText(shown);
    windows_after = QApplication::topLevelWidgets();
    // The opener reported nothing back, like a desktop with no browser: the window stays as
    // it was and shows no message of its own.
    QVERIFY(AboutForm->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), AboutForm);
  }));
  QCOMPARE(opened_.size(), std::size_t{2});
  for (const QUrl& url : opened_) QCOMPARE(url.toString(QUrl::FullyEncoded), address);
  QCOMPARE(windows_after.size(), windows_before.size());
}

void AboutWindowTest::releaseAwayFromALinkOpensNothing() {
  auto* link = Control<forms::LinkLabel>("lbl2");
  QVERIFY(ShowModally(*AboutForm, [&] {
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 10, -10));
    QTest::mouseClick(link, Qt::RightButton);
  }));
  QVERIFY(opened_.empty());
}

void AboutWindowTest::enterAndEscDoNotCloseTheWindow() {
  bool still_shown = false;
  QVERIFY(ShowModally(*AboutForm, [&] {
    QTest::keyClick(AboutForm, Qt::Key_Escape);
    QTest::keyClick(AboutForm, Qt::Key_Return);
    QTest::keyClick(AboutForm, Qt::Key_Enter);
    still_shown = AboutForm->isVisible();
  }));
  QVERIFY(still_shown);
  QVERIFY(!AboutForm->isVisible());
}

void AboutWindowTest::everyShowingShowsTheSameContent() {
  std::vector<QImage> shots;
  std::vector<QString> versions;
  for (int showing = 0; showing < 3; ++showing) {
    QVERIFY(ShowModally(*AboutForm, [&] {
      shots.push_back(AboutForm->grab().toImage());
      versions.push_back(Control("lblVersion")->text());
    }));
  }
  QCOMPARE(shots.size(), std::size_t{3});
  QVERIFY(!shots[0].isNull());
  QCOMPARE(shots[1], shots[0]);
  QCOMPARE(shots[2], shots[0]);
  for (const QString& version : versions) QCOMPARE(version, QString("1.0.0.1"));
}

void AboutWindowTest::logoHasTransparentParts() {
  const QImage logo(":/about/logo.png");
  QCOMPARE(logo.size(), QSize(150, 150));
  QVERIFY(logo.hasAlphaChannel());
  QCOMPARE(qAlpha(logo.pixel(0, 0)), 0);      // outside the disc
  QCOMPARE(qAlpha(logo.pixel(75, 75)), 255);  // its middle
}

// Runs at whatever scale this run has: 1 under ctest, 1.5 in the run started below.
void AboutWindowTest::logoKeepsItsPhysicalPixelsCentred() {
  const qreal ratio = AboutForm->devicePixelRatioF();
  if (qEnvironmentVariableIsSet(kScaleRunVariable)) {
    QCOMPARE(ratio, qEnvironmentVariable(kScaleRunVariable).toDouble());
  } else {
    QCOMPARE(ratio, 1.0);
  }
  const QImage logo(":/about/logo.png");
  QImage shot;
  QVERIFY(ShowModally(*AboutForm, [&] { shot = Opaque(AboutForm->grab().toImage()); }));
  QVERIFY(!shot.isNull());
  const QColor background = shot.pixelColor(1, shot.height() - 2);  // a corner of the window
  const QImage expected = LogoOver(logo, background);

  // The box grows with the scale (225 by 225 at 1.5) and the logo stays 150 by 150 physical
  // pixels, unscaled, in the box's middle to within the rounding of one pixel.
  auto* box = AboutForm->findChild<forms::CentredImage*>("imgLogo");
  const QRectF physical_box(box->x() * ratio, box->y() * ratio, box->width() * ratio,
                            box->height() * ratio);
  QCOMPARE(qRound(physical_box.width()), qRound(150 * ratio));
  const QPointF ideal = physical_box.center() - QPointF(75, 75);
  bool found = false;
  for (int dy = -1; dy <= 1 && !found; ++dy) {
    for (int dx = -1; dx <= 1 && !found; ++dx) {
      found = ContainsAt(shot, expected, QPoint(qFloor(ideal.x()) + dx, qFloor(ideal.y()) + dy));
    }
  }
  QVERIFY2(found, "the logo's 150 by 150 pixels are not in the middle of its box");
}

void AboutWindowTest::logoKeepsItsPhysicalPixelsAtScaleOneAndAHalf() {
  if (qEnvironmentVariableIsSet(kScaleRunVariable)) QSKIP("already the run at scale 1.5");
  // The display scale is fixed when the application starts, so the whole suite runs again in
  // a fresh process at 150 per cent; every check above holds there as well.
  QProcess run;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_SCALE_FACTOR", "1.5");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert(kScaleRunVariable, "1.5");
  run.setProcessEnvironment(environment);
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(QCoreApplication::applicationFilePath(), {});
  QVERIFY(run.waitForStarted(30000));
  const bool finished = run.waitForFinished(120000);
  const QByteArray output = run.readAll();
  if (!finished) run.kill();
  QVERIFY2(finished, output.constData());
  QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, output.constData());
  QVERIFY2(output.contains("PASS   : AboutWindowTest::logoKeepsItsPhysicalPixelsCentred()"),
           output.constData());
}

void AboutWindowTest::pictureIsShrunkOnlyInASmallerBox() {
  QImage picture(150, 100, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  forms::CentredImage box;
  box.SetPicture(picture);
  const qreal ratio = box.devicePixelRatioF();
  struct Case {
    QSize box;
    QRectF drawn;  // in physical pixels
  } cases[] = {
      // Sizes divisible by three, so they are whole at scale 1.5 too.
      {{300, 300}, {75, 100, 150, 100}},  // larger: own size, centred, not enlarged
      {{150, 102}, {0, 1, 150, 100}},     // just the picture's width
      {{75, 102}, {0, 26, 75, 50}},       // narrower: shrunk to the width, proportions kept
      {{300, 48}, {114, 0, 72, 48}},      // lower: shrunk to the height
  };
  for (const Case& c : cases) {
    box.resize(QSizeF(c.box.width() / ratio, c.box.height() / ratio).toSize());
    const QRectF drawn = box.PictureRect();
    const QRectF physical(drawn.x() * ratio, drawn.y() * ratio, drawn.width() * ratio,
                          drawn.height() * ratio);
    QCOMPARE(physical.toRect(), c.drawn.toRect());
  }
}

int main(int argc, char** argv) {
  theme::PrepareDisplayScaling();
  app::OperatorApplication application(argc, argv);
  AboutWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "about_window_test.moc"
