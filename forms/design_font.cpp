// The windows' design font.
#include "forms/design_font.h"

#include <QString>

namespace forms {

QFont DesignFont(int pixels, bool bold) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace forms
