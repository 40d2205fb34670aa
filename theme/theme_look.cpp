// Preparing and applying a look.
#include "theme/theme_look.h"

#include <QApplication>
#include <QStringDecoder>
#include <QStyle>
#include <QStyleFactory>

#include "theme/container/theme_failure.h"
#include "theme/theme_palette.h"
#include "theme/theme_style.h"

namespace theme {
namespace {

constexpr auto kPaletteSection = "palette";
constexpr auto kStyleSheetSection = "stylesheet";

[[noreturn]] void Fail(const QString& reason) {
  throw queue::Failure(theme::ThemeFailure::kLoad, reason.toStdU16String());
}

QString DecodeUtf8(std::string_view bytes, const char* what) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (decoder.hasError()) Fail(QStringLiteral("Theme %1 is not UTF-8").arg(QLatin1String(what)));
  return text;
}

QString RequiredSection(const ThemePackage& package, const char* section_name) {
  const std::string* data = package.FindSection(section_name);
  if (!data) Fail(QStringLiteral("Theme %1 missing").arg(QLatin1String(section_name)));
  return DecodeUtf8(*data, section_name);
}

QString StandardStyleName() {
  const QString name = QApplication::style()->name();
  // A style made outside the style factory has no name; Fusion is Qt's own fallback.
  return name.isEmpty() ? QStringLiteral("Fusion") : name;
}

}  // namespace

ThemeLook PrepareThemeLook(const ThemePackage& package) {
  ThemeLook look;
  look.name = DecodeUtf8(package.name, "name");
  look.version = DecodeUtf8(package.version, "version");
  look.palette = ParseThemePalette(RequiredSection(package, kPaletteSection));
  look.style_sheet = RequiredSection(package, kStyleSheetSection);
  return look;
}

const ThemeLook& StandardLook() {
  static const ThemeLook standard = [] {
    ThemeLook look;
    look.name = StandardStyleName();
    look.palette = QApplication::style()->standardPalette();
    look.standard = true;
    return look;
  }();
  return standard;
}

void ApplyLook(const ThemeLook& look) {
  // setStyle takes ownership of the new style and repolishes every widget that exists.
  if (look.standard)
    QApplication::setStyle(QStyleFactory::create(look.name));
  else
    QApplication::setStyle(new ThemeStyle(look.palette));
  QApplication::setPalette(look.palette);
  qApp->setStyleSheet(look.style_sheet);
}

}  // namespace theme
