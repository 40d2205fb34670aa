// The shared texts (core/window_texts.h, UTF-16) and layout (core/window_layout.h) as Qt's
// strings, rectangles, sizes and colours.
#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

#include <string_view>

#include "core/window_layout.h"

namespace forms {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr QRect ToQRect(const queue::layout::Rect& rect) {
  return QRect(rect.left, rect.top, rect.width, rect.height);
}

constexpr QSize ToQSize(const queue::layout::Size& size) {
  return QSize(size.width, size.height);
}

inline QColor ToQColor(const queue::layout::Colour& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace forms
