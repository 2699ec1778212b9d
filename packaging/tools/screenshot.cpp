// Takes the picture of the main dialog that the AppStream metainfo shows: the dialog
// exactly as the program starts it, drawn off screen and saved as a PNG.
//
//   cd build/bin && XDG_CONFIG_HOME=$(mktemp -d) QT_QPA_PLATFORM=offscreen \
//       ../packaging/tools/vantiro_screenshot out.png
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "gui_app.h"

namespace {

QWidget* shownDialog() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) return widget;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantiro_screenshot PICTURE.png\n");
    return 2;
  }
  QApplication application(argc, argv);
  const QString picture = QString::fromLocal8Bit(argv[1]);
  bool saved = false;
  // Once the dialog is up and laid out, picture it and close it as a user would.
  QTimer::singleShot(1000, &application, [&] {
    if (QWidget* dialog = shownDialog()) {
      saved = dialog->grab().save(picture, "PNG");
      dialog->close();
    }
  });
  CGuiApp app;
  app.InitInstance();
  if (!saved) std::fprintf(stderr, "no dialog was shown to picture\n");
  return saved ? 0 : 1;
}
