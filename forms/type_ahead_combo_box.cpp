// The type-ahead of the operator window's big list.
#include "forms/type_ahead_combo_box.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace forms {
namespace {

bool IsPrintable(const QString& text) {
  if (text.isEmpty()) return false;
  for (QChar c : text) {
    if (!c.isPrint()) return false;
  }
  return true;
}

// An answer may hold line breaks or other control characters; the one-line display shows
// each run of them as one blank instead of breaking the line or drawing boxes.
QString OneLine(const QString& text) {
  QString line;
  line.reserve(text.size());
  bool in_control_run = false;
  for (QChar c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
      if (!in_control_run) line += QLatin1Char(' ');
      in_control_run = true;
    } else {
      line += c;
      in_control_run = false;
    }
  }
  return line;
}

}  // namespace

TypeAheadComboBox::TypeAheadComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
}

void TypeAheadComboBox::showPopup() {
  if (!popup_made_) {
    popup_made_ = true;
    // While the list is open its view has the keys; the same type-ahead and Tab rule apply
    // there.
    view()->installEventFilter(this);
    // The open list shows its entries in its window's font, not in the big one of the chosen
    // entry (the popup is a window of its own and inherits neither).
    if (parentWidget() != nullptr) view()->setFont(parentWidget()->font());
  }
  QComboBox::showPopup();
}

QSize TypeAheadComboBox::sizeHint() const {
  size_hint_asked_ = true;
  return QComboBox::sizeHint();
}

QSize TypeAheadComboBox::minimumSizeHint() const {
  size_hint_asked_ = true;
  return QComboBox::minimumSizeHint();
}

void TypeAheadComboBox::changeEvent(QEvent* event) {
  // A font change makes the combo box forget its remembered size and hand the font to its
  // popup, making the popup first if need be: at start-up that is a hidden window and a list
  // view nobody has opened yet. Before either exists there is nothing to update.
  if (event->type() == QEvent::FontChange && !popup_made_ && !size_hint_asked_) {
    QWidget::changeEvent(event);  // NOLINT(bugprone-parent-virtual-call)
    return;
  }
  QComboBox::changeEvent(event);
}

void TypeAheadComboBox::TypeAhead(const QString& text) {
  if (!clock_.isValid()) clock_.start();
  QString prefix;
  for (const QChar c : text) {
    const std::u16string& typed = prefix_.Add(c.unicode(), clock_.elapsed());
    prefix = QString::fromStdU16String(typed);
  }
  for (int i = 0; i < count(); ++i) {
    if (itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
      setCurrentIndex(i);
      if (view()->isVisible()) view()->setCurrentIndex(model()->index(i, modelColumn()));
      return;
    }
  }
}

void TypeAheadComboBox::keyPressEvent(QKeyEvent* event) {
  if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
      IsPrintable(event->text())) {
    showPopup();
    TypeAhead(event->text());
    event->accept();
    return;
  }
  QComboBox::keyPressEvent(event);
}

bool TypeAheadComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      hidePopup();
      return true;
    }
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && IsPrintable(key->text())) {
      TypeAhead(key->text());
      return true;
    }
  }
  return QComboBox::eventFilter(watched, event);
}

void TypeAheadComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  painter.setPen(palette().color(QPalette::Text));
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText = OneLine(option.currentText);
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace forms
