#include "about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "dialog_units.h"
#include "gui/rules/control_table.h"
#include "picture_resources.h"

namespace {

constexpr int kWidth = 235;
constexpr int kHeight = 79;
constexpr const char* kVersionLine = "Vantiro 1.00";
constexpr const char* kMakerNotice = "Copyright (C) Brennix Software";
constexpr int kIconSide = 32;
constexpr QSize kBitmapSize(30, 48);  // pixels, as drawn

}  // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Vantiro"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  const DialogBaseUnits base = programBaseUnits(font());
  auto place = [&base](QWidget* widget, const DialogRect& rect) {
    widget->setGeometry(dialogRectToPixels(rect, base));
  };

  auto* icon = new QLabel(this);
  icon->setPixmap(loadIconResource(pic::ProgramIcon).pixmap(kIconSide, kIconSide));
  const QRect iconRect = dialogRectToPixels({7, 7, 0, 0}, base);
  icon->setGeometry(iconRect.x(), iconRect.y(), kIconSide, kIconSide);
  icon->setAccessibleName(QStringLiteral("Vantiro"));

  auto* version = new QLabel(QString::fromLatin1(kVersionLine), this);
  version->setTextFormat(Qt::PlainText);  // shown as it stands, no mnemonics
  place(version, {40, 7, 119, 8});

  auto* notice = new QLabel(QString::fromLatin1(kMakerNotice), this);
  notice->setTextFormat(Qt::PlainText);
  place(notice, {40, 17, 119, 8});

  auto* picture = new QLabel(this);
  picture->setPixmap(loadBitmapResource(pic::AboutBitmap, kBitmapSize));
  const QRect pictureRect = dialogRectToPixels({7, 42, 0, 0}, base);
  picture->setGeometry(pictureRect.x(), pictureRect.y(), kBitmapSize.width(), kBitmapSize.height());
  picture->setAccessibleName(QString::fromLatin1(kVersionLine));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  place(ok, {178, 7, 50, 14});
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  setFixedSize(dialogUnitsToPixels(kWidth, base.width, 4),
               dialogUnitsToPixels(kHeight, base.height, 8));
}
