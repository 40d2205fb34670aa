// The About window: the logo, the program's name and version, the maker, and two links.
#include "forms/uAboutForm.h"

#include <QDesktopServices>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QWindow>
#include <algorithm>

#include "core/failure.h"
#include "core/window_layout.h"
#include "forms/accessible_text.h"
#include "forms/centred_image.h"
#include "forms/design_font.h"
#include "forms/first_show_placement.h"
#include "forms/link_label.h"
#include "forms/shared_values.h"
#include "queue_version.h"
#include "resources/bundled_image.h"

TAboutForm* AboutForm = nullptr;

namespace {

// The window is laid out at 96 pixels per inch; Qt's device-independent pixels are those,
// so the sizes below, the fonts' pixel sizes included, scale with the display.
using namespace queue::layout;
constexpr QSize kClientSize = forms::ToQSize(kAboutClient);
const char kLogoResource[] = ":/about/logo.png";

TAboutForm::UrlOpener& CurrentOpener() {
  static TAboutForm::UrlOpener opener;
  return opener;
}

// The handlers open the maker's fixed addresses (core/window_texts.h), never the labels' texts.
void OpenAddress(std::u16string_view address) {
  const QUrl url(forms::WindowText(address));
  if (CurrentOpener()) {
    CurrentOpener()(url);
  } else {
    // Whether a browser or mail program took the address is the desktop's affair: the
    // window reports nothing either way.
    static_cast<void>(QDesktopServices::openUrl(url));
  }
}

// The edge on which a label's column lines up: captions end on one, values begin on another.
enum class AlignedEdge { kLeft, kRight };

// Places a label that takes the size of its text. Its design rectangle holds the text in the
// design font; where the font in use needs more room, the label grows away from the edge its
// column lines up on, so the columns stay straight and no text is cut off.
void PlaceSizedToText(QLabel* label, const QRect& design, AlignedEdge edge) {
  const QSize text = label->sizeHint();
  QRect placed = design;
  if (text.width() > design.width()) {
    if (edge == AlignedEdge::kRight) {
      placed.setLeft(design.right() + 1 - text.width());
    } else {
      placed.setWidth(text.width());
    }
  }
  placed.setHeight(std::max(design.height(), text.height()));
  label->setAlignment(Qt::AlignTop |
                      (edge == AlignedEdge::kRight ? Qt::AlignRight : Qt::AlignLeft));
  label->setGeometry(placed);
}

// The labels are made after the window has been polished by its owner's first showing, and a
// widget made in a window that the theme's style sheet has polished does not inherit the
// window's font: each label is given the window's font itself.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setFont(forms::DesignFont(forms::kWindowFontPixels));
  return label;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const queue::texts::ControlText& text) {
  QLabel* label = MakeLabel(parent, name, forms::WindowText(text.caption));
  forms::NameForScreenReader(*label, text);
  return label;
}

forms::LinkLabel* MakeLinkLabel(QWidget* parent, const char* name,
                                const queue::texts::ControlText& text) {
  auto* label = new forms::LinkLabel(forms::WindowText(text.caption),
                                     forms::DesignFont(forms::kWindowFontPixels), parent);
  label->setObjectName(QString::fromLatin1(name));
  forms::NameForScreenReader(*label, text);
  return label;
}

// A screen reader reads a caption with the value it belongs to; the link draws nothing.
void CaptionOf(QLabel* caption, QWidget* value) {
  caption->setBuddy(value);
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutForm");
  setWindowTitle(forms::WindowText(queue::texts::kAboutCaption));
  // A dialog frame with only a close button; the caption's icon goes with the system menu,
  // which PrepareNativeWindow leaves out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientSize);
  setFont(forms::DesignFont(forms::kWindowFontPixels));

  // The logo is decoded when the window is first shown; a missing logo is a fault of the
  // build, found at start-up.
  if (!resources::BundledPngReadable(QString::fromLatin1(kLogoResource))) {
    throw queue::Failure(queue::CoreFailure::kGeneric,
                         "The About window's logo resource is missing or is not a PNG picture");
  }
}

std::vector<TAboutForm::SizedLabel> TAboutForm::SizedLabels() const {
  using forms::ToQRect;
  return {{lbl6, ToQRect(kVersionCaptionText), true}, {lbl3, ToQRect(kSiteCaptionText), true},
          {lbl2, ToQRect(kSiteLinkText), false},      {lbl4, ToQRect(kMailCaptionText), true},
          {lbl5, ToQRect(kMailLinkText), false},      {lbl9, ToQRect(kCompanyCaptionText), true},
          {lbl11, ToQRect(kCompanyValueText), false}, {lbl8, ToQRect(kAuthorCaptionText), true},
          {lbl10, ToQRect(kAuthorValueText), false}};
}

void TAboutForm::MakeContents() {
  if (imgLogo != nullptr) return;
  const QImage logo = resources::ReadBundledPng(QString::fromLatin1(kLogoResource));
  if (logo.isNull()) {
    throw queue::Failure(queue::CoreFailure::kGeneric,
                         "The About window's logo resource cannot be decoded");
  }
  imgLogo = new forms::CentredImage(this);
  imgLogo->setObjectName("imgLogo");
  imgLogo->setGeometry(forms::ToQRect(queue::layout::kLogo));
  imgLogo->SetPicture(logo);
  forms::NameForScreenReader(*imgLogo, queue::texts::kLogo);
  lbl1 = MakeLabel(this, "lbl1", queue::texts::kProductTitle);
  lbl1->setFont(forms::DesignFont(kAboutTitleFontPixels));
  lbl1->setWordWrap(true);
  lbl1->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  lbl1->setGeometry(forms::ToQRect(kAboutTitle));

  lbl6 = MakeLabel(this, "lbl6", queue::texts::kVersionCaption);
  lblVersion = MakeLabel(this, "lblVersion", QString::fromLatin1(queue::kVersionText));
  lblVersion->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  lblVersion->setGeometry(forms::ToQRect(kVersionValue));
  lbl3 = MakeLabel(this, "lbl3", queue::texts::kSiteCaption);
  lbl2 = MakeLinkLabel(this, "lbl2", queue::texts::kSiteLink);
  lbl4 = MakeLabel(this, "lbl4", queue::texts::kMailCaption);
  lbl5 = MakeLinkLabel(this, "lbl5", queue::texts::kMailLink);
  lbl9 = MakeLabel(this, "lbl9", queue::texts::kCompanyCaption);
  lbl11 = MakeLabel(this, "lbl11", queue::texts::kCompany);
  lbl8 = MakeLabel(this, "lbl8", queue::texts::kAuthorCaption);
  lbl10 = MakeLabel(this, "lbl10", queue::texts::kAuthor);
  CaptionOf(lbl6, lblVersion);
  CaptionOf(lbl3, lbl2);
  CaptionOf(lbl4, lbl5);
  CaptionOf(lbl9, lbl11);
  CaptionOf(lbl8, lbl10);

  connect(lbl2, &forms::LinkLabel::clicked, this, &TAboutForm::lbl2Click);
  connect(lbl5, &forms::LinkLabel::clicked, this, &TAboutForm::lbl5Click);
  for (const SizedLabel& sized : SizedLabels()) {
    PlaceSizedToText(sized.label, sized.design,
                     sized.ends_right ? AlignedEdge::kRight : AlignedEdge::kLeft);
  }
}

void TAboutForm::SetUrlOpener(UrlOpener opener) {
  CurrentOpener() = std::move(opener);
}

void TAboutForm::setVisible(bool visible) {
  if (visible) {
    MakeContents();
    PrepareNativeWindow();
    // Centred the first time only; later showings keep where it was when closed, which Qt
    // preserves for a window that is hidden rather than destroyed.
    forms::PlaceForFirstShowing(*this, parentWidget());
  }
  QDialog::setVisible(visible);
}

void TAboutForm::PrepareNativeWindow() {
  // Made before the first showing, so that the frame is known when the window is centred.
  create();
  // Qt adds the system menu to any window with a close button; leaving it out of the native
  // window keeps the dialog's caption without an icon, as a dialog frame has it. Qt gives
  // the native window its own flags back when it hides it, so this is done at every showing.
  if (QWindow* native = windowHandle()) {
    native->setFlags(native->flags() & ~Qt::WindowSystemMenuHint);
  }
}

void TAboutForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
  // Enter and Esc mean nothing here: the window closes by its close button or Alt+F4 only.
  QWidget::keyPressEvent(event);
}

void TAboutForm::FormShow() {
  // Deliberately empty: every showing presents the same fixed content.
}

void TAboutForm::lbl2Click() {
  OpenAddress(queue::texts::kWebAddress);
}

void TAboutForm::lbl5Click() {
  OpenAddress(queue::texts::kMailAddress);
}
