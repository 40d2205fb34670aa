// The operator window and its handlers.
#include "forms/mainUnit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>

#include "core/operator_rules.h"
#include "core/scope_exit.h"
#include "core/window_layout.h"
#include "forms/accessible_text.h"
#include "forms/click_during_request_filter.h"
#include "forms/design_font.h"
#include "forms/form_settings.h"
#include "forms/handler_guard.h"
#include "forms/setupUnit.h"
#include "forms/shared_values.h"
#include "forms/type_ahead_combo_box.h"
#include "forms/uAboutForm.h"
#include "queueclient/next_press.h"

TMainForm* MainForm = nullptr;
QString RoleLabel;

namespace {

// Sizes in device-independent pixels, which are pixels at 96 per inch: Qt scales them, the
// fonts' pixel sizes included, with the display.
using namespace queue::layout;
constexpr QSize kClientSize = forms::ToQSize(kMainClient);
constexpr QRect kLogRect = forms::ToQRect(kLog);

QPushButton* MakeSmallButton(QWidget* parent, const char* name,
                             const queue::texts::ControlText& text, int top) {
  auto* button = new QPushButton(forms::WindowText(text.caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(kSmallButtonLeft, top, kSmallButtonSize, kSmallButtonSize);
  forms::NameForScreenReader(*button, text);
  return button;
}

}  // namespace

TMainForm::TMainForm() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  // The design caption; FormShow replaces it before the window is first drawn.
  setWindowTitle(forms::WindowText(queue::texts::kMainDesignCaption));
  setFont(forms::DesignFont(forms::kWindowFontPixels));
  QPalette cream = palette();
  cream.setColor(QPalette::Window, forms::ToQColor(kMainBackground));
  setPalette(cream);
  setAutoFillBackground(true);

  queueList = new forms::TypeAheadComboBox(this);
  queueList->setObjectName(QStringLiteral("queueList"));
  queueList->setFont(forms::DesignFont(kListFontPixels));
  forms::NameForScreenReader(*queueList, queue::texts::kQueueList);

  nextButton = new QPushButton(forms::WindowText(queue::texts::kNextButton.caption), this);
  forms::NameForScreenReader(*nextButton, queue::texts::kNextButton);
  nextButton->setObjectName(QStringLiteral("nextButton"));
  nextButton->setFont(forms::DesignFont(kNextFontPixels, true));
  // The Next action is started by the mouse only: no focus, hence no Space, and no shortcut.
  nextButton->setFocusPolicy(Qt::NoFocus);
  next_click_filter_ = new forms::ClickDuringRequestFilter(nextButton);

  mmo1 = new QPlainTextEdit(this);
  mmo1->setObjectName(QStringLiteral("mmo1"));
  mmo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  mmo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mmo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mmo1->setPlainText(forms::WindowText(queue::texts::kLogFirstLine));
  forms::NameForScreenReader(*mmo1, queue::texts::kAnswerLog);
  mmo1->setGeometry(kLogRect);

  grp1 = new QGroupBox(this);
  grp1->setObjectName(QStringLiteral("grp1"));
  forms::NameForScreenReader(*grp1, queue::texts::kSmallButtons);
  btn2 = MakeSmallButton(grp1, "btn2", queue::texts::kSettingsButton, kSettingsButtonTop);
  btn1 = MakeSmallButton(grp1, "btn1", queue::texts::kUnusedButton, kHelpButtonTop);
  btn3 = MakeSmallButton(grp1, "btn3", queue::texts::kAboutButton, kAboutButtonTop);

  setTabOrder(queueList, mmo1);
  setTabOrder(mmo1, btn2);
  setTabOrder(btn2, btn1);
  setTabOrder(btn1, btn3);

  forms::ConnectGuarded(nextButton, &QPushButton::clicked, this, &TMainForm::btn1Click);
  forms::ConnectGuarded(btn2, &QPushButton::clicked, this, &TMainForm::btn2Click);
  forms::ConnectGuarded(btn3, &QPushButton::clicked, this, &TMainForm::btn3Click);
  // btn1 ("H") has no handler.

  resize(kClientSize);
  AlignControls();
}

TMainForm::~TMainForm() = default;

void TMainForm::SetDialogs(TSetupForm& setup_form, TAboutForm& about_form) {
  setup_form_ = &setup_form;
  about_form_ = &about_form;
}

void TMainForm::AlignControls() {
  const int width = this->width();
  const int height = this->height();
  grp1->setGeometry(width - kSmallButtonsWidth, 0, kSmallButtonsWidth, height);
  const int next_left = width - kSmallButtonsWidth - kNextButtonWidth;
  nextButton->setGeometry(next_left, 0, kNextButtonWidth, height);
  queueList->setGeometry(0, 0, std::max(0, next_left), queueList->sizeHint().height());
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  AlignControls();
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Restoring from the taskbar sends spontaneous show events; only a real show runs FormShow.
  if (event->spontaneous()) return;
  // The stored position and size become the window's normal placement; a maximised or
  // minimised start keeps its state although FormShow moves and resizes the window.
  const Qt::WindowStates started_in = windowState();
  forms::Guarded([this] { FormShow(); });
  if (windowState() != started_in) setWindowState(started_in);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!forms::Guarded([this] { FormClose(); })) {
    event->ignore();  // the settings could not be written: the window stays open
    return;
  }
  event->accept();
  closed_by_user_ = true;
  // The main window: its close ends the program.
  QCoreApplication::quit();
}

void TMainForm::FormShow() {
  RoleLabel = forms::WindowText(queue::texts::kRoleLabel);
  setWindowTitle(RoleLabel);
  settings::LoadSettings(settings::SettingsFilePath(), *this, *setup_form_->operatorSelect,
                         *setup_form_->serverEdit);
}

void TMainForm::FormClose() {
  SaveSettings();
}

void TMainForm::SaveSettings() {
  settings::SaveSettings(settings::SettingsFilePath(), *this, *setup_form_->operatorSelect,
                         *setup_form_->serverEdit);
}

void TMainForm::SaveSettingsAtSessionEnd() noexcept {
  try {
    SaveSettings();
  } catch (...) {
    // The session is ending; there is nobody to show the failure to.
  }
}

void TMainForm::btn1Click() {
  const QString window_number = setup_form_->operatorSelect->currentText();
  const QString server = setup_form_->serverEdit->text();
  // The click filter learns of the request's end however the Next action leaves.
  const queue::ScopeExit request_end([this] { next_click_filter_->RequestEnded(); });
  queue::RunNextPress(
      idhtp1, queue::RequestUrl(server.toStdU16String(), window_number.toStdU16String()),
      [this](std::u16string answer) { ShowAnswer(QString::fromStdU16String(answer)); });
}

void TMainForm::ShowAnswer(const QString& answer) {
  AppendToLog(answer);
  queueList->clear();
  queueList->addItem(answer);
  queueList->setCurrentIndex(0);
}

void TMainForm::AppendToLog(const QString& answer) {
  // Every line break of the answer starts a line of the log (core/operator_rules.h).
  QStringList lines;
  for (const std::u16string& line : queue::AnswerLogLines(answer.toStdU16String())) {
    lines << QString::fromStdU16String(line);
  }
  mmo1->appendPlainText(lines.join(QLatin1Char('\n')));
}

void TMainForm::btn2Click() {
  setup_form_->exec();
}

void TMainForm::btn3Click() {
  about_form_->exec();
}
