// The start-up failure box: how a failure that escapes start-up, before the message loop
// runs, is shown. Caption "Application Error"; the process then ends with exit code 1.
#pragma once

#include <QString>
#include <exception>

namespace app {

// The text rule of core/startup_failure_text.h, for Qt's texts.
QString StartupFailureText(const QString& type_name, const QString& module_name, quintptr address,
                           const QString& message);

// Builds the text for `failure` raised in `module_name` and shows the box, without owner.
void ShowStartupFailure(std::exception_ptr failure, const QString& module_name) noexcept;

}  // namespace app
