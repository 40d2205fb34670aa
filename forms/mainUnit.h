// The operator window (MainForm): the big list with the last answer, the "Следующий" button
// that asks the queue server for the next visitor, the small "S", "H" and "?" buttons, the
// answer log and the HTTP client the requests go through. It is the program's main window.
#pragma once

#include <QString>
#include <QWidget>

#include "queueclient/http_client.h"

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

class TAboutForm;
class TSetupForm;

namespace forms {
class ClickDuringRequestFilter;
class TypeAheadComboBox;
}  // namespace forms

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  TMainForm();
  ~TMainForm() override;

  // The windows that the operator window opens and reads, made after it; the start-up hands
  // them over before the window is first shown.
  void SetDialogs(TSetupForm& setup_form, TAboutForm& about_form);

  forms::TypeAheadComboBox* queueList;
  QPushButton* nextButton;
  QPlainTextEdit* mmo1;
  queue::HttpClient idhtp1;
  QGroupBox* grp1;
  QPushButton* btn2;
  QPushButton* btn1;
  QPushButton* btn3;

  // Sets the caption and loads the settings; runs when the window is shown.
  void FormShow();
  // Saves the settings; a failure keeps the window open.
  void FormClose();
  // The Next action.
  void btn1Click();
  // "S": the settings window, modally.
  void btn2Click();
  // "?": the About window, modally.
  void btn3Click();

  // At log-off or system shut-down the window is not closed, so FormClose does not run; the
  // settings are written here instead. A failure is ignored: nobody is left to read a box.
  void SaveSettingsAtSessionEnd() noexcept;
  // Whether the window has been closed by the user (its settings were saved then).
  bool ClosedByUser() const { return closed_by_user_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The two right-hand controls keep their widths at full client height; the list takes the
  // rest of the width at the height of its font.
  void AlignControls();
  void SaveSettings();
  // The Next action's steps once the answer is there: the log, then the list.
  void ShowAnswer(const QString& answer);
  void AppendToLog(const QString& answer);

  forms::ClickDuringRequestFilter* next_click_filter_;
  TSetupForm* setup_form_ = nullptr;
  TAboutForm* about_form_ = nullptr;
  bool closed_by_user_ = false;
};

// Set at start-up once the window is made; valid until the windows are destroyed.
extern TMainForm* MainForm;

// The role that begins the operator window's caption: empty until the window is first shown.
extern QString RoleLabel;
