// The theme Iceberg Classico: the request finds it in any letter case and applies it to the
// program's windows and to the windows Qt makes for it; a missing theme is reported and the
// program runs on in the standard look; damaged theme resources stop the start-up, naming
// them. The scaled checks run as their own test entries under QT_SCALE_FACTOR.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>
#include <optional>

#include "app/startup.h"
#include "forms/centred_image.h"
#include "forms/mainUnit.h"
#include "forms/setupUnit.h"
#include "forms/uAboutForm.h"
#include "resources/resources.h"
#include "theme/container/theme_container.h"
#include "theme/container/theme_failure.h"
#include "theme/theme_look.h"
#include "theme/theme_palette.h"
#include "theme/theme_request.h"
#include "theme/theme_scaling.h"

namespace {

const QColor kThemeWindow(0xed, 0xf2, 0xf6);
const QColor kThemeMenu(0xf8, 0xfa, 0xfc);
const QColor kThemeToolTip(0xfc, 0xfd, 0xfe);
const QString kThemeName = QStringLiteral("Iceberg Classico");

// What a message box showed when it was caught.
struct CaughtBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  bool modal = false;
  QColor background;
};

// Watches from a timer for a message box to become the active modal window, records it and
// presses its first button, so the code that opened it can return.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  const std::optional<CaughtBox>& caught() const { return caught_; }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer_.stop();
    CaughtBox caught;
    caught.title = box->windowTitle();
    caught.text = box->text();
    caught.icon = box->icon();
    caught.modal = box->isModal();
    for (QAbstractButton* button : box->buttons()) caught.buttons << button->text();
    caught.background = box->grab().toImage().pixelColor(3, 3);
    caught_ = caught;
    if (!box->buttons().isEmpty())
      box->buttons().front()->click();
    else
      box->done(0);
  }

  QTimer timer_;
  std::optional<CaughtBox> caught_;
};

QByteArray ProgramThemeContainer() {
  QFile file(theme::kThemeResourceRoot + QStringLiteral("ICEBERGCLASSICO"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QByteArray ContainerOf(const theme::ThemePackage& package) {
  const std::string bytes = theme::EncodeThemeContainer(package);
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void WriteResource(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

bool IsStandardLook() {
  return qApp->styleSheet().isEmpty() && QApplication::style()->name().compare(
                                             theme::StandardLook().name, Qt::CaseInsensitive) == 0;
}

int CountPixels(const QImage& image, bool (*matches)(const QColor&)) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (matches(image.pixelColor(x, y))) ++count;
  return count;
}

bool IsBlue(const QColor& c) {
  return c.blue() > 200 && c.red() < 90 && c.green() < 90;
}

QSize PhysicalSize(const QWidget* widget) {
  const qreal ratio = widget->devicePixelRatioF();
  return QSize(qRound(widget->width() * ratio), qRound(widget->height() * ratio));
}

QRect PhysicalGeometry(const QWidget* widget) {
  const qreal ratio = widget->devicePixelRatioF();
  const QRect g = widget->geometry();
  return QRect(qRound(g.x() * ratio), qRound(g.y() * ratio), qRound(g.width() * ratio),
               qRound(g.height() * ratio));
}

// The program's three windows, made once by the start-up code itself (theme request first).
void EnsureProgramWindows() {
  if (!MainForm) app::CreateWindows();
}

}  // namespace

class ThemeTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { resources::InitResources(); }

  void init() {
    if (!IsScaledRun()) theme::ApplyLook(theme::StandardLook());
  }

  void requestFindsThemeInAnyLetterCase_data() {
    QTest::addColumn<QString>("requested");
    QTest::newRow("as named") << kThemeName;
    QTest::newRow("small letters") << QStringLiteral("iceberg classico");
    QTest::newRow("capitals") << QStringLiteral("ICEBERG CLASSICO");
    QTest::newRow("mixed") << QStringLiteral("iCEBERG cLASSICO");
  }
  void requestFindsThemeInAnyLetterCase() {
    QFETCH(QString, requested);
    theme::ThemeRequest request;
    MessageBoxCatcher catcher;
    QVERIFY(request.Request(requested, true));
    QVERIFY(!catcher.caught());
    QCOMPARE(request.ActiveName(), kThemeName);
    QCOMPARE(QApplication::palette().color(QPalette::Window), kThemeWindow);
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("QPushButton")));
    // Asked again, the theme comes from those already loaded.
    QVERIFY(request.Request(kThemeName.toLower(), true));
    QCOMPARE(request.ActiveName(), kThemeName);
  }

  void standardLookCanBeRequestedBack() {
    theme::ThemeRequest request;
    QVERIFY(request.Request(kThemeName, false));
    QVERIFY(!IsStandardLook());
    QVERIFY(request.Request(theme::StandardLook().name.toUpper(), false));
    QVERIFY(IsStandardLook());
  }

  void missingThemeIsReportedAndStandardLookStays() {
    QTemporaryDir no_themes;
    QVERIFY(no_themes.isValid());
    theme::ThemeRequest request(no_themes.path());
    MessageBoxCatcher catcher;
    QVERIFY(!request.Request(kThemeName, true));
    QVERIFY(catcher.caught());
    const CaughtBox& box = *catcher.caught();
    QCOMPARE(box.text, QStringLiteral("Style 'Iceberg Classico' not found"));
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QStringList{QStringLiteral("&Close")});
    QVERIFY(box.modal);
    QVERIFY(IsStandardLook());
    QCOMPARE(request.ActiveName(), theme::StandardLook().name);

    // Without the flag nothing is shown, and the program still runs on.
    MessageBoxCatcher quiet;
    QVERIFY(!request.Request(QStringLiteral("Other"), false));
    QCoreApplication::processEvents();
    QVERIFY(!quiet.caught());
  }

  void damagedResourcesStopTheStartUp_data() {
    QTest::addColumn<QStringList>("resources");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("themeFoundAfterwards");
    // Each resource is "NAME=kind": good, garbage, truncated, badpalette, nostylesheet.
    QTest::newRow("two bad") << QStringList{"BROKEN=garbage", "TRUNCATED=truncated"}
                             << "Unable to load styles: BROKEN, TRUNCATED" << false;
    QTest::newRow("one bad beside the good one")
        << QStringList{"ICEBERGCLASSICO=good", "ZEBRA=garbage"} << "Unable to load style 'ZEBRA'"
        << true;
    // The second resource that names a registered theme is the one that failed.
    QTest::newRow("same theme twice")
        << QStringList{"A=good", "B=good"} << "Unable to load style 'B'" << true;
    QTest::newRow("palette unreadable")
        << QStringList{"P=badpalette"} << "Unable to load style 'P'" << false;
    QTest::newRow("style sheet missing")
        << QStringList{"S=nostylesheet", "T=garbage"} << "Unable to load styles: S, T" << false;
    QTest::newRow("in a subfolder")
        << QStringList{"sub/DEEP=truncated"} << "Unable to load style 'sub/DEEP'" << false;
  }
  void damagedResourcesStopTheStartUp() {
    QFETCH(QStringList, resources);
    QFETCH(QString, message);
    QFETCH(bool, themeFoundAfterwards);
    const QByteArray good = ProgramThemeContainer();
    QVERIFY(!good.isEmpty());
    const theme::ThemePackage package =
        theme::DecodeThemeContainer(std::string_view(good.constData(), good.size()));
    theme::ThemePackage bad_palette = package;
    bad_palette.sections = {{"palette", "Window = ice blue\nButton = #e2eaf1\n"},
                            {"stylesheet", ""}};
    theme::ThemePackage no_style_sheet = package;
    no_style_sheet.name = "Other";
    no_style_sheet.sections = {{"palette", "Window = #edf2f6\nButton = #e2eaf1\n"}};
    const QMap<QString, QByteArray> kinds = {
        {"good", good},
        {"garbage", QByteArray("APP_STYLE 2.0 is not followed by zlib data")},
        {"truncated", good.left(good.size() / 2)},
        {"badpalette", ContainerOf(bad_palette)},
        {"nostylesheet", ContainerOf(no_style_sheet)},
    };

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub")));
    for (const QString& resource : resources) {
      const QStringList parts = resource.split(u'=');
      WriteResource(dir, parts[0], kinds.value(parts[1]));
    }

    theme::ThemeRequest request(dir.path());
    try {
      request.Request(kThemeName, true);
      QFAIL("the damaged resources were accepted");
    } catch (const queue::Failure& failure) {
      QCOMPARE(QString::fromStdU16String(failure.message()), message);
      QCOMPARE(failure.kind(), theme::ThemeFailure::kLoad);
    }
    QVERIFY(IsStandardLook());
    // Discovery is not repeated; what did register can still be requested.
    MessageBoxCatcher catcher;
    QCOMPARE(request.Request(kThemeName, false), themeFoundAfterwards);
    QVERIFY(!catcher.caught());
  }

  void paletteDefinitionErrors_data() {
    QTest::addColumn<QString>("definition");
    QTest::newRow("no Window") << "Button = #e2eaf1";
    QTest::newRow("no Button") << "Window = #edf2f6";
    QTest::newRow("unknown role") << "Window = #edf2f6\nButton = #e2eaf1\nFrost = #ffffff";
    QTest::newRow("unknown group") << "Window = #edf2f6\nButton = #e2eaf1\nDim:Text = #ffffff";
    QTest::newRow("colour by name") << "Window = white\nButton = #e2eaf1";
    QTest::newRow("colour too short") << "Window = #edf2f\nButton = #e2eaf1";
    QTest::newRow("no equals sign") << "Window #edf2f6\nButton = #e2eaf1";
  }
  void paletteDefinitionErrors() {
    QFETCH(QString, definition);
    QVERIFY_THROWS_EXCEPTION(queue::Failure, theme::ParseThemePalette(definition));
  }

  void paletteGroupSettingWinsWherever() {
    const QPalette palette = theme::ParseThemePalette(
        "# comment\nDisabled:Text = #101010\nWindow = #edf2f6\nButton = #e2eaf1\n"
        "Text = #202020\n");
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), QColor("#101010"));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor("#202020"));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Window), QColor("#edf2f6"));
  }

  // Message boxes, menus and tooltips are made by Qt, not by the program's windows.
  void windowsQtMakesWearTheTheme() {
    QVERIFY(theme::RequestTheme(kThemeName, true));

    MessageBoxCatcher catcher;
    QMessageBox::information(nullptr, QStringLiteral("Title"), QStringLiteral("Text"));
    QVERIFY(catcher.caught());
    QCOMPARE(catcher.caught()->background, kThemeWindow);

    QMenu menu;
    menu.addAction(QStringLiteral("Первый"));
    menu.addAction(QStringLiteral("Второй"));
    menu.ensurePolished();
    menu.adjustSize();
    QCOMPARE(menu.grab().toImage().pixelColor(1, menu.height() / 2), kThemeMenu);

    QWidget anchor;
    anchor.resize(100, 40);
    anchor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&anchor));
    QToolTip::showText(anchor.mapToGlobal(QPoint(10, 10)), QStringLiteral("Подсказка"), &anchor);
    QWidget* tip = nullptr;
    QTRY_VERIFY((tip = [] {
                  for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->inherits("QTipLabel") && w->isVisible()) return w;
                  return static_cast<QWidget*>(nullptr);
                }()) != nullptr);
    QCOMPARE(tip->grab().toImage().pixelColor(1, tip->height() / 2), kThemeToolTip);
    QToolTip::hideText();
  }

  // A label's own text colour stays in force under the theme: the About window's links.
  void labelKeepsItsOwnTextColour() {
    QVERIFY(theme::RequestTheme(kThemeName, true));
    QDialog dialog;
    auto* plain = new QLabel(QStringLiteral("обычный текст"), &dialog);
    auto* own = new QLabel(QStringLiteral("своя краска"), &dialog);
    QPalette blue = own->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    own->setPalette(blue);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(plain);
    layout->addWidget(own);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(CountPixels(own->grab().toImage(), IsBlue) > 10);
    QCOMPARE(CountPixels(plain->grab().toImage(), IsBlue), 0);
    dialog.hide();

    EnsureProgramWindows();
    AboutForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(AboutForm));
    auto* web = AboutForm->findChild<QLabel*>(QStringLiteral("lbl2"));
    QVERIFY(web);
    QVERIFY(CountPixels(web->grab().toImage(), IsBlue) > 10);
    AboutForm->hide();
  }

  // The operator window asks for cream; under the theme the theme's background is painted.
  void operatorWindowBackgroundIsTheThemes() {
    EnsureProgramWindows();
    QVERIFY(theme::RequestTheme(kThemeName, true));
    MainForm->resize(404, 200);  // tall enough to show background below the list
    const QImage image = MainForm->grab().toImage();
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 5), kThemeWindow);
  }

  // Run with QT_SCALE_FACTOR=2: the settings window at 192 dpi.
  void settingsWindowAtScale2() {
    if (!IsScaledRun(2.0)) QSKIP("runs under QT_SCALE_FACTOR=2");
    EnsureProgramWindows();
    SetupForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(SetupForm));
    QCOMPARE(SetupForm->devicePixelRatioF(), 2.0);
    QCOMPARE(PhysicalSize(SetupForm), QSize(686, 258));
    QCOMPARE(SetupForm->grab().size(), QSize(686, 258));
    auto* save = SetupForm->findChild<QPushButton*>(QStringLiteral("btn1"));
    QVERIFY(save);
    QCOMPARE(save->text(), QStringLiteral("Сохранить"));
    QCOMPARE(PhysicalGeometry(save), QRect(224, 172, 210, 70));
    // The list and the edit field take their height from their fonts, 32 physical pixels.
    for (const char* name : {"operatorSelect", "serverEdit"}) {
      auto* field = SetupForm->findChild<QWidget*>(QString::fromLatin1(name));
      QVERIFY(field);
      QCOMPARE(qRound(field->font().pixelSize() * field->devicePixelRatioF()), 32);
      QVERIFY(field->height() >= QFontMetrics(field->font()).height());
    }
    SetupForm->hide();
  }

  // Run with QT_SCALE_FACTOR=1.5: the About window's box grows, its logo keeps its pixels.
  void aboutLogoAtScale1_5() {
    if (!IsScaledRun(1.5)) QSKIP("runs under QT_SCALE_FACTOR=1.5");
    EnsureProgramWindows();
    AboutForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(AboutForm));
    auto* logo = AboutForm->findChild<forms::CentredImage*>(QStringLiteral("imgLogo"));
    QVERIFY(logo);
    QCOMPARE(PhysicalSize(logo), QSize(225, 225));
    const QImage box = logo->grab().toImage();
    QCOMPARE(box.size(), QSize(225, 225));
    // The picture's pixels, compared with the stored logo where it is opaque.
    const QImage picture =
        QImage(QStringLiteral(":/about/logo.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(picture.size(), QSize(150, 150));
    const QRectF drawn = logo->PictureRect();
    const QPoint origin(qRound(drawn.x() * 1.5), qRound(drawn.y() * 1.5));
    QCOMPARE(QSize(qRound(drawn.width() * 1.5), qRound(drawn.height() * 1.5)), QSize(150, 150));
    QVERIFY(std::abs(origin.x() - 37) <= 1 && std::abs(origin.y() - 37) <= 1);
    int opaque = 0;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 150; ++x)
        if (qAlpha(picture.pixel(x, y)) == 255) {
          ++opaque;
          QCOMPARE(box.pixelColor(origin + QPoint(x, y)).rgb(), picture.pixelColor(x, y).rgb());
        }
    QVERIFY(opaque > 0);
    AboutForm->hide();
  }

 private:
  static bool IsScaledRun(double factor = 0) {
    const QByteArray set = qgetenv("QT_SCALE_FACTOR");
    if (set.isEmpty()) return false;
    return factor == 0 || std::abs(set.toDouble() - factor) < 1e-9;
  }
};

int main(int argc, char** argv) {
  theme::PrepareDisplayScaling();
  QApplication application(argc, argv);
  ThemeTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "theme_test.moc"
