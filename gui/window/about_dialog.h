#pragma once
#include <QDialog>

// The About box: the program's icon, name and version, the maker's notice, a
// picture and an OK button. It has no behaviour of its own.
class CAboutDialog : public QDialog {
 public:

  explicit CAboutDialog(QWidget* parent);
};
