// Discovery and lookup of the themes the program carries.
#include "theme/theme_registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include "theme/container/theme_container.h"
#include "theme/container/theme_failure.h"
#include "theme/discovery/theme_discovery.h"

namespace theme {
namespace {

[[noreturn]] void FailResource(const QString& reason) {
  throw queue::Failure(theme::ThemeFailure::kLoad, reason.toStdU16String());
}

QByteArray ReadResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) FailResource(QStringLiteral("Theme resource unreadable"));
  // Checked before reading, so an oversized resource is never held in memory.
  if (file.size() > static_cast<qint64>(kMaxContainerBytes))
    FailResource(QStringLiteral("Theme resource too large"));
  return file.readAll();
}

}  // namespace

bool SameThemeName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

ThemeRegistry::ThemeRegistry(QString resource_root) : root_(std::move(resource_root)) {}

void ThemeRegistry::Discover() {
  const QDir root(root_);
  QStringList names;
  QDirIterator it(root_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) names << root.relativeFilePath(it.next());
  names.sort();

  std::vector<ThemeResource> resources;
  for (const QString& name : names)
    resources.push_back({name.toStdU16String(), [path = root.filePath(name)] {
                           const QByteArray bytes = ReadResource(path);
                           return std::string(bytes.constData(),
                                              static_cast<std::size_t>(bytes.size()));
                         }});
  DiscoverThemes(
      resources,
      [](std::u16string_view a, std::u16string_view b) {
        return SameThemeName(QString::fromUtf16(a.data(), static_cast<qsizetype>(a.size())),
                             QString::fromUtf16(b.data(), static_cast<qsizetype>(b.size())));
      },
      [this](std::u16string_view resource_name, const ThemePackage& package) {
        sources_.push_back(
            {QString::fromUtf16(resource_name.data(), static_cast<qsizetype>(resource_name.size())),
             PrepareThemeLook(package)});
      });
}

const ThemeSource* ThemeRegistry::Find(const QString& theme_name) const {
  for (const auto& source : sources_)
    if (SameThemeName(source.look.name, theme_name)) return &source;
  return nullptr;
}

}  // namespace theme
