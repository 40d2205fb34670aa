// The About window (AboutForm): a fixed-size modal dialog with the program's logo, name,
// version and maker, and two links that hand the maker's web and e-mail addresses to the
// desktop. Created once at start-up and only hidden between showings.
#pragma once

#include <QDialog>
#include <QRect>
#include <QUrl>
#include <functional>
#include <vector>

class QLabel;

namespace forms {
class CentredImage;
class LinkLabel;
}  // namespace forms

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  // Hands an address to whatever opens it; its outcome is not the window's business.
  using UrlOpener = std::function<void(const QUrl&)>;

  explicit TAboutForm(QWidget* parent = nullptr);

  // Replaces the desktop's opener (QDesktopServices::openUrl) for every About window, so tests
  // see the addresses instead of starting a browser; an empty opener restores the desktop's.
  static void SetUrlOpener(UrlOpener opener);

  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  void lbl2Click();
  void lbl5Click();

  // Makes the native window if need be and leaves the system menu out of it.
  void PrepareNativeWindow();

  // A label that takes the size of its text: its design rectangle, and whether its column
  // lines up on the right edge (captions) or the left (values).
  struct SizedLabel {
    QLabel* label;
    QRect design;
    bool ends_right;
  };
  std::vector<SizedLabel> SizedLabels() const;
  // Decodes the logo and sizes those labels to their texts (text metrics need the fonts
  // resolved). Both are costly, so the start-up leaves them to the first showing; until then
  // each label stands at its design rectangle and the logo's box is empty.
  void CompleteForShowing();

  forms::CentredImage* imgLogo;
  QLabel* lbl1;
  QLabel* lbl6;
  QLabel* lblVersion;
  QLabel* lbl3;
  forms::LinkLabel* lbl2;
  QLabel* lbl4;
  forms::LinkLabel* lbl5;
  QLabel* lbl9;
  QLabel* lbl11;
  QLabel* lbl8;
  QLabel* lbl10;
  bool complete_ = false;
};

// Set at start-up once the window is made; valid until the windows are destroyed.
extern TAboutForm* AboutForm;
