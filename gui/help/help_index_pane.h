#pragma once
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "help_contents.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The help window's Index tab: the manual's keywords in a list, a field that
// finds a keyword as it is typed, and Display, which opens the keyword's page.
// A keyword that leads to several pages lists them under it.
class HelpIndexPane : public QWidget {
 public:
  using OpenPage = std::function<void(const std::string& archivePath)>;

  HelpIndexPane(const std::vector<HelpContentsEntry>& index, OpenPage openPage, QWidget* parent);

  QLineEdit* keywordField() const { return keyword_; }
  QTreeWidget* keywords() const { return keywords_; }
  QPushButton* displayButton() const { return display_; }

 private:
  void fill(const std::vector<HelpContentsEntry>& entries, QTreeWidgetItem* parent);
  void findTyped(const QString& typed);
  void display(QTreeWidgetItem* item);

  OpenPage openPage_;
  QLineEdit* keyword_ = nullptr;
  QTreeWidget* keywords_ = nullptr;
  QPushButton* display_ = nullptr;
};
