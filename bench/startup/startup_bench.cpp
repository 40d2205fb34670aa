// startup_bench: how long the operator program takes from process start to its first drawn
// operator window, against a minimal Qt Widgets program that shows one window with one short
// text label, both started afresh (offscreen) many times. Prints the medians and their ratio.
//
// The floor draws text because the operator window does: a window without text never sets up
// the font database (fontconfig's configuration and caches, FreeType), which is a fixed cost of
// any Qt Widgets program that shows words, not a cost of this program.
//
// It starts itself as the child: "--child operator" runs the program's own start-up (the
// application object, the windows, the first show) and "--child minimal" shows a
// QWidget with one QLabel; each child prints one line when its window is first painted, and the
// parent times from the start of the process to that line.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/operator_application.h"
#include "app/startup.h"
#include "bench/instruction_count.h"
#include "forms/mainUnit.h"

namespace {

constexpr char kShownLine[] = "shown\n";
constexpr int kChildTimeoutMs = 30000;

// Ends the child once `window` has been drawn for the first time: the first paint event marks
// the drawing pass, and what is queued from it runs when that pass, children included, is done.
// Under callgrind (scripts/bench counts a child whole) the count stops there too, so it covers
// the same span as the time: from the process's first instruction to the drawn window, without
// the shut-down after it.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QMetaObject::invokeMethod(
          this,
          [] {
#ifdef QUEUE_BENCH_COUNTS
            CALLGRIND_TOGGLE_COLLECT;
#endif
            std::fputs(kShownLine, stdout);
            std::fflush(stdout);
            QCoreApplication::exit(0);
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  bool seen_ = false;
};

int RunOperatorChild(int argc, char** argv) {
  app::OperatorApplication application(argc, argv);
  app::CreateWindows();
  FirstPaint first_paint;
  MainForm->installEventFilter(&first_paint);
  app::ShowMainWindow(Qt::WindowNoState);
  const int code = QApplication::exec();
  app::DestroyWindows();
  return code;
}

int RunMinimalChild(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.resize(404, 83);
  QLabel label(QStringLiteral("Следующий"), &window);
  FirstPaint first_paint;
  window.installEventFilter(&first_paint);
  window.show();
  return QApplication::exec();
}

// Milliseconds from starting the child to its "shown" line; negative when it failed.
double TimeChild(const QString& program, const char* kind) {
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(environment);
  QElapsedTimer timer;
  timer.start();
  child.start(program, {QStringLiteral("--child"), QString::fromLatin1(kind)});
  QByteArray output;
  while (!output.contains(kShownLine) && child.waitForReadyRead(kChildTimeoutMs)) {
    output += child.readAllStandardOutput();
  }
  const double elapsed = timer.nsecsElapsed() / 1e6;
  child.waitForFinished(kChildTimeoutMs);
  return output.contains(kShownLine) ? elapsed : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
    if (std::strcmp(argv[2], "operator") == 0) return RunOperatorChild(argc, argv);
    if (std::strcmp(argv[2], "minimal") == 0) return RunMinimalChild(argc, argv);
    return 2;
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  QCoreApplication application(argc, argv);
  const QString self = QCoreApplication::applicationFilePath();
  std::vector<double> operator_ms;
  std::vector<double> minimal_ms;
  // Interleaved, so both see the same load of the machine; one warm-up run each first.
  for (int i = 0; i <= runs; ++i) {
    const double operator_run = TimeChild(self, "operator");
    const double minimal_run = TimeChild(self, "minimal");
    if (operator_run < 0 || minimal_run < 0) {
      std::fprintf(stderr, "startup_bench: a child did not show its window\n");
      return 1;
    }
    if (i == 0) continue;
    operator_ms.push_back(operator_run);
    minimal_ms.push_back(minimal_run);
  }
  const double operator_median = Median(operator_ms);
  const double minimal_median = Median(minimal_ms);
  std::printf("runs: %d each, offscreen\n", runs);
  std::printf("operator program, start to first drawn window: median %.1f ms (min %.1f)\n",
              operator_median, *std::min_element(operator_ms.begin(), operator_ms.end()));
  std::printf("minimal Qt Widgets program:                    median %.1f ms (min %.1f)\n",
              minimal_median, *std::min_element(minimal_ms.begin(), minimal_ms.end()));
  std::printf("ratio operator / minimal: %.2f\n", operator_median / minimal_median);
  return 0;
}
