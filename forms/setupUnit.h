// The settings window (SetupForm): the window number and the queue server address. Its two
// input controls are the program's only store of these values during a run; its Save button
// only writes the window number into the operator window's caption.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TSetupForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSetupForm(QWidget* parent = nullptr);

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
  // Runs as the last step of construction; composes the operator window's caption as Save
  // does, which needs MainForm to exist already.
  void FormCreate();

  void setVisible(bool visible) override;

 protected:
  // Enter and Esc have no special meaning in this window.
  void keyPressEvent(QKeyEvent* event) override;
};

// Set at start-up before the window's construction runs; valid until the process ends.
extern TSetupForm* SetupForm;
