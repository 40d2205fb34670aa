// The theme's style: Fusion over the theme's palette.
#include "theme/theme_style.h"

#include <QStyleFactory>

namespace theme {

ThemeStyle::ThemeStyle(const QPalette& palette)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), palette_(palette) {}

QPalette ThemeStyle::standardPalette() const {
  return palette_;
}

void ThemeStyle::polish(QPalette& palette) {
  palette = palette_;
}

int ThemeStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* return_data) const {
  switch (hint) {
    case SH_DialogButtonBox_ButtonsHaveIcons:
      return 0;  // message box buttons show their words only, as on the clerks' desktops
    case SH_ToolTipLabel_Opacity:
      return 255;  // tooltips opaque: a translucent one is hard to read over the big answer
    default:
      return QProxyStyle::styleHint(hint, option, widget, return_data);
  }
}

}  // namespace theme
