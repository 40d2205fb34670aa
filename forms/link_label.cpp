// A label that acts as a link: blue, underlined, the hand pointer, and a clicked() signal.
#include "forms/link_label.h"

#include <QMouseEvent>

namespace forms {

LinkLabel::LinkLabel(const QString& text, const QFont& font, QWidget* parent)
    : QLabel(text, parent) {
  // The label's own text colour, which the theme leaves in force.
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(palette);
  // Given in full: a style sheet on the application would otherwise resolve a font with only
  // the underline set against the application's font.
  QFont underlined = font;
  underlined.setUnderline(true);
  underlined.setResolveMask(QFont::AllPropertiesResolved);
  setFont(underlined);
  setCursor(Qt::PointingHandCursor);
  // The text is shown as it is, never as rich text or an activated link of QLabel's own.
  setTextFormat(Qt::PlainText);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) emit clicked();
}

}  // namespace forms
