#pragma once
#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn as SVG and kept in the program itself:
// icons 163 (the program), 164 (open), 165 (save), 171 (help) and bitmap 169
// (the About box). A picture that cannot be loaded comes back null.
QIcon loadIconResource(int id);
QPixmap loadBitmapResource(int id, QSize size);
