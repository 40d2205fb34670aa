// Discovery and lookup of the themes the program carries.
#include "theme/theme_registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <memory>

#include "theme/container/theme_container.h"
#include "theme/container/theme_failure.h"

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
  QStringList resources;
  QDirIterator it(root_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) resources << root.relativeFilePath(it.next());
  resources.sort();

  QStringList failed;
  std::shared_ptr<const queue::Failure> last_failure;
  for (const QString& resource_name : resources) {
    try {
      Register(resource_name);
    } catch (const queue::Failure& failure) {
      failed << resource_name;
      last_failure = std::make_shared<queue::Failure>(failure);
    }
  }
  if (failed.size() == 1)
    throw queue::Failure(
        theme::ThemeFailure::kLoad,
        QStringLiteral("Unable to load style '%1'").arg(failed.front()).toStdU16String(),
        last_failure);
  if (failed.size() > 1)
    throw queue::Failure(theme::ThemeFailure::kLoad, QStringLiteral("Unable to load styles: %1")
                                                         .arg(failed.join(QStringLiteral(", ")))
                                                         .toStdU16String());
}

void ThemeRegistry::Register(const QString& resource_name) {
  const QByteArray bytes = ReadResource(QDir(root_).filePath(resource_name));
  ThemeLook look = PrepareThemeLook(DecodeThemeContainer(
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
  if (Find(look.name)) FailResource(QStringLiteral("Theme %1 registered twice").arg(look.name));
  sources_.push_back({resource_name, std::move(look)});
}

const ThemeSource* ThemeRegistry::Find(const QString& theme_name) const {
  for (const auto& source : sources_)
    if (SameThemeName(source.look.name, theme_name)) return &source;
  return nullptr;
}

}  // namespace theme
