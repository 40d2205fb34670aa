// The program's entry: the application object, then start-up, loop and shut-down.
#include "app/operator_application.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  app::OperatorApplication application(argc, argv);
  return app::RunProgram();
}
