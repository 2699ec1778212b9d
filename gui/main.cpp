// Vantiro: the dialog program.
#include <QApplication>

#include "gui_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  CGuiApp app;
  return app.InitInstance() ? 1 : 0;
}
