// The style that draws a theme: Fusion's shapes in the theme's palette. The theme's style
// sheet is laid over it application-wide (theme_look.h), so the two together draw every
// window and control, and the windows Qt makes for the program: message boxes, menus, tooltips.
#pragma once

#include <QPalette>
#include <QProxyStyle>

namespace theme {

class ThemeStyle : public QProxyStyle {
  Q_OBJECT

 public:
  explicit ThemeStyle(const QPalette& palette);

  QPalette standardPalette() const override;
  void polish(QPalette& palette) override;
  using QProxyStyle::polish;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* return_data) const override;

 private:
  QPalette palette_;
};

}  // namespace theme
