// The About window (AboutForm): a modal dialog with the program's logo, name, version and links.
#pragma once

#include <QDialog>

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
};

// Set at start-up before the window's construction runs; valid until the process ends.
extern TAboutForm* AboutForm;
