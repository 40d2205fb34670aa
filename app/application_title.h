// The application title: the caption of the error box, derived once from the executable's
// file name.
#pragma once

#include <QString>

namespace app {

// The title rule (core/application_title.h) with Unicode's lower case:
// "/opt/queue/OPERATOR.x.exe" gives "Operator".
QString DeriveApplicationTitle(const QString& executable_path);

// The title of this run, set when the application object is made.
const QString& ApplicationTitle();
void SetApplicationTitle(const QString& title);

}  // namespace app
