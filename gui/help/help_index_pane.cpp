#include "help_index_pane.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chm_archive.h"
#include "help_index.h"

namespace {

constexpr int kArchivePathRole = Qt::UserRole;

// Every line of the list in the order shown, sub-keywords after their keyword.
QList<QTreeWidgetItem*> linesInOrder(QTreeWidget* tree) {
  QList<QTreeWidgetItem*> lines;
  for (QTreeWidgetItemIterator it(tree); *it; ++it) lines.append(*it);
  return lines;
}

}  // namespace

HelpIndexPane::HelpIndexPane(const std::vector<HelpContentsEntry>& index, OpenPage openPage,
                             QWidget* parent)
    : QWidget(parent), openPage_(std::move(openPage)) {
  auto* prompt = new QLabel(QStringLiteral("&Type in the keyword to find:"), this);
  keyword_ = new QLineEdit(this);
  keyword_->setAccessibleName(QStringLiteral("Keyword to find"));
  prompt->setBuddy(keyword_);
  keywords_ = new QTreeWidget(this);
  keywords_->setHeaderHidden(true);
  keywords_->setRootIsDecorated(false);
  keywords_->setAccessibleName(QStringLiteral("Keywords"));
  display_ = new QPushButton(QStringLiteral("&Display"), this);
  display_->setAccessibleName(QStringLiteral("Display"));
  display_->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(prompt);
  layout->addWidget(keyword_);
  layout->addWidget(keywords_);
  layout->addWidget(display_, 0, Qt::AlignRight);

  fill(index, nullptr);
  keywords_->expandAll();
  if (keywords_->topLevelItemCount() > 0) keywords_->setCurrentItem(keywords_->topLevelItem(0));
  display_->setEnabled(keywords_->topLevelItemCount() > 0);

  connect(keyword_, &QLineEdit::textEdited, this, [this](const QString& text) { findTyped(text); });
  connect(keyword_, &QLineEdit::returnPressed, this, [this] { display(keywords_->currentItem()); });
  connect(display_, &QPushButton::clicked, this, [this] { display(keywords_->currentItem()); });
  // A double click, Enter or a screen reader's activation open the page.
  connect(keywords_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { display(item); });
}

void HelpIndexPane::fill(const std::vector<HelpContentsEntry>& entries, QTreeWidgetItem* parent) {
  for (const HelpContentsEntry& entry : entries) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(keywords_);
    item->setText(0, QString::fromStdString(entry.name));
    if (entry.topics.size() == 1) {
      item->setData(0, kArchivePathRole,
                    QString::fromStdString(archivePathOfTopic(entry.topics.front().local)));
    } else {
      // Several pages: each one a line under the keyword, named by its title.
      for (const HelpContentsTopic& topic : entry.topics) {
        auto* page = new QTreeWidgetItem(item);
        page->setText(0, QString::fromStdString(topic.title.empty() ? topic.local : topic.title));
        page->setData(0, kArchivePathRole, QString::fromStdString(archivePathOfTopic(topic.local)));
      }
    }
    fill(entry.children, item);
  }
}

void HelpIndexPane::findTyped(const QString& typed) {
  const QList<QTreeWidgetItem*> lines = linesInOrder(keywords_);
  QStringList texts;
  for (QTreeWidgetItem* line : lines) texts.append(line->text(0));
  const int row = matchingKeyword(texts, typed);
  if (row < 0) return;
  keywords_->setCurrentItem(lines[row]);
  keywords_->scrollToItem(lines[row], QAbstractItemView::PositionAtTop);
}

void HelpIndexPane::display(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const QString path = item->data(0, kArchivePathRole).toString();
  if (!path.isEmpty()) {
    openPage_(path.toStdString());
  } else if (item->childCount() > 0) {
    // A keyword without a page of its own: its first page or sub-keyword.
    keywords_->setCurrentItem(item->child(0));
    keywords_->setFocus(Qt::OtherFocusReason);
  }
}
