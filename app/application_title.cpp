// Deriving and holding the application title.
#include "app/application_title.h"

#include "core/application_title.h"

namespace app {
namespace {

std::u16string UnicodeLower(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))
      .toLower()
      .toStdU16String();
}

QString& Title() {
  static QString title;
  return title;
}

}  // namespace

QString DeriveApplicationTitle(const QString& executable_path) {
  return QString::fromStdU16String(
      queue::DeriveApplicationTitle(executable_path.toStdU16String(), &UnicodeLower));
}

const QString& ApplicationTitle() {
  return Title();
}

void SetApplicationTitle(const QString& title) {
  Title() = title;
}

}  // namespace app
