// Vantiro: the dialog program.
#include <signal.h>

#include <QApplication>

#include "gui_app.h"

int main(int argc, char** argv) {
  signal(SIGXFSZ,
         SIG_IGN);  // a file size limit fails a write, reported, instead of killing the program
  QApplication application(argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vantiro.Vantiro"));
  CGuiApp app;
  return app.InitInstance() ? 1 : 0;
}
