#include "picture_resources.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>

// The pictures live in a static library; registering them by hand keeps the
// linker from dropping them. (Outside any namespace, as the macro requires.)
static void registerResources() { Q_INIT_RESOURCE(vantiro_gui); }

namespace {

QPixmap render(QSvgRenderer& renderer, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

}  // namespace

QIcon loadIconResource(int id) {
  registerResources();
  QSvgRenderer renderer(QStringLiteral(":/vantiro/icon%1.svg").arg(id));
  if (!renderer.isValid()) return {};
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64}) icon.addPixmap(render(renderer, QSize(side, side)));
  return icon;
}

QPixmap loadBitmapResource(int id, QSize size) {
  registerResources();
  QSvgRenderer renderer(QStringLiteral(":/vantiro/bitmap%1.svg").arg(id));
  if (!renderer.isValid()) return {};
  return render(renderer, size);
}
