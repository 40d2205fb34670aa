// The program's entry: the application object, then start-up, loop and shut-down.
#include "app/operator_application.h"
#include "app/startup.h"
#include "theme/theme_scaling.h"

int main(int argc, char** argv) {
  // Scaling is settled before the application object exists, as Qt requires.
  theme::PrepareDisplayScaling();
  app::OperatorApplication application(argc, argv);
  return app::RunProgram();
}
