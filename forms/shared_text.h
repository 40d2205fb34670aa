// The shared texts (core/window_texts.h, UTF-16) as Qt's strings.
#pragma once

#include <QString>

#include <string_view>

namespace forms {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace forms
