// A choose-only drop-down list that opens its list when a character is typed and picks the
// first entry beginning with what was typed; it shows its chosen entry on one line.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QString>

namespace forms {

class TypeAheadComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TypeAheadComboBox(QWidget* parent = nullptr);

  // Characters typed closer together than this form one prefix.
  static constexpr int kPrefixIntervalMs = 500;

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

  QString prefix_;
  QElapsedTimer since_last_character_;
  bool popup_made_ = false;
  mutable bool size_hint_asked_ = false;
};

}  // namespace forms
