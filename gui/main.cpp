// Vantiro: the dialog program.
#include <QApplication>

#include "gui_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vantiro.Vantiro"));
  CGuiApp app;
  return app.InitInstance() ? 1 : 0;
}
