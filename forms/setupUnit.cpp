// The settings window and its handlers.
#include "forms/setupUnit.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "core/operator_rules.h"
#include "core/window_layout.h"
#include "forms/accessible_text.h"
#include "forms/design_font.h"
#include "forms/first_show_placement.h"
#include "forms/handler_guard.h"
#include "forms/mainUnit.h"
#include "forms/shared_values.h"

TSetupForm* SetupForm = nullptr;

namespace {

// Sizes in device-independent pixels (pixels at 96 per inch); Qt scales them with the display.
using namespace queue::layout;
constexpr QSize kClientSize = forms::ToQSize(kSetupClient);
constexpr int kControlFontPixels = kSetupControlFontPixels;
// The two fields share their left edge and width.
constexpr int kFieldsLeft = queue::layout::kServerEdit.left;
constexpr int kFieldsWidth = queue::layout::kServerEdit.width;
constexpr int kOperatorSelectTop = queue::layout::kOperatorSelect.top;
constexpr int kServerEditTop = queue::layout::kServerEdit.top;

QLabel* MakeLabel(QWidget* parent, const char* name, const queue::texts::ControlText& text) {
  auto* label = new QLabel(forms::WindowText(text.caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

// Sizes a label to its text with its right edge on the labels' common edge. Where the design
// font is missing and the one in use is wider, the text is narrowed to the room the design
// gives it rather than cut off at the window's edge.
void PlaceLabel(QLabel* label, int top) {
  label->adjustSize();
  const int room = kLabelsRightEdge - kLabelsLeftLimit;
  if (label->width() > room) {
    QFont font = label->font();
    font.setStretch(std::max(50, 100 * room / label->width()));
    label->setFont(font);
    label->adjustSize();
  }
  label->move(kLabelsRightEdge - label->width(), top);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const queue::texts::ControlText& text,
                        const QRect& rect) {
  auto* button = new QPushButton(forms::WindowText(text.caption), parent);
  forms::NameForScreenReader(*button, text);
  button->setObjectName(QString::fromLatin1(name));
  // Neither button is the window's default: Enter presses nothing.
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setGeometry(rect);
  return button;
}

}  // namespace

TSetupForm::TSetupForm(TMainForm& main_form) : QDialog(&main_form), main_form_(main_form) {
  setObjectName(QStringLiteral("SetupForm"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setWindowTitle(forms::WindowText(queue::texts::kSetupCaption));
  setFont(forms::DesignFont(forms::kWindowFontPixels));
  setSizeGripEnabled(false);

  operatorLabel = MakeLabel(this, "operatorLabel", queue::texts::kOperatorLabel);
  serverLabel = MakeLabel(this, "serverLabel", queue::texts::kServerLabel);

  serverEdit = new QLineEdit(forms::WindowText(queue::texts::kServerDefault), this);
  serverEdit->setObjectName(QStringLiteral("serverEdit"));
  serverEdit->setGeometry(kFieldsLeft, kServerEditTop, kFieldsWidth, serverEdit->height());

  operatorSelect = new QComboBox(this);
  operatorSelect->setObjectName(QStringLiteral("operatorSelect"));
  operatorSelect->setEditable(false);
  for (int number = 1; number <= queue::kWindowNumbers; ++number)
    operatorSelect->addItem(QString::number(number));
  operatorSelect->setCurrentIndex(-1);
  operatorSelect->setGeometry(kFieldsLeft, kOperatorSelectTop, kFieldsWidth,
                              operatorSelect->height());

  btn1 = MakeButton(this, "btn1", queue::texts::kSaveButton,
                    forms::ToQRect(queue::layout::kSaveButton));
  btn2 = MakeButton(this, "btn2", queue::texts::kCloseButton,
                    forms::ToQRect(queue::layout::kCloseButton));

  // Each field is named by its label, as a screen reader finds it (the label is its buddy,
  // which draws nothing: the labels have no mnemonic).
  operatorLabel->setBuddy(operatorSelect);
  serverLabel->setBuddy(serverEdit);
  forms::NameForScreenReader(*operatorSelect, queue::texts::kOperatorSelect);
  forms::NameForScreenReader(*serverEdit, queue::texts::kServerEdit);

  // The address field comes first although the number list stands above it.
  setTabOrder(serverEdit, operatorSelect);
  setTabOrder(operatorSelect, btn1);
  setTabOrder(btn1, btn2);

  forms::ConnectGuarded(btn1, &QPushButton::clicked, this, &TSetupForm::btn1Click);
  forms::ConnectGuarded(btn2, &QPushButton::clicked, this, &TSetupForm::btn2Click);

  resize(kClientSize);
}

void TSetupForm::LayOutByFonts() {
  if (laid_out_by_fonts_) return;
  laid_out_by_fonts_ = true;
  for (QWidget* control : {static_cast<QWidget*>(operatorLabel), static_cast<QWidget*>(serverLabel),
                           static_cast<QWidget*>(serverEdit), static_cast<QWidget*>(operatorSelect),
                           static_cast<QWidget*>(btn1), static_cast<QWidget*>(btn2)}) {
    control->setFont(forms::DesignFont(kControlFontPixels));
  }
  PlaceLabel(operatorLabel, kOperatorLabelTop);
  PlaceLabel(serverLabel, kServerLabelTop);
  // The fields take their height from their fonts.
  serverEdit->resize(kFieldsWidth, serverEdit->sizeHint().height());
  operatorSelect->resize(kFieldsWidth, operatorSelect->sizeHint().height());
}

void TSetupForm::FormCreate() {
  ShowNumberInMainCaption();
}

void TSetupForm::btn1Click() {
  ShowNumberInMainCaption();
}

void TSetupForm::ShowNumberInMainCaption() {
  main_form_.setWindowTitle(QString::fromStdU16String(queue::CaptionWithWindowNumber(
      RoleLabel.toStdU16String(), operatorSelect->currentText().toStdU16String())));
}

void TSetupForm::btn2Click() {
  reject();
}

void TSetupForm::setVisible(bool visible) {
  if (visible) {
    LayOutByFonts();
    forms::PlaceForFirstShowing(*this, parentWidget());
    // Like the platform's edit field, show the address from its start, not its end.
    if (!serverEdit->hasFocus()) serverEdit->setCursorPosition(0);
  }
  QDialog::setVisible(visible);
}

void TSetupForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
