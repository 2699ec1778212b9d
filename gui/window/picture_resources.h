#pragma once
#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn as SVG and kept in the program itself, by
// their numbers (pic:: in gui/rules/control_table.h). A picture that cannot
// be loaded comes back null.
QIcon loadIconResource(int id);
QPixmap loadBitmapResource(int id, QSize size);
