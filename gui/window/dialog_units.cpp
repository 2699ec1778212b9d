#include "dialog_units.h"

#include <QFont>
#include <QFontMetrics>

DialogBaseUnits dialogBaseUnits(const QFont& font) {
  // The average width over the 52 Latin letters, rounded: the measure dialog
  // templates were laid out with.
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

DialogBaseUnits labelFittingBaseUnits(const QFont& font,
                                      std::span<const ControlTemplate> controls) {
  DialogBaseUnits base = dialogBaseUnits(font);
  const QFontMetrics metrics(font);
  for (const ControlTemplate& t : controls) {
    if (t.kind != ControlKind::Label || t.rect.width <= 0) continue;
    const int needed = metrics.horizontalAdvance(QString::fromLatin1(t.caption));
    while (dialogUnitsToPixels(t.rect.width, base.width, 4) < needed) ++base.width;
  }
  return base;
}

DialogBaseUnits programBaseUnits(const QFont& font) {
  return labelFittingBaseUnits(font, mainDialogControls());
}

int dialogUnitsToPixels(int units, int base, int divisor) {
  const long long product = static_cast<long long>(units) * base;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor
                                       : -((-product + half) / divisor));
}

QRect dialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base) {
  return {dialogUnitsToPixels(rect.x, base.width, 4), dialogUnitsToPixels(rect.y, base.height, 8),
          dialogUnitsToPixels(rect.width, base.width, 4),
          dialogUnitsToPixels(rect.height, base.height, 8)};
}
