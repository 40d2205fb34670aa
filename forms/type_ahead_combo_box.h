// A choose-only drop-down list that opens its list when a character is typed and picks the
// first entry beginning with what was typed; it shows its chosen entry on one line.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QString>

#include "core/type_ahead.h"

namespace forms {

class TypeAheadComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TypeAheadComboBox(QWidget* parent = nullptr);

  void showPopup() override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Adds `text` to the prefix (or starts a new one) and chooses the first entry matching it.
  void TypeAhead(const QString& text);

  // Characters typed less than queue::kTypeAheadGapMs apart form one prefix.
  queue::TypeAheadPrefix prefix_;
  QElapsedTimer clock_;
  bool popup_made_ = false;
  mutable bool size_hint_asked_ = false;
};

}  // namespace forms
