// The windows' texts on Qt's controls.
#include "forms/accessible_text.h"

#include <QWidget>

namespace forms {

QString WindowText(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void NameForScreenReader(QWidget& control, const queue::texts::ControlText& text) {
  if (!text.name.empty()) control.setAccessibleName(WindowText(text.name));
  if (!text.description.empty()) control.setAccessibleDescription(WindowText(text.description));
}

}  // namespace forms
