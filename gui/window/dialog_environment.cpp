#include "dialog_environment.h"

#include <QCoreApplication>

void showModalMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                         const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

QString programName() { return QCoreApplication::applicationName(); }
