// A label that acts as a link: blue, underlined, the hand pointer, and a clicked() signal.
#pragma once

#include <QLabel>

namespace forms {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  // Shows `text` in `font`, underlined.
  LinkLabel(const QString& text, const QFont& font, QWidget* parent = nullptr);

 signals:
  // A left-button press and release both on the label, as a click on a button counts.
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace forms
