// Display scaling set-up.
#include "theme/theme_scaling.h"

#include <QGuiApplication>

namespace theme {

void PrepareDisplayScaling() {
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

}  // namespace theme
