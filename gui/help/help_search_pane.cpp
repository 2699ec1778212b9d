#include "help_search_pane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "chm_archive.h"

namespace {

constexpr int kArchivePathRole = Qt::UserRole;

bool isPage(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  QString extension = QString::fromStdString(path.substr(dot + 1)).toLower();
  return extension == QLatin1String("html") || extension == QLatin1String("htm");
}

// A page without a <title> is named by its file name.
std::string fileTitle(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  return name.substr(0, name.rfind('.'));
}

}  // namespace

HelpSearchIndex buildHelpSearchIndex(const ChmArchive& archive) {
  HelpSearchIndex index;
  for (const std::string& path : archive.files()) {
    if (!isPage(path)) continue;
    if (const std::optional<std::string> html = archive.read(path))
      index.addPage(path, *html, fileTitle(path));
  }
  return index;
}

HelpSearchPane::HelpSearchPane(const ChmArchive* archive, OpenPage openPage, QWidget* parent)
    : QWidget(parent), archive_(archive), openPage_(std::move(openPage)) {
  auto* prompt = new QLabel(QStringLiteral("Type in the &word(s) to search for:"), this);
  words_ = new QLineEdit(this);
  words_->setAccessibleName(QStringLiteral("Words to search for"));
  prompt->setBuddy(words_);
  listTopics_ = new QPushButton(QStringLiteral("&List Topics"), this);
  listTopics_->setAccessibleName(QStringLiteral("List Topics"));
  listTopics_->setAutoDefault(false);
  status_ = new QLabel(this);
  topics_ = new QListWidget(this);
  topics_->setAccessibleName(QStringLiteral("Topics found"));
  display_ = new QPushButton(QStringLiteral("D&isplay"), this);
  display_->setAccessibleName(QStringLiteral("Display"));
  display_->setAutoDefault(false);
  display_->setEnabled(false);

  auto* search = new QHBoxLayout;
  search->addWidget(words_, 1);
  search->addWidget(listTopics_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(prompt);
  layout->addLayout(search);
  layout->addWidget(status_);
  layout->addWidget(topics_);
  layout->addWidget(display_, 0, Qt::AlignRight);

  connect(words_, &QLineEdit::returnPressed, this, [this] { listTopics(); });
  connect(listTopics_, &QPushButton::clicked, this, [this] { listTopics(); });
  connect(display_, &QPushButton::clicked, this, [this] { display(topics_->currentItem()); });
  // A double click, Enter or a screen reader's activation open the page.
  connect(topics_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { display(item); });
}

const HelpSearchIndex& HelpSearchPane::index() {
  if (!index_) index_ = buildHelpSearchIndex(*archive_);
  return *index_;
}

void HelpSearchPane::listTopics() {
  topics_->clear();
  const std::string query = words_->text().toStdString();
  if (helpSearchWords(query).empty()) {
    status_->clear();
    display_->setEnabled(false);
    return;
  }
  const std::vector<HelpSearchHit> hits = index().search(query);
  for (const HelpSearchHit& hit : hits) {
    auto* item = new QListWidgetItem(QString::fromStdString(hit.title), topics_);
    item->setData(kArchivePathRole, QString::fromStdString(hit.path));
  }
  status_->setText(hits.empty()       ? QStringLiteral("No topics found.")
                   : hits.size() == 1 ? QStringLiteral("1 topic found.")
                                      : QStringLiteral("%1 topics found.").arg(hits.size()));
  display_->setEnabled(!hits.empty());
  if (!hits.empty()) topics_->setCurrentRow(0);
}

void HelpSearchPane::display(QListWidgetItem* item) {
  if (item == nullptr) return;
  openPage_(item->data(kArchivePathRole).toString().toStdString());
}
