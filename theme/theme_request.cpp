// The theme request and its "not found" box.
#include "theme/theme_request.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "theme/container/theme_messages.h"

namespace theme {
namespace {

void ShowThemeNotFound(const QString& name) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), ThemeNotFoundText(name),
                  QMessageBox::NoButton, QApplication::activeWindow());
  QPushButton* close = box.addButton(QStringLiteral("&Close"), QMessageBox::RejectRole);
  box.setDefaultButton(close);
  box.setEscapeButton(close);
  box.exec();
}

}  // namespace

QString ThemeNotFoundText(const QString& name) {
  return QString::fromStdU16String(theme::ThemeNotFoundText(name.toStdU16String()));
}

ThemeRequest::ThemeRequest(QString resource_root)
    : registry_(std::move(resource_root)),
      loaded_{StandardLook()},
      active_name_(StandardLook().name) {}

bool ThemeRequest::Request(const QString& name, bool show_error) {
  if (!discovered_) {
    // Marked first: a discovery that failed is not repeated by a later request.
    discovered_ = true;
    registry_.Discover();
  }
  if (const ThemeLook* look = FindLoaded(name)) {
    Activate(*look);
    return true;
  }
  if (const ThemeSource* source = registry_.Find(name)) {
    loaded_.push_back(source->look);
    Activate(loaded_.back());
    return true;
  }
  if (show_error) ShowThemeNotFound(name);
  return false;
}

QString ThemeRequest::ActiveName() const {
  return active_name_;
}

const ThemeLook* ThemeRequest::FindLoaded(const QString& name) const {
  for (const auto& look : loaded_)
    if (SameThemeName(look.name, name)) return &look;
  return nullptr;
}

void ThemeRequest::Activate(const ThemeLook& look) {
  ApplyLook(look);
  active_name_ = look.name;
}

bool RequestTheme(const QString& name, bool showError) {
  // Made at the first request, when the application object exists.
  static theme::ThemeRequest request;
  return request.Request(name, showError);
}

}  // namespace theme
