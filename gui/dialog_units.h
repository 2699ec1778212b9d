#pragma once
#include <QRect>

#include "control_table.h"

class QFont;

// The dialog font's base units: its average character width and its height
// in pixels. One horizontal dialog unit is a quarter of the width, one
// vertical unit an eighth of the height, so a window laid out in dialog units
// keeps its proportions with any font.
struct DialogBaseUnits {
  int width;
  int height;
};

DialogBaseUnits dialogBaseUnits(const QFont& font);

// `units` * `base` / `divisor`, rounded to the nearest pixel.
int dialogUnitsToPixels(int units, int base, int divisor);

QRect dialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base);
