// Deriving and holding the application title.
#include "app/application_title.h"

namespace app {

QString DeriveApplicationTitle(const QString& executable_path) {
  // Windows separates with "\", our other platforms with "/"; a name holds neither.
  const qsizetype separator = std::max(executable_path.lastIndexOf(QLatin1Char('/')),
                                       executable_path.lastIndexOf(QLatin1Char('\\')));
  QString name = executable_path.mid(separator + 1);
  const qsizetype stop = name.indexOf(QLatin1Char('.'));
  if (stop >= 0) name.truncate(stop);
  if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
  return name;
}

namespace {
QString& Title() {
  static QString title;
  return title;
}
}  // namespace

const QString& ApplicationTitle() {
  return Title();
}

void SetApplicationTitle(const QString& title) {
  Title() = title;
}

}  // namespace app
