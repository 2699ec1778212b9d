#pragma once
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "chm_archive.h"
#include "help_contents.h"

class HelpIndexPane;
class HelpSearchPane;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// Shows the pages of one compiled manual: pages, style sheets and images all
// come out of the archive, and nothing else is ever read (no file: address,
// no path on the disk, no name the archive lacks). Links inside the manual
// are followed here; http and https links go to the desktop's browser; every
// other link is refused with a log line.
class ChmBrowser : public QTextBrowser {
 public:
  ChmBrowser(const ChmArchive* archive, QWidget* parent);
  QVariant loadResource(int type, const QUrl& name) override;

  // The address of a path inside the archive ("/a b.html").
  static QUrl urlOf(const std::string& archivePath);
  // Where a refused link is reported: one line, ending with a line feed.
  void setLog(std::function<void(const std::string& line)> log) { log_ = std::move(log); }
  // What a click on `link` does (the anchorClicked signal calls it).
  void followLink(const QUrl& link);

 private:
  // The path inside the archive that `name` (relative to the page shown)
  // stands for; none for an address outside the archive.
  std::optional<std::string> archivePathOf(const QUrl& name) const;
  void refuse(const QUrl& link, const char* why) const;

  const ChmArchive* archive_;
  std::function<void(const std::string&)> log_;
};

// The help window: the manual's Contents, Index and Search tabs on the left,
// the page on the right, Back and Forward above. It opens beside its owner on
// the owner's screen. Closing it only hides it; it goes with its owner.
class HelpWindow : public QWidget {
 public:
  HelpWindow(std::string manualPath, std::unique_ptr<ChmArchive> archive, QWidget* owner);
  ~HelpWindow() override;

  const std::string& manualPath() const { return manualPath_; }
  const ChmArchive& archive() const { return *archive_; }
  // Shows the page at `archivePath`, with an optional "#fragment".
  void showTopic(const std::string& archivePath, const std::string& fragment = {});
  // The path inside the archive of the page shown ("/a b.html").
  std::string currentTopic() const;

  ChmBrowser* view() const { return view_; }
  QTabWidget* tabs() const { return tabs_; }
  QTreeWidget* contents() const { return contents_; }
  HelpIndexPane* index() const { return index_; }
  HelpSearchPane* search() const { return search_; }
  QPushButton* backButton() const { return back_; }
  QPushButton* forwardButton() const { return forward_; }

 private:
  void fillContents(const std::vector<HelpContentsEntry>& entries, QTreeWidgetItem* parent);
  void openContentsItem(QTreeWidgetItem* item);
  void markCurrentPage(const QUrl& page);

  std::string manualPath_;
  std::unique_ptr<ChmArchive> archive_;
  QTabWidget* tabs_ = nullptr;
  QTreeWidget* contents_ = nullptr;
  HelpIndexPane* index_ = nullptr;
  HelpSearchPane* search_ = nullptr;
  ChmBrowser* view_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* forward_ = nullptr;
};
