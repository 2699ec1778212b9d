#include "help_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "help_index.h"
#include "help_index_pane.h"
#include "help_placement.h"
#include "help_search_pane.h"
#include "help_window_accessible.h"

namespace {

constexpr const char* kScheme = "chm";
constexpr int kArchivePathRole = Qt::UserRole;
constexpr QSize kPreferredSize(880, 620);
constexpr QSize kSmallestBesideOwner(360, 200);  // smaller, it goes over its owner

// A text from the manual as a log line may carry it: control characters,
// the backslash and the quote written as escapes, so the line stays one line
// and cannot pass for another.
std::string escapedForLog(const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

ChmBrowser::ChmBrowser(const ChmArchive* archive, QWidget* parent)
    : QTextBrowser(parent), archive_(archive) {
  // Every click comes to followLink, which decides where the link goes.
  setOpenLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { followLink(link); });
}

QUrl ChmBrowser::urlOf(const std::string& archivePath) {
  QUrl url;
  url.setScheme(QString::fromLatin1(kScheme));
  url.setPath(QString::fromStdString(archivePath));
  return url;
}

void ChmBrowser::followLink(const QUrl& link) {
  const std::optional<std::string> page = archivePathOf(link);
  if (page) {
    if (archive_->contains(*page)) {
      QUrl target = urlOf(*page);
      const QUrl resolved = source().resolved(link);
      if (resolved.hasFragment()) target.setFragment(resolved.fragment(QUrl::FullyDecoded));
      setSource(target);
      return;
    }
    refuse(link, "the manual has no such page");
    return;
  }
  const QUrl target = source().resolved(link);
  const QString scheme = target.scheme().toLower();
  // Only the web leaves the manual, in the desktop's browser. A file, a
  // script, a mail with an attachment, or any other scheme is not the
  // manual's to open.
  if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
      !target.host().isEmpty()) {
    QDesktopServices::openUrl(target);
    return;
  }
  refuse(link, "only pages of the manual and http or https links are opened");
}

void ChmBrowser::refuse(const QUrl& link, const char* why) const {
  if (!log_) return;
  const std::string text = link.toString(QUrl::FullyEncoded).toStdString();
  log_("HtmlHelp() refused to open link \"" + escapedForLog(text) + "\", " + why + "\n");
}

std::optional<std::string> ChmBrowser::archivePathOf(const QUrl& name) const {
  // A relative name is taken from the page shown. An absolute path such as
  // "/etc/passwd" then stays a path inside the archive: it names a file of
  // the manual, never one on the disk.
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  if (url.scheme() != QLatin1String(kScheme) || !url.host().isEmpty()) return std::nullopt;
  // Resolving has already removed "." and ".." and cannot climb above the root.
  const std::string path = url.path(QUrl::FullyDecoded).toStdString();
  if (path.empty() || path.front() != '/') return std::nullopt;
  return path;
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
  // Only files of the archive are shown. Anything else gets an empty
  // resource, never a null one: for a null one the document would look
  // for the name on the disk itself.
  const std::optional<std::string> path = archivePathOf(name);
  const std::optional<std::string> content =
      path ? archive_->read(*path) : std::optional<std::string>();
  const QByteArray bytes =
      content ? QByteArray(content->data(), static_cast<qsizetype>(content->size())) : QByteArray();
  if (type == QTextDocument::ImageResource) {
    // Given bytes that are no picture, the document's image handler would
    // load the picture's name from the disk: it gets a decoded picture, or
    // an empty one.
    QImage image = QImage::fromData(bytes);
    if (image.isNull()) {
      image = QImage(1, 1, QImage::Format_ARGB32);
      image.fill(Qt::transparent);
    }
    return QVariant(image);
  }
  return QVariant(QString::fromUtf8(bytes));
}

HelpWindow::HelpWindow(std::string manualPath, std::unique_ptr<ChmArchive> archive, QWidget* owner)
    : QWidget(owner, Qt::Window), manualPath_(std::move(manualPath)), archive_(std::move(archive)) {
  installHelpWindowAccessibility();  // before anything makes a screen reader look at it
  const QString title = QString::fromStdString(archive_->title());
  setWindowTitle(title.isEmpty() ? QStringLiteral("Vantiro Help") : title);
  setAccessibleName(windowTitle());

  back_ = new QPushButton(QStringLiteral("&Back"), this);
  forward_ = new QPushButton(QStringLiteral("&Forward"), this);
  back_->setAccessibleName(QStringLiteral("Back"));
  forward_->setAccessibleName(QStringLiteral("Forward"));
  back_->setEnabled(false);
  forward_->setEnabled(false);

  contents_ = new QTreeWidget(this);
  contents_->setHeaderHidden(true);
  contents_->setAccessibleName(QStringLiteral("Contents"));
  view_ = new ChmBrowser(archive_.get(), this);
  view_->setAccessibleName(QStringLiteral("Topic"));
  const auto open = [this](const std::string& path) { showTopic(path); };
  index_ = new HelpIndexPane(readHelpIndex(*archive_), open, this);
  search_ = new HelpSearchPane(archive_.get(), open, this);
  tabs_ = new QTabWidget(this);
  tabs_->setAccessibleName(QStringLiteral("Navigation"));
  tabs_->addTab(contents_, QStringLiteral("&Contents"));
  tabs_->addTab(index_, QStringLiteral("I&ndex"));
  tabs_->addTab(search_, QStringLiteral("&Search"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_);
  buttons->addWidget(forward_);
  buttons->addStretch();
  auto* splitter = new QSplitter(this);
  splitter->addWidget(tabs_);
  splitter->addWidget(view_);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({220, 620});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(splitter);
  resize(kPreferredSize);
  placeBesideOwner(this, owner, kPreferredSize, kSmallestBesideOwner);

  if (!archive_->contentsFile().empty()) {
    if (const auto sitemap = archive_->read(archive_->contentsFile()))
      fillContents(parseHelpContents(*sitemap), nullptr);
  }
  contents_->expandAll();

  connect(back_, &QPushButton::clicked, view_, &QTextBrowser::backward);
  connect(forward_, &QPushButton::clicked, view_, &QTextBrowser::forward);
  connect(view_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
  connect(view_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
  connect(view_, &QTextBrowser::sourceChanged, this,
          [this](const QUrl& page) { markCurrentPage(page); });
  // A click, Enter or a screen reader's activation all open the item's page.
  connect(contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { openContentsItem(item); });
  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { openContentsItem(item); });
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::fillContents(const std::vector<HelpContentsEntry>& entries,
                              QTreeWidgetItem* parent) {
  // Walked with a stack of its own rather than by recursion: the tree comes
  // from the manual (its depth is capped where it is parsed, but the walk
  // does not rely on that).
  struct Level {
    const std::vector<HelpContentsEntry>* entries;
    std::size_t next;
    QTreeWidgetItem* parent;
  };
  std::vector<Level> levels = {{&entries, 0, parent}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.entries->size()) {
      levels.pop_back();
      continue;
    }
    const HelpContentsEntry& entry = (*level.entries)[level.next++];
    auto* item = level.parent != nullptr ? new QTreeWidgetItem(level.parent)
                                         : new QTreeWidgetItem(contents_);
    item->setText(0, QString::fromStdString(entry.name));
    if (!entry.local.empty())
      item->setData(0, kArchivePathRole, QString::fromStdString(archivePathOfTopic(entry.local)));
    if (!entry.children.empty()) levels.push_back({&entry.children, 0, item});
  }
}

void HelpWindow::openContentsItem(QTreeWidgetItem* item) {
  const QString path = item->data(0, kArchivePathRole).toString();
  if (path.isEmpty()) return;
  const QUrl url = ChmBrowser::urlOf(path.toStdString());
  if (url != view_->source()) view_->setSource(url);
}

void HelpWindow::showTopic(const std::string& archivePath, const std::string& fragment) {
  QUrl url = ChmBrowser::urlOf(archivePath);
  if (!fragment.empty()) url.setFragment(QString::fromStdString(fragment));
  view_->setSource(url);
}

std::string HelpWindow::currentTopic() const {
  return view_->source().path(QUrl::FullyDecoded).toStdString();
}

// Takes the page from the signal: while it is delivered, source() may still
// name the page before.
void HelpWindow::markCurrentPage(const QUrl& page) {
  const QString current = page.path(QUrl::FullyDecoded);
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    if ((*it)->data(0, kArchivePathRole).toString() == current) {
      contents_->setCurrentItem(*it);
      contents_->scrollToItem(*it);
      return;
    }
  }
}
