#include "help_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
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
  const QUrl target = source().resolved(link);
  if (target.scheme() == QLatin1String(kScheme)) {
    setSource(target);
  } else {
    QDesktopServices::openUrl(target);
  }
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  if (url.scheme() != QLatin1String(kScheme)) return {};
  const std::optional<std::string> content =
      archive_->read(url.path(QUrl::FullyDecoded).toStdString());
  if (!content) return {};
  const QByteArray bytes(content->data(), static_cast<qsizetype>(content->size()));
  if (type == QTextDocument::ImageResource) return bytes;
  return QString::fromUtf8(bytes);
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
  for (const HelpContentsEntry& entry : entries) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
    item->setText(0, QString::fromStdString(entry.name));
    if (!entry.local.empty())
      item->setData(0, kArchivePathRole, QString::fromStdString(archivePathOfTopic(entry.local)));
    fillContents(entry.children, item);
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
