// Puts the windows' texts (core/window_texts.h) on Qt's controls: a text as a QString, and a
// control's accessible name and description as a screen reader reads them.
#pragma once

#include <QString>
#include <string_view>

#include "core/window_texts.h"

class QWidget;

namespace forms {

QString WindowText(std::u16string_view text);

// Gives `control` the name and description of `text` that are not empty; what is drawn does
// not change.
void NameForScreenReader(QWidget& control, const queue::texts::ControlText& text);

}  // namespace forms
