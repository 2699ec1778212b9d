#pragma once
#include <QRect>
#include <QSize>

class QWidget;

// Where a help window goes, all rectangles being window frames in screen
// pixels: wholly inside `screen` (the free area of the screen that holds its
// owner) and beside `owner` without covering it, on its right, left, below or
// above, the first of these with room for `preferred`; failing that, on the
// side with the most room when that holds at least `minimum`, shrunk to fit;
// failing that too, at its preferred size (as far as the screen holds it)
// where it covers the least of the owner. Along the owner's side the window
// starts level with the owner's top or left edge, moved only as far as the
// screen needs.
QRect placeHelpWindow(const QRect& owner, const QRect& screen, QSize preferred, QSize minimum);

// Gives `window` (`preferred` inside its frame, at least `minimum` and what
// its layout needs) the place placeHelpWindow finds beside `owner` on the
// screen that holds the owner. The window's frame
// is taken to be as thick as the owner's, which the same window manager
// decorates.
void placeBesideOwner(QWidget* window, QWidget* owner, QSize preferred, QSize minimum);
