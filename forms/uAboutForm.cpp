// The About window. For now an empty modal dialog with its caption.
#include "forms/uAboutForm.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutForm");
  setWindowTitle(QString::fromUtf8("О программе"));
}
