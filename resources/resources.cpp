// Registers every Qt resource file of resources/ (the list is made by the build).
#include "resources/resources.h"

#include <QtCore/qglobal.h>
#include <QtCore/qresource.h>

static void InitAllResourceFiles() {
#include "resources_init.inc"
}

namespace resources {
void InitResources() {
  InitAllResourceFiles();
}
}  // namespace resources
