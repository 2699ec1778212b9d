#pragma once
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "help_search.h"

class ChmArchive;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The help window's Search tab: words typed in a field, List Topics (or
// Enter) lists the pages that hold them all by title, and Display (or
// activating a title) opens the page. The pages are read out of the manual
// the first time a search runs.
class HelpSearchPane : public QWidget {
 public:
  using OpenPage = std::function<void(const std::string& archivePath)>;

  HelpSearchPane(const ChmArchive* archive, OpenPage openPage, QWidget* parent);

  QLineEdit* wordsField() const { return words_; }
  QPushButton* listTopicsButton() const { return listTopics_; }
  QListWidget* topics() const { return topics_; }
  QPushButton* displayButton() const { return display_; }
  QLabel* status() const { return status_; }

  void listTopics();

 private:
  const HelpSearchIndex& index();
  void display(QListWidgetItem* item);

  const ChmArchive* archive_;
  OpenPage openPage_;
  std::optional<HelpSearchIndex> index_;
  QLineEdit* words_ = nullptr;
  QPushButton* listTopics_ = nullptr;
  QListWidget* topics_ = nullptr;
  QPushButton* display_ = nullptr;
  QLabel* status_ = nullptr;
};

// Every page of the manual (its ".htm" and ".html" files) in a search index,
// read through the archive's own listing and reading.
HelpSearchIndex buildHelpSearchIndex(const ChmArchive& archive);
