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
  // Makes the window's contents: the logo, decoded, and the labels, those that take the size of
  // their texts sized to them. Nothing reads them before the window is shown, and making them
  // is costly (the logo's decoding, the fonts that text metrics need resolved, their style's
  // polish, which the operator window's first showing would do for every window it owns), so
  // the start-up leaves them to the first showing.
  void MakeContents();

  forms::CentredImage* imgLogo = nullptr;
  QLabel* lbl1 = nullptr;
  QLabel* lbl6 = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lbl3 = nullptr;
  forms::LinkLabel* lbl2 = nullptr;
  QLabel* lbl4 = nullptr;
  forms::LinkLabel* lbl5 = nullptr;
  QLabel* lbl9 = nullptr;
  QLabel* lbl11 = nullptr;
  QLabel* lbl8 = nullptr;
  QLabel* lbl10 = nullptr;
};

// Set at start-up once the window is made; valid until the windows are destroyed.
extern TAboutForm* AboutForm;
