// The shared layout (core/window_layout.h) as Qt's rectangles, sizes and colours.
#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

#include "core/window_layout.h"

namespace forms {

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
