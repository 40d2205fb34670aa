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

  TMainForm& main_form_;
};

// Set at start-up once the window is made; valid until the windows are destroyed.
extern TSetupForm* SetupForm;
