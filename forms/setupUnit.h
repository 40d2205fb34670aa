// The settings window (SetupForm): the window number and the queue server address. Its two
// input controls are the program's only store of these values during a run; its Save button
// only writes the window number into the operator window's caption.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;

class TSetupForm : public QDialog {
  Q_OBJECT

 public:
  // Belongs to the operator window, whose caption its Save writes.
  explicit TSetupForm(TMainForm& main_form);

  QLabel* operatorLabel;
  QLabel* serverLabel;
  QLineEdit* serverEdit;
  QComboBox* operatorSelect;
  QPushButton* btn1;
  QPushButton* btn2;

  // "Сохранить": the operator window's caption becomes the role label, " - " and the number.
  void btn1Click();
  // "Закрыть": ends the modal showing; the values stay as they are.
  void btn2Click();
  // Run by the start-up once the window is made and SetupForm is set: composes the operator
  // window's caption as Save does.
  void FormCreate();

  void setVisible(bool visible) override;

 protected:
  // Enter and Esc have no special meaning in this window.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The operator window's caption: the role label, " - " and the chosen number.
  void ShowNumberInMainCaption();
  // Gives the window and its controls their fonts and sizes the labels and fields to the
  // fonts' metrics. A font given to a field is resolved at once, and metrics need it resolved,
  // which is costly, so the start-up leaves this to the first showing; until then the
  // window's size, the fields' places and widths and every value are already right.
  void LayOutByFonts();

  TMainForm& main_form_;
  bool laid_out_by_fonts_ = false;
};

// Set at start-up once the window is made; valid until the windows are destroyed.
extern TSetupForm* SetupForm;
