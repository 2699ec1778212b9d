#pragma once
#include <QRect>
#include <span>

#include "gui/rules/control_table.h"

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

// The base units for laying out `controls` in `font`: those of the font,
// with the width raised just enough that every label's caption fits its
// rectangle. Fonts differ in how wide their words run against their average
// letter; the window then grows a little, as one laid out for a wider font
// would, and every text keeps the one dialog font.
DialogBaseUnits labelFittingBaseUnits(const QFont& font, std::span<const ControlTemplate> controls);

// The one conversion every window of the program is laid out with: the
// label-fitting units of the main window's controls in `font`. A box laid out
// with the font's own units would come out narrower than the main window at
// the same number of units.
DialogBaseUnits programBaseUnits(const QFont& font);

// `units` * `base` / `divisor`, rounded to the nearest pixel.
int dialogUnitsToPixels(int units, int base, int divisor);

QRect dialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base);
