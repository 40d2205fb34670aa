// The theme request. The program carries no theme yet, so every window keeps the platform's
// standard look; the theme registry fills this in.
#include "app/theme_request.h"

namespace app {

bool RequestTheme(const QString&, bool) {
  return false;
}

}  // namespace app
