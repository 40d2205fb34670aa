// Composing and showing the start-up failure box.
#include "app/startup_failure_box.h"

#include <QMessageBox>
#include <typeinfo>

#include "core/failure.h"

#if defined(__GNUC__)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

namespace app {
namespace {

QString TypeNameOf(const std::exception& e) {
#if defined(__GNUC__)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status), std::free);
  if (status == 0 && name) return QString::fromUtf8(name.get());
#endif
  return QString::fromUtf8(typeid(e).name());
}

struct Described {
  QString type_name;
  QString message;
};

Described Describe(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const queue::Failure& f) {
    return {QString::fromLatin1(f.TypeName()), QString::fromStdU16String(f.message())};
  } catch (const std::exception& e) {
    return {TypeNameOf(e), QString::fromUtf8(e.what())};
  } catch (...) {
    return {QStringLiteral("Exception"), QString()};
  }
}

}  // namespace

QString StartupFailureText(const QString& type_name, const QString& module_name, quintptr address,
                           const QString& message) {
  const QString stop =
      message.isEmpty() || message.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
  return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4%5\r\n")
      .arg(type_name, module_name,
           QStringLiteral("%1")
               .arg(static_cast<qulonglong>(address & 0xFFFFFFFFu), 8, 16, QLatin1Char('0'))
               .toUpper(),
           message, stop);
}

void ShowStartupFailure(std::exception_ptr failure, const QString& module_name) noexcept {
  try {
    const Described described = Describe(failure);
    // Where a failure was raised is not recorded by our failures, so the address is zero.
    const QString text = StartupFailureText(described.type_name, module_name, 0, described.message);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), text,
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("StartupFailureBox"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  } catch (...) {
    qCritical("Start-up failed, and the failure could not be shown");
  }
}

}  // namespace app
