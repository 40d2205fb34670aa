// The load and save of the operator window's values against real files, with plain widgets
// standing in for the windows: defaults, the file's exact contents after a save, the `Left`
// key in any case, the window number, an empty server address, refused writes, the placement
// rules and the physical pixels at display scale 2.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <memory>

#include "core/failure.h"
#include "forms/form_settings.h"
#include "forms/placement/form_placement.h"
#include "settings/settings_failure.h"

namespace {

// Set in the run that this program starts of itself at display scale 2.
constexpr char kScaledRunVariable[] = "SETTINGS_TEST_SCALED_RUN";

const QByteArray kDefaultFile =
    "[Form]\r\nTop=0\r\nleft=0\r\nWidth=420\r\nHeight=112\r\n"
    "[Server]\r\nHost=http://localhost\r\nWindow=-1\r\n";

// Sets or clears the immutable flag (chattr +i); false where that is not allowed.
bool SetImmutable(const QString& path, bool immutable) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return done;
}

}  // namespace

class SettingsFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void noFileGivesTheDefaultsAndSaveWritesSixEntries();
  void leftInAnyCaseIsReadAndOverwritten_data();
  void leftInAnyCaseIsReadAndOverwritten();
  void windowIsTheListPosition_data();
  void windowIsTheListPosition();
  void emptyHostStaysEmpty();
  void editedValuesReachTheFile();
  void refusedWriteThrowsAndTheNextSaveSucceeds();
  void immutableFileIsRefusedAndKept();
  void settingsPathIsBesideTheExecutable();
  void minimisedWindowStoresItsRestoredRectangle();
  void storedSizeIsTheOuterSizeOnceTheFrameIsKnown();
  void placement_data();
  void placement();
  void storedPixelsArePhysical();
  void storedPixelsArePhysicalAtScaleTwo();

 private:
  QByteArray Stored() const;
  void Store(const QByteArray& bytes) const;
  void Load() { settings::LoadSettings(path_, *window_, *select_, *edit_); }
  void Save() { settings::SaveSettings(path_, *window_, *select_, *edit_); }
  // The windows as they are when the program starts.
  void MakeWidgets();

  std::unique_ptr<QTemporaryDir> dir_;
  QString path_;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<QComboBox> select_;
  std::unique_ptr<QLineEdit> edit_;
};

void SettingsFormTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  path_ = dir_->filePath(QStringLiteral("Operator.ini"));
  MakeWidgets();
}

void SettingsFormTest::MakeWidgets() {
  window_ = std::make_unique<QWidget>();
  window_->resize(404, 83);
  select_ = std::make_unique<QComboBox>();
  for (int number = 1; number <= 7; ++number) select_->addItem(QString::number(number));
  edit_ = std::make_unique<QLineEdit>();
}

void SettingsFormTest::cleanup() {
  SetImmutable(path_, false);
  edit_.reset();
  select_.reset();
  window_.reset();
  dir_.reset();
}

QByteArray SettingsFormTest::Stored() const {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return "<no file>";
  return file.readAll();
}

void SettingsFormTest::Store(const QByteArray& bytes) const {
  QFile file(path_);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

void SettingsFormTest::noFileGivesTheDefaultsAndSaveWritesSixEntries() {
  select_->setCurrentIndex(3);
  edit_->setText(QStringLiteral("typed before"));
  window_->move(50, 60);
  Load();
  QCOMPARE(window_->frameGeometry(), QRect(0, 0, 420, 112));
  QCOMPARE(edit_->text(), QStringLiteral("http://localhost"));
  QCOMPARE(select_->currentIndex(), -1);
  QCOMPARE(Stored(), QByteArray("<no file>"));  // the load creates nothing
  Save();
  QCOMPARE(Stored(), kDefaultFile);
}

void SettingsFormTest::leftInAnyCaseIsReadAndOverwritten_data() {
  QTest::addColumn<QByteArray>("key");
  QTest::newRow("Left") << QByteArray("Left");
  QTest::newRow("left") << QByteArray("left");
  QTest::newRow("LEFT") << QByteArray("LEFT");
  QTest::newRow("lEfT") << QByteArray("lEfT");
}

void SettingsFormTest::leftInAnyCaseIsReadAndOverwritten() {
  QFETCH(QByteArray, key);
  Store("[Form]\r\nTop=10\r\n" + key + "=50\r\nWidth=300\r\nHeight=100\r\n");
  Load();
  QCOMPARE(window_->frameGeometry(), QRect(50, 10, 300, 100));
  window_->move(70, 10);
  Save();
  QCOMPARE(Stored(), "[Form]\r\nTop=10\r\n" + key +
                         "=70\r\nWidth=300\r\nHeight=100\r\n"
                         "[Server]\r\nHost=http://localhost\r\nWindow=-1\r\n");
}

void SettingsFormTest::windowIsTheListPosition_data() {
  QTest::addColumn<QByteArray>("stored");
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("number");
  QTest::newRow("2 is number 3") << QByteArray("2") << 2 << QStringLiteral("3");
  QTest::newRow("0 is number 1") << QByteArray("0") << 0 << QStringLiteral("1");
  QTest::newRow("6 is number 7") << QByteArray("6") << 6 << QStringLiteral("7");
  QTest::newRow("hex 0x6") << QByteArray("0x6") << 6 << QStringLiteral("7");
  QTest::newRow("7 is past the list") << QByteArray("7") << -1 << QString();
  QTest::newRow("-5 selects none") << QByteArray("-5") << -1 << QString();
  QTest::newRow("empty selects none") << QByteArray("") << -1 << QString();
  QTest::newRow("not a number") << QByteArray("three") << -1 << QString();
}

void SettingsFormTest::windowIsTheListPosition() {
  QFETCH(QByteArray, stored);
  QFETCH(int, index);
  QFETCH(QString, number);
  Store("[Server]\r\nWindow=" + stored + "\r\n");
  select_->setCurrentIndex(4);  // the load must replace what was selected
  Load();
  QCOMPARE(select_->currentIndex(), index);
  QCOMPARE(select_->currentText(), number);
  Save();
  QVERIFY2(Stored().contains("\r\nWindow=" + QByteArray::number(index) + "\r\n"), Stored());
}

void SettingsFormTest::emptyHostStaysEmpty() {
  Store("[Server]\r\nHost=\r\n");
  edit_->setText(QStringLiteral("http://localhost"));
  Load();
  QCOMPARE(edit_->text(), QString());
  Save();
  QVERIFY2(Stored().startsWith("[Server]\r\nHost=\r\nWindow=-1\r\n[Form]\r\n"), Stored());
}

// What the clerk changes during the run (the window's place, the settings window's controls)
// is what the next save stores, and the next load brings back.
void SettingsFormTest::editedValuesReachTheFile() {
  Load();
  window_->setGeometry(-200, 35, 500, 150);
  edit_->setText(QStringLiteral("https://очередь.local:8443"));
  select_->setCurrentIndex(5);
  Save();
  QCOMPARE(Stored(), QStringLiteral("[Form]\r\nTop=35\r\nleft=-200\r\nWidth=500\r\nHeight=150\r\n"
                                    "[Server]\r\nHost=https://очередь.local:8443\r\n"
                                    "Window=5\r\n")
                         .toUtf8());
  init();
  path_ = QFileInfo(path_).absolutePath() == dir_->path() ? path_ : path_;
  const QByteArray written =
      "[Form]\r\nTop=35\r\nleft=-200\r\nWidth=500\r\nHeight=150\r\n"
      "[Server]\r\nHost=https://очередь.local:8443\r\nWindow=5\r\n";
  Store(written);
  Load();
  QCOMPARE(window_->frameGeometry(), QRect(-200, 35, 500, 150));
  QCOMPARE(edit_->text(), QStringLiteral("https://очередь.local:8443"));
  QCOMPARE(select_->currentIndex(), 5);
}

void SettingsFormTest::refusedWriteThrowsAndTheNextSaveSucceeds() {
  Load();
  QVERIFY(QDir().mkdir(path_));  // a directory where the file should be
  try {
    Save();
    QFAIL("the save was not refused");
  } catch (const queue::Failure& failure) {
    QCOMPARE(failure.kind(), settings::SettingsFailure::kWrite);
    QCOMPARE(QString::fromStdU16String(failure.message()),
             QStringLiteral("Unable to write to ") + path_);
  }
  QVERIFY(QDir().rmdir(path_));
  Save();
  QCOMPARE(Stored(), kDefaultFile);
}

void SettingsFormTest::immutableFileIsRefusedAndKept() {
  const QByteArray before = "[Form]\r\nTop=1\r\n";
  Store(before);
  if (!SetImmutable(path_, true)) QSKIP("cannot set the immutable flag here");
  window_->move(5, 5);
  QVERIFY_THROWS_EXCEPTION(queue::Failure, Save());
  QCOMPARE(Stored(), before);
  QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList{QStringLiteral("Operator.ini")});
  QVERIFY(SetImmutable(path_, false));
  Save();
  QVERIFY2(Stored().startsWith("[Form]\r\nTop=5\r\nleft=5\r\n"), Stored());
}

void SettingsFormTest::settingsPathIsBesideTheExecutable() {
  // This program's file has no extension, so ".ini" is appended to its full path.
  QCOMPARE(settings::SettingsFilePath(),
           QCoreApplication::applicationFilePath() + QStringLiteral(".ini"));
  QVERIFY(QFileInfo(settings::SettingsFilePath()).isAbsolute());
}

// A window minimised from the maximised state would be restored to its normal rectangle;
// that, not the maximised or the minimised one, is stored.
void SettingsFormTest::minimisedWindowStoresItsRestoredRectangle() {
  Load();
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  window_->move(30, 40);
  window_->resize(300, 100);
  QTRY_COMPARE(window_->frameGeometry().topLeft(), QPoint(30, 40));
  const QRect restored = window_->frameGeometry();
  window_->showMaximized();
  QTRY_VERIFY(window_->frameGeometry() != restored);
  window_->showMinimized();
  QTRY_VERIFY(window_->isMinimized());
  Save();
  const QByteArray expected =
      QStringLiteral("[Form]\r\nTop=%1\r\nleft=%2\r\nWidth=%3\r\nHeight=%4\r\n")
          .arg(restored.y())
          .arg(restored.x())
          .arg(restored.width())
          .arg(restored.height())
          .toLatin1();
  QVERIFY2(Stored().startsWith(expected), Stored());
}

// The frame is unknown until the window is mapped; the stored size is still the outer one
// once it is, so that the window does not grow by its frame at every start.
void SettingsFormTest::storedSizeIsTheOuterSizeOnceTheFrameIsKnown() {
  const QByteArray stored = "[Form]\r\nTop=40\r\nleft=60\r\nWidth=420\r\nHeight=112\r\n";
  Store(stored);
  Load();
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  QTRY_COMPARE(window_->frameGeometry(), QRect(60, 40, 420, 112));
  Save();
  QVERIFY2(Stored().startsWith(stored), Stored());
}

void SettingsFormTest::placement_data() {
  QTest::addColumn<QList<QRect>>("screens");  // the primary's geometry first, then available areas
  QTest::addColumn<QRect>("stored");          // left, top, width, height as stored
  QTest::addColumn<QRect>("expected");
  // A screen without a task bar, one with a task bar at the bottom, and a second monitor
  // left of the primary one.
  const QList<QRect> bare{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
  const QList<QRect> task_bar{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)};
  const QList<QRect> two{QRect(0, 0, 1920, 1080), QRect(0, 30, 1920, 1050),
                         QRect(-1280, 0, 1280, 984)};
  QTest::newRow("as stored") << bare << QRect(100, 200, 500, 150) << QRect(100, 200, 500, 150);
  QTest::newRow("top one above the bottom edge")
      << bare << QRect(0, 1079, 420, 112) << QRect(0, 1079, 420, 112);
  // The correction uses the created height (112), not the stored one.
  QTest::newRow("top at the bottom edge")
      << bare << QRect(0, 1080, 420, 300) << QRect(0, 1080 - 112 - 30, 420, 300);
  QTest::newRow("top far below") << bare << QRect(0, 5000, 420, 112)
                                 << QRect(0, 1080 - 112 - 30, 420, 112);
  QTest::newRow("left at the right edge")
      << bare << QRect(1920, 10, 600, 112) << QRect(1920 - 420 - 30, 10, 600, 112);
  QTest::newRow("partly off the left edge")
      << bare << QRect(-300, 10, 420, 112) << QRect(-300, 10, 420, 112);
  // Wholly outside every screen's available area: to the primary's available top left.
  QTest::newRow("top of -3000") << bare << QRect(10, -3000, 420, 112) << QRect(0, 0, 420, 112);
  QTest::newRow("removed monitor") << bare << QRect(-1000, 100, 420, 112) << QRect(0, 0, 420, 112);
  QTest::newRow("only on the task bar")
      << task_bar << QRect(0, 1045, 420, 30) << QRect(0, 0, 420, 30);
  QTest::newRow("on the monitor left of the primary")
      << two << QRect(-1000, 100, 420, 112) << QRect(-1000, 100, 420, 112);
  QTest::newRow("above the primary, beside nothing")
      << two << QRect(100, -500, 420, 112) << QRect(0, 30, 420, 112);
  // A damaged file's size would make a window of gigabytes: no larger than the desktop and
  // the frame (4 by 30 in this table).
  QTest::newRow("huge size bounded by the desktop")
      << bare << QRect(0, 0, 99999999, 2147483647) << QRect(0, 0, 1920 + 4, 1080 + 30);
  QTest::newRow("huge size bounded by both monitors")
      << two << QRect(-1000, 0, 2147483647, 2147483647) << QRect(-1000, 0, 3200 + 4, 1080 + 30);
  QTest::newRow("smallest position stays in range")
      << bare << QRect(-2147483647 - 1, -2147483647 - 1, 420, 112) << QRect(0, 0, 420, 112);
}

void SettingsFormTest::placement() {
  QFETCH(QList<QRect>, screens);
  QFETCH(QRect, stored);
  QFETCH(QRect, expected);
  settings::ScreenLayout layout;
  layout.primary = screens[0];
  layout.primary_available = screens[1];
  layout.available = screens.mid(1);
  for (const QRect& area : layout.available) layout.desktop |= area;
  layout.desktop |= layout.primary;
  const settings::StoredPlacement placement{stored.y(), stored.x(), stored.width(),
                                            stored.height()};
  QCOMPARE(settings::PlaceOperatorWindow(placement, QSize(420, 112), QSize(4, 30), layout),
           expected);
}

// Stored values are physical pixels; Qt's are device-independent. At scale 1 they agree; the
// same slot runs again at scale 2 in a fresh process (below).
void SettingsFormTest::storedPixelsArePhysical() {
  const qreal ratio = window_->devicePixelRatioF();
  if (qEnvironmentVariableIsSet(kScaledRunVariable)) QCOMPARE(ratio, 2.0);
  Store("[Form]\r\nTop=40\r\nLeft=60\r\nWidth=420\r\nHeight=112\r\n");
  Load();
  QCOMPARE(window_->frameGeometry(),
           QRect(qRound(60 / ratio), qRound(40 / ratio), qRound(420 / ratio), qRound(112 / ratio)));
  Save();
  QVERIFY2(Stored().startsWith("[Form]\r\nTop=40\r\nLeft=60\r\nWidth=420\r\nHeight=112\r\n"),
           Stored());
}

void SettingsFormTest::storedPixelsArePhysicalAtScaleTwo() {
  if (qEnvironmentVariableIsSet(kScaledRunVariable)) QSKIP("already the run at scale 2");
  QProcess run;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QString::fromLatin1(kScaledRunVariable), QStringLiteral("1"));
  run.setProcessEnvironment(environment);
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("storedPixelsArePhysical")});
  QVERIFY(run.waitForStarted(30000));
  QVERIFY(run.waitForFinished(120000));
  const QByteArray output = run.readAll();
  QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, output.constData());
  QVERIFY2(output.contains("PASS   : SettingsFormTest::storedPixelsArePhysical()"),
           output.constData());
}

QTEST_MAIN(SettingsFormTest)
#include "settings_form_test.moc"
