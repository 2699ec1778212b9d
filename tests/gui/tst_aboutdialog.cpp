// The About box: its size, lines, picture and OK button.
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QtTest>

#include "gui/rules/control_table.h"
#include "gui/window/about_dialog.h"
#include "gui/window/dialog_units.h"
#include "gui/window/main_dialog.h"
#include "gui_test_support.h"

class AboutDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsNameVersionAndPicture() {
    QWidget owner;
    CAboutDialog about(&owner);
    QCOMPARE(about.windowTitle(), QString("About Vantiro"));
    // Laid out with the main window's conversion: 235 units of the box are
    // as wide as 235 units of the main window.
    CMainDialog main;
    const DialogBaseUnits base = labelFittingBaseUnits(main.font(), mainDialogControls());
    QCOMPARE(main.size(), QSize(dialogUnitsToPixels(501, base.width, 4),
                                dialogUnitsToPixels(234, base.height, 8)));
    QCOMPARE(about.font(), main.font());
    QCOMPARE(about.size(), QSize(dialogUnitsToPixels(235, base.width, 4),
                                 dialogUnitsToPixels(79, base.height, 8)));
    QStringList texts;
    int pictures = 0;
    for (QLabel* label : about.findChildren<QLabel*>()) {
      if (!label->pixmap().isNull()) {
        ++pictures;
      } else {
        texts.append(label->text());
        QCOMPARE(label->geometry(),
                 dialogRectToPixels({40, texts.size() == 1 ? 7 : 17, 119, 8}, base));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
      }
    }
    QCOMPARE(pictures, 2);  // the program's icon and the bitmap
    QVERIFY(texts.contains("Vantiro 1.00"));
    QCOMPARE(texts.size(), 2);
    auto* ok = about.findChild<QPushButton*>("ok");
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->geometry(), dialogRectToPixels({178, 7, 50, 14}, base));
    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
  }

  // The box as it is drawn shows both pictures where their labels are (a
  // label without one is a flat area of one colour), and is kept for review.
  void drawnBoxShowsItsPictures() {
    QWidget owner;
    CAboutDialog about(&owner);
    about.show();
    const QImage drawn = about.grab().toImage();
    int pictures = 0;
    for (QLabel* label : about.findChildren<QLabel*>()) {
      if (label->pixmap().isNull()) continue;
      ++pictures;
      const QRect area = label->geometry() & drawn.rect();
      QVERIFY(!area.isEmpty());
      QSet<QRgb> colours;
      for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) colours.insert(drawn.pixel(x, y));
      QVERIFY2(colours.size() > 8, qPrintable(QString("%1 colours").arg(colours.size())));
    }
    QCOMPARE(pictures, 2);
    QVERIFY(drawn.save(pictureDirectory() + "/about.png"));
  }
};

QTEST_MAIN(AboutDialogTest)
#include "tst_aboutdialog.moc"
