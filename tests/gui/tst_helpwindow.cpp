// Context help through the window, as a user asks for it: F1 on the focused
// control, or the Help button and then a click on a control; the help window
// that opens, and the log line when a page cannot be shown.
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "common/log_text.h"
#include "gui/help/chm_archive.h"
#include "gui/help/help_index_pane.h"
#include "gui/help/help_search_pane.h"
#include "gui/help/help_window.h"
#include "gui/rules/control_table.h"
#include "gui/rules/mode_rules.h"
#include "gui/window/main_dialog.h"
#include "gui_test_support.h"

namespace {

constexpr int kNoMode = -1;

// A manual under a name of its own in a fresh directory on PATH, and a
// started dialog that finds it there.
// The manual may sit in a subdirectory of a name of the test's choosing.
struct DialogWithManual {
  QTemporaryDir directory;
  QString manualDirectory;
  QByteArray previousPath = qgetenv("PATH");
  QString previousDirectory = QDir::currentPath();
  QVector<RecordedMessageBox> boxes;
  std::unique_ptr<CMainDialog> dialog;

  explicit DialogWithManual(const QString& manualSource, const QString& subdirectory = {},
                            const std::function<void(const QString&)>& beforeStart = {},
                            const char* engineDirectory = "") {
    const char* name = "tst-help-manual.chm";
    manualDirectory = directory.path();
    if (!subdirectory.isEmpty()) {
      manualDirectory += "/" + subdirectory;
      QDir().mkpath(manualDirectory);
    }
    const QString manual = manualDirectory + "/" + name;
    if (manualSource.isEmpty()) {
      QFile text(manual);
      if (text.open(QIODevice::WriteOnly)) text.write("not a compiled help file\n");
    } else {
      QFile::copy(manualSource, manual);
    }
    if (beforeStart) beforeStart(manualDirectory);
    // A directory whose name holds "::" cannot be named on PATH: such a manual
    // is found in the working directory, where a user would start the program.
    if (subdirectory.isEmpty()) {
      qputenv("PATH", manualDirectory.toUtf8() + ":" + previousPath);
    } else {
      QDir::setCurrent(manualDirectory);
    }
    DialogEnvironment environment = testEnvironment(&boxes, name);
    environment.detectCpuFeatures = [] { return kCpuSse | kCpuSse2; };
    environment.engineDirectory = engineDirectory;
    dialog = std::make_unique<CMainDialog>(environment);
    dialog->OnInitDialog();
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get())) qWarning("dialog did not become active");
  }
  ~DialogWithManual() {
    dialog.reset();
    qputenv("PATH", previousPath);
    QDir::setCurrent(previousDirectory);
  }

  QWidget* control(int id) const { return dialog->control(id); }
  void chooseMode(int mode) {
    auto* modes = dialog->controlAs<QComboBox>(ctl::ModeList);
    modes->setCurrentIndex(mode);
    dialog->applyModeEnabling();
  }
  HelpWindow* helpWindow() const {
    const auto windows = childrenOfType<HelpWindow>(dialog.get());
    return windows.size() == 1 ? windows.front() : nullptr;
  }
  QString log() const {
    QFile file(manualDirectory + "/guiapp.log");
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
  }
};

void clickAt(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

// Asks for help on a control the way the row says: "F1" with the focus on
// it, or "click" with the Help button and then on the control.
void askForHelp(DialogWithManual& d, const QString& how, int id) {
  if (how == "F1") {
    d.control(id)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(d.dialog.get(), Qt::Key_F1);
  } else {
    clickAt(d.control(ctl::Help));
    clickAt(d.control(id));
  }
}

// Where a link handed to the desktop would have gone, by scheme.
class DesktopOpener : public QObject {
  Q_OBJECT

 public:
  QStringList opened;
  explicit DesktopOpener(const QStringList& schemes) : schemes_(schemes) {
    for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "open");
  }
  ~DesktopOpener() override {
    for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
  }
 public slots:
  void open(const QUrl& url) { opened << url.toString(); }

 private:
  QStringList schemes_;
};

// Every link of the page shown, as its text gives it.
QStringList linksOf(const QTextDocument* page) {
  QStringList links;
  for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QString href = it.fragment().charFormat().anchorHref();
      if (!href.isEmpty() && !links.contains(href)) links << href;
    }
  }
  return links;
}

// Files opened in a watched directory while this lives (inotify).
class OpenWatch {
 public:
  explicit OpenWatch(const QStringList& directories)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    for (const QString& d : directories)
      inotify_add_watch(fd_, QFile::encodeName(d).constData(), IN_OPEN | IN_ACCESS);
  }
  ~OpenWatch() { close(fd_); }
  QStringList opened() const {
    QStringList names;
    alignas(inotify_event) char buffer[4096];
    ssize_t n;
    while ((n = read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        names << QString::fromUtf8(event->len > 0 ? event->name : "(directory)");
        at += sizeof(inotify_event) + event->len;
      }
    }
    return names;
  }

 private:
  int fd_;
};

// What is open in a process: its descriptors' targets, by number.
QMap<int, QString> openFilesOf(int pid) {
  QMap<int, QString> files;
  const QString fdDirectory = QString("/proc/%1/fd").arg(pid);
  for (const QString& fd : QDir(fdDirectory).entryList(QDir::NoDotAndDotDot | QDir::System)) {
    char target[4096];
    const ssize_t n =
        readlink(QFile::encodeName(fdDirectory + "/" + fd).constData(), target, sizeof target - 1);
    files[fd.toInt()] = QString::fromUtf8(target, n > 0 ? n : 0);
  }
  return files;
}

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { home_ = std::make_unique<TemporaryConfigHome>(); }
  void cleanup() {
    home_.reset();
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
  }

  void helpOpensTheControlsPage_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("subdirectory");  // where the manual sits
    QTest::newRow("F1, Neurons in Generate")
        << kModeGenerate << "F1" << ctl::Neurons << "/Generate Parameters - Number of Neurons.html"
        << QString();
    QTest::newRow("F1, Mode list, no mode")
        << kNoMode << "F1" << ctl::ModeList << "/Vantiro Overview.html" << QString();
    QTest::newRow("click, label of Neurons in Generate")
        << kModeGenerate << "click" << ctl::NeuronsLabel
        << "/Generate Parameters - Number of Neurons.html" << QString();
    QTest::newRow("click, disabled Input File in Benchmark")
        << kModeBenchmark << "click" << ctl::InputFile << "/Train Parameters - Input File.html"
        << QString();
    QTest::newRow("click, disabled Points label in Train")
        << kModeTrain << "click" << ctl::PointsLabel
        << "/Generate Parameters - Points to Generate.html" << QString();
    QTest::newRow("click, SSE") << kModeTrain << "click" << ctl::Sse
                                << "/Vantiro Options - Instruction Set.html" << QString();
    QTest::newRow("click, output list: the default page")
        << kModeTrain << "click" << ctl::OutputList << "/Vantiro Overview.html" << QString();
    QTest::newRow("F1, Help button: the default page")
        << kModeTrain << "F1" << ctl::Help << "/Vantiro Overview.html" << QString();
    // The help request holds the directory's name and the topic after "::".
    QTest::newRow("F1, Neurons in Train, manual in a directory named a::b")
        << kModeTrain << "F1" << ctl::Neurons << "/Train Parameters - Number of Neurons.html"
        << "a::b";
    QTest::newRow("click, output list, manual in a directory named x.chm::")
        << kModeTrain << "click" << ctl::OutputList << "/Vantiro Overview.html"
        << "x.chm::";
  }
  void helpOpensTheControlsPage() {
    QFETCH(int, mode);
    QFETCH(QString, how);
    QFETCH(int, id);
    QFETCH(QString, page);
    QFETCH(QString, subdirectory);
    DialogWithManual d(VANTIRO_MANUAL_PATH, subdirectory);
    QVERIFY(d.dialog->heldResources().helpDirectory.has_value());
    const std::string directory = *d.dialog->heldResources().helpDirectory;
    QCOMPARE(QString::fromStdString(directory), d.manualDirectory + "/");
    d.chooseMode(mode);
    const QString logBefore = d.log();
    askForHelp(d, how, id);
    HelpWindow* window = d.helpWindow();
    QVERIFY2(window != nullptr, qPrintable(d.log()));
    QVERIFY(window->isVisible());
    QCOMPARE(QString::fromStdString(window->currentTopic()), page);
    QVERIFY(!window->view()->toPlainText().isEmpty());
    QVERIFY(!childOfType<ContextHelpMode>(d.dialog.get())->isActive());
    // The directory is as it was, ready for the next request.
    QCOMPARE(*d.dialog->heldResources().helpDirectory, directory);
    QCOMPARE(d.log(), logBefore);
  }

  // The Help button, clicked or pressed by a screen reader, starts the mode for one
  // click, which asks instead of acting; Escape leaves it without help or closing.
  void theHelpModeTakesOneClick_data() {
    QTest::addColumn<bool>("pressAction");
    QTest::addColumn<bool>("escape");
    QTest::newRow("click, then Clear asks") << false << false;
    QTest::newRow("click, then Escape") << false << true;
    QTest::newRow("press action, then Escape") << true << true;
  }
  void theHelpModeTakesOneClick() {
    QFETCH(bool, pressAction);
    QFETCH(bool, escape);
    DialogWithManual d(VANTIRO_MANUAL_PATH);
    auto* list = d.dialog->controlAs<QListWidget>(ctl::OutputList);
    list->addItem("a line");
    if (pressAction) {
      QAccessibleInterface* button = QAccessible::queryAccessibleInterface(d.control(ctl::Help));
      QVERIFY(button != nullptr && button->actionInterface() != nullptr);
      QVERIFY(button->actionInterface()->actionNames().contains(
          QAccessibleActionInterface::pressAction()));
      button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    } else {
      clickAt(d.control(ctl::Help));
    }
    // A screen reader's press is animated: the click follows a moment later.
    QTRY_VERIFY(childOfType<ContextHelpMode>(d.dialog.get())->isActive());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
    if (escape) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      QVERIFY(!childOfType<ContextHelpMode>(d.dialog.get())->isActive());
      QVERIFY(QApplication::overrideCursor() == nullptr);
      QVERIFY(d.dialog->isVisible());
      QVERIFY(childrenOfType<HelpWindow>(d.dialog.get()).empty());
    } else {
      clickAt(d.control(ctl::Clear));
      QCOMPARE(list->count(), 1);
      QCOMPARE(QString::fromStdString(d.helpWindow()->currentTopic()), "/The Clear Button.html");
    }
    clickAt(d.control(ctl::Clear));
    QCOMPARE(list->count(), 0);
  }

  void aPageThatCannotBeShownIsLogged_data() {
    QTest::addColumn<QString>("manual");  // empty: a file that is not a manual
    QTest::addColumn<QString>("subdirectory");
    QTest::addColumn<QString>("why");  // %1: the manual's directory as the log shows it
    QTest::newRow("manual without the page")
        << VANTIRO_ONE_PAGE_MANUAL_PATH << QString()
        << "the help file has no page Generate Parameters - Output File.html";
    QTest::newRow("not a manual") << "" << QString()
                                  << "the help file %1/tst-help-manual.chm cannot be opened: not "
                                     "a compiled help file, or it cannot be read";
    // What a directory's name carries stays on the line, escaped.
    QTest::newRow("not a manual, in a directory whose name holds a key on a line of its own")
        << ""
        << "x\nssh-ed25519 AAAAC3 planted\n"
        << "the help file %1/tst-help-manual.chm cannot be opened: not "
           "a compiled help file, or it cannot be read";
  }
  void aPageThatCannotBeShownIsLogged() {
    QFETCH(QString, manual);
    QFETCH(QString, subdirectory);
    QFETCH(QString, why);
    DialogWithManual d(manual, subdirectory);
    const QString before = d.log();
    d.chooseMode(kModeGenerate);
    askForHelp(d, "F1", ctl::OutputFile);
    QVERIFY(childrenOfType<HelpWindow>(d.dialog.get()).empty());
    const QString shown =
        QString::fromStdString(escapeControlCharacters(d.manualDirectory.toStdString()));
    const QString expected = QString(
                                 "HtmlHelp() failed to open help topic \"%1/tst-help-manual.chm"
                                 "::/Generate Parameters - Output File.html\", %2\n")
                                 .arg(shown, why.replace("%1", shown));
    QCOMPARE(d.log().mid(before.size()), expected);
    QCOMPARE(d.log().count('\n'), before.count('\n') + 1);
    QCOMPARE(QString::fromStdString(*d.dialog->heldResources().helpDirectory), d.manualDirectory + "/");
  }

  // A log beside the manual that is a link is neither written through nor
  // followed to create its target: the log goes to the state directory.
  void aLinkAtTheLogsNameIsNotFollowed_data() {
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("link to a file") << true;
    QTest::newRow("link to a missing file") << false;
  }
  void aLinkAtTheLogsNameIsNotFollowed() {
    QFETCH(bool, targetExists);
    QTemporaryDir elsewhere;
    const QString keys = elsewhere.filePath("authorized_keys");
    if (targetExists) {
      QFile file(keys);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("ssh-ed25519 AAAA mine\n");
    }
    DialogWithManual d(VANTIRO_ONE_PAGE_MANUAL_PATH, {}, [&keys](const QString& directory) {
      QFile::link(keys, directory + "/guiapp.log");
    });
    d.chooseMode(kModeGenerate);
    askForHelp(d, "F1", ctl::OutputFile);
    QCOMPARE(QFileInfo(d.manualDirectory + "/guiapp.log").symLinkTarget(), keys);
    if (targetExists) {
      QFile file(keys);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), QByteArray("ssh-ed25519 AAAA mine\n"));
    } else {
      QVERIFY(!QFile::exists(keys));
    }
    d.dialog.reset();  // closes the log
    QFile log(home_->stateLogPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray lines = log.readAll();
    QVERIFY2(lines.endsWith("Generate Parameters - Output File.html\n"), lines.constData());
    QVERIFY(lines.contains("HtmlHelp() failed to open help topic"));
  }

  void withoutAManualHelpDoesNothing() {
    QVector<RecordedMessageBox> boxes;
    CMainDialog dialog(testEnvironment(&boxes));
    dialog.OnInitDialog();
    QVERIFY(!dialog.heldResources().helpDirectory.has_value());
    HelpInfo info;
    info.controlId = ctl::Neurons;
    info.control = dialog.control(ctl::Neurons);
    QVERIFY(!dialog.OnHelpInfo(info));
    QVERIFY(childrenOfType<HelpWindow>(&dialog).empty());
  }

  void theHelpWindowFollowsLinksAndGoesBack() {
    DialogWithManual d(VANTIRO_MANUAL_PATH);
    askForHelp(d, "F1", ctl::ModeList);  // Benchmark at first start
    HelpWindow* window = d.helpWindow();
    QVERIFY(window != nullptr);
    QCOMPARE(window->view()->accessibleName(), QString("Topic"));
    QCOMPARE(window->contents()->accessibleName(), QString("Contents"));
    QVERIFY(!window->backButton()->isEnabled());
    emit window->view()->anchorClicked(QUrl("Getting%20Started.html"));
    QCOMPARE(QString::fromStdString(window->currentTopic()), "/Getting Started.html");
    // The screenshot on that page comes out of the manual.
    const QVariant image = window->view()->loadResource(QTextDocument::ImageResource,
                                                        QUrl("images/dialog-train-run.png"));
    QVERIFY(image.value<QImage>().width() > 1);
    QVERIFY(window->backButton()->isEnabled());
    clickAt(window->backButton());
    QCOMPARE(QString::fromStdString(window->currentTopic()), "/Benchmark Mode Overview.html");
    QVERIFY(window->forwardButton()->isEnabled());
    clickAt(window->forwardButton());
    QCOMPARE(QString::fromStdString(window->currentTopic()), "/Getting Started.html");
    // The contents follow the page shown, and open the page of an item.
    QCOMPARE(window->contents()->currentItem()->text(0), QString("Getting Started"));
    QTreeWidgetItem* train = window->contents()->topLevelItem(1);
    QCOMPARE(train->text(0), QString("Train Mode"));
    emit window->contents()->itemActivated(train->child(2), 0);
    QCOMPARE(QString::fromStdString(window->currentTopic()),
             "/Train Parameters - Learning Rate.html");
    QCOMPARE(window->contents()->currentItem(), train->child(2));

    QVERIFY(window->grab().save(pictureDirectory() + "/help-window.png"));
  }

  // A reader types into the Index or Search tab and presses Enter; on Search
  // a second Enter on the list opens the first title found.
  void indexAndSearchOpenPages_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found");  // the keyword chosen, or Search's result line
    QTest::addColumn<QString>("page");   // empty: the page shown stays
    QTest::newRow("Index, start of a keyword") << "Index"
                                               << "learn"
                                               << "Learning Rate"
                                               << "/Train Parameters - Learning Rate.html";
    QTest::newRow("Index, a keyword of one mode") << "Index"
                                                  << "input file (g"
                                                  << "Input File (Generate)"
                                                  << "/Generate Parameters - Input File.html";
    QTest::newRow("Index, nothing matches") << "Index"
                                            << "jjj"
                                            << "Begin"
                                            << "/The Begin Button.html";
    QTest::newRow("Search, two words") << "Search"
                                       << "tolerance unit"
                                       << "topics found."
                                       << "/Train Parameters - Tolerance Unit.html";
    QTest::newRow("Search, no page has it") << "Search"
                                            << "xylophone"
                                            << "No topics found."
                                            << "";
  }
  void indexAndSearchOpenPages() {
    QFETCH(QString, tab);
    QFETCH(QString, typed);
    QFETCH(QString, found);
    QFETCH(QString, page);
    DialogWithManual d(VANTIRO_MANUAL_PATH);
    askForHelp(d, "F1", ctl::Clear);
    HelpWindow* window = d.helpWindow();
    QVERIFY(window != nullptr);
    QCOMPARE(window->tabs()->count(), 3);
    const std::string before = window->currentTopic();
    if (tab == "Index") {
      window->tabs()->setCurrentWidget(window->index());
      QLineEdit* field = window->index()->keywordField();
      QTest::keyClicks(field, typed);
      QCOMPARE(window->index()->keywords()->currentItem()->text(0), found);
      QTest::keyClick(field, Qt::Key_Return);
    } else {
      window->tabs()->setCurrentWidget(window->search());
      QLineEdit* field = window->search()->wordsField();
      QTest::keyClicks(field, typed);
      QTest::keyClick(field, Qt::Key_Return);
      QVERIFY(window->search()->status()->text().endsWith(found));
      QListWidget* topics = window->search()->topics();
      QCOMPARE(window->search()->displayButton()->isEnabled(), topics->count() > 0);
      if (topics->count() > 0) {
        QCOMPARE(topics->currentRow(), 0);
        topics->setFocus();
        QTest::keyClick(topics, Qt::Key_Return);
      }
    }
    QCOMPARE(QString::fromStdString(window->currentTopic()),
             page.isEmpty() ? QString::fromStdString(before) : page);
  }

  void theHelpWindowHasNamedTabsAndStaysOnTheScreen() {
    DialogWithManual d(VANTIRO_MANUAL_PATH);
    askForHelp(d, "F1", ctl::Neurons);
    HelpWindow* window = d.helpWindow();
    QVERIFY(window != nullptr);
    QStringList tabs;
    for (int i = 0; i < window->tabs()->count(); ++i) tabs << window->tabs()->tabText(i);
    QCOMPARE(tabs, QStringList({"&Contents", "I&ndex", "&Search"}));
    // Announced as a window of its own, by its title.
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(window);
    QCOMPARE(frame->role(), QAccessible::Window);
    QCOMPARE(frame->text(QAccessible::Name), QString("Vantiro User Manual"));
    // Every keyword of the manual's index, in its order.
    QCOMPARE(window->index()->keywords()->topLevelItemCount(), 39);
    QCOMPARE(window->index()->keywords()->topLevelItem(0)->text(0), QString("Begin"));
    for (QWidget* control : {static_cast<QWidget*>(window->tabs()),
                             static_cast<QWidget*>(window->index()->keywordField()),
                             static_cast<QWidget*>(window->index()->keywords()),
                             static_cast<QWidget*>(window->index()->displayButton()),
                             static_cast<QWidget*>(window->search()->wordsField()),
                             static_cast<QWidget*>(window->search()->listTopicsButton()),
                             static_cast<QWidget*>(window->search()->topics()),
                             static_cast<QWidget*>(window->search()->displayButton())}) {
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
      QVERIFY(accessible != nullptr);
      QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), control->metaObject()->className());
    }
    QVERIFY(d.dialog->screen()->availableGeometry().contains(window->frameGeometry()));
  }

  void screenshotsOfIndexAndSearch() {
    DialogWithManual d(VANTIRO_MANUAL_PATH);
    askForHelp(d, "F1", ctl::Neurons);
    HelpWindow* window = d.helpWindow();
    QVERIFY(window != nullptr);
    window->tabs()->setCurrentWidget(window->index());
    QTest::keyClicks(window->index()->keywordField(), "inp");
    QVERIFY(window->grab().save(pictureDirectory() + "/help-index.png"));
    window->tabs()->setCurrentWidget(window->search());
    QTest::keyClicks(window->search()->wordsField(), "state file");
    window->search()->listTopics();
    QVERIFY(window->grab().save(pictureDirectory() + "/help-search.png"));
  }

  // Manuals made to harm, each left where help finds it while a Train run
  // goes: the run goes on and saves, the dialog stays, the help window shows
  // the manual's own pages or nothing, no file but the manual is read, and
  // only http and https links leave the window.
  void aHostileManualHarmsNothing_data() {
    QTest::addColumn<QString>("manual");
    QTest::addColumn<QString>("page");  // what the window shows; empty: nothing
    QTest::addColumn<QStringList>("toDesktop");
    QTest::addColumn<int>("refused");  // links refused with a log line
    QTest::newRow("chmlib overflows the heap reading a page")
        << "heap_overflow_WRITE_pread_on_page_read.chm"
        << "" << QStringList() << 0;
    QTest::newRow("chmlib's decompressor has no state") << "sigsegv_lzx_null_state_on_page_read.chm"
                                                        << "" << QStringList() << 0;
    QTest::newRow("the default topic holds a line end")
        << "log_injection_default_topic_authorized_key.chm"
        << "" << QStringList() << 0;
    QTest::newRow("pages reach for local files, links for any scheme")
        << "links_and_local_images.chm"
        << "Hostile manual page" << QStringList{"http://127.0.0.1:1/"} << 6;
  }
  void aHostileManualHarmsNothing() {
    QFETCH(QString, manual);
    QFETCH(QString, page);
    QFETCH(QStringList, toDesktop);
    QFETCH(int, refused);
    // The places the manual's pages point at, as canaries.
    const QString victim = "/tmp/secprobe/gui/victim";
    QVERIFY(QDir().mkpath(victim));
    for (const char* name : {"private.png", "evil.css"}) {
      QFile canary(victim + "/" + name);
      if (!canary.exists()) {
        QVERIFY(canary.open(QIODevice::WriteOnly));
        canary.write("canary\n");
      }
    }
    DialogWithManual d(QString(VANTIRO_HOSTILE_MANUALS) + "/" + manual, {}, {},
                       VANTIRO_BIN_DIR);
    // The working directory, with a picture a page names relative to it.
    const QString cwd = d.directory.filePath("cwd");
    QVERIFY(QDir().mkpath(cwd));
    QFile cwdCanary(cwd + "/cwd-private.png");
    QVERIFY(cwdCanary.open(QIODevice::WriteOnly));
    cwdCanary.write("canary\n");
    cwdCanary.close();
    const QString previousDirectory = QDir::currentPath();
    QDir::setCurrent(cwd);
    DesktopOpener desktop({"http", "https", "file", "mailto", "javascript"});

    // A Train run on the real engine, long enough to ask for help during it.
    QFile nile(QString(VANTIRO_SOURCE_DIR) + "/examples/nile-flow-1871-1970.txt");
    QFile scaled(d.directory.filePath("nile-scaled.txt"));
    QVERIFY(nile.open(QIODevice::ReadOnly) && scaled.open(QIODevice::WriteOnly));
    while (!nile.atEnd())
      scaled.write(QByteArray::number(nile.readLine().trimmed().toDouble() / 1000.0) + "\n");
    scaled.close();
    d.chooseMode(kModeTrain);
    const int fields[] = {ctl::Neurons,       ctl::WindowSize,       ctl::LearningRate,
                          ctl::ToleranceUnit, ctl::TrainToTolerance, ctl::InputFile,
                          ctl::SaveStateFile};
    const QStringList texts = {
        "4", "8", "0.01", "0.0001", "0.0001", scaled.fileName(), d.directory.filePath("nile.vns")};
    for (int i = 0; i < texts.size(); ++i)
      typeInto(d.dialog->controlAs<QLineEdit>(fields[i]), texts[i]);
    clickButton(d.control(ctl::Single));
    clickButton(d.control(ctl::Begin));
    QVERIFY(d.dialog->runActive());

    const QString logBefore = d.log();
    OpenWatch watch({victim, cwd});
    askForHelp(d, "F1", ctl::OutputList);  // the manual's default page
    HelpWindow* window = d.helpWindow();
    QStringList refusedLines;
    if (window != nullptr) {
      const QString shown = window->view()->toPlainText();
      if (page.isEmpty() || window->archive().damaged()) {
        QVERIFY2(shown.isEmpty(), qPrintable(shown));
      } else {
        QVERIFY2(shown.contains(page), qPrintable(shown));
        // The reader holds the manual and its socket, nothing else.
        const int reader = window->archive().readerPid();
        QVERIFY(reader > 0);
        const QMap<int, QString> open = openFilesOf(reader);
        for (auto it = open.cbegin(); it != open.cend(); ++it) {
          if (it.key() <= 2) continue;
          QCOMPARE(QFileInfo(it.value()).fileName(), QString("tst-help-manual.chm"));
        }
        QVERIFY(open.value(0).startsWith("socket:") && open.value(1).startsWith("socket:"));
        QFile limits(QString("/proc/%1/limits").arg(reader));
        QVERIFY(limits.open(QIODevice::ReadOnly));
        const QString table = QString::fromUtf8(limits.readAll()).simplified();
        for (const char* limit : {"Max open files 4 4", "Max file size 0 0",
                                  "Max core file size 0 0", "Max cpu time 10 10"})
          QVERIFY2(table.contains(limit), limit);
      }
      // A user clicks every link of the page.
      for (const QString& link : linksOf(window->view()->document()))
        window->view()->followLink(QUrl(link));
    }
    QCOMPARE(desktop.opened, toDesktop);
    const QStringList opened = watch.opened();
    QVERIFY2(opened.isEmpty(), qPrintable(opened.join(", ")));
    const QString logged = d.log().mid(logBefore.size());
    for (const QString& line : logged.split('\n', Qt::SkipEmptyParts)) {
      // Each line is one whole diagnostic: what a manual names never starts a line.
      QVERIFY2(line.startsWith("HtmlHelp() "), qPrintable(line));
      if (line.startsWith("HtmlHelp() refused to open link")) refusedLines << line;
    }
    QCOMPARE(refusedLines.size(), refused);
    if (window == nullptr || window->archive().damaged()) {
      QVERIFY2(logged.startsWith("HtmlHelp() failed to open help topic"), qPrintable(logged));
    }

    // The run goes on to the end the user gives it, and saves.
    QVERIFY(d.dialog->isVisible() && d.dialog->runActive());
    clickButton(d.control(ctl::Stop));
    QTRY_VERIFY_WITH_TIMEOUT(!d.dialog->runActive(), 30000);
    QVERIFY(QFileInfo(d.directory.filePath("nile.vns")).size() > 0);
    QVERIFY(d.dialog->isVisible());
    QDir::setCurrent(previousDirectory);
  }

  // Readers that fail in each way a reader can: the help file is damaged, the
  // dialog goes on, and the reader is gone (no process left behind).
  void aFailingReaderMeansADamagedHelpFile_data() {
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("windowOpens");
    // Answers as frames: hello, a record naming "/a.html", no files, "it is there".
    const QByteArray opened =
        R"(printf '\001\000\000\000\000)"
        R"(\024\000\000\000\000\007\000\000\000/a.html\000\000\000\000\000\000\000\000)"
        R"(\005\000\000\000\000\000\000\000\000\001\000\000\000\000')";
    QTest::newRow("dies at once") << QByteArray("kill -SEGV $$") << false;
    QTest::newRow("answers nonsense") << QByteArray("printf 'nonsense, not frames'") << false;
    QTest::newRow("announces a 4 GiB answer")
        << QByteArray(R"(printf '\377\377\377\377\000')") << false;
    QTest::newRow("says nothing") << QByteArray("exec sleep 30") << false;
    QTest::newRow("dies on the page") << opened + "; sleep 0.2; kill -SEGV $$" << true;
    QTest::newRow("hangs on the page") << opened + "; exec sleep 30" << true;
  }
  void aFailingReaderMeansADamagedHelpFile() {
    QFETCH(QByteArray, script);
    QFETCH(bool, windowOpens);
    DialogWithManual d(VANTIRO_ONE_PAGE_MANUAL_PATH);
    QFile reader(d.directory.filePath("reader.sh"));
    QVERIFY(reader.open(QIODevice::WriteOnly));
    reader.write("#!/bin/sh\n" + script + "\n");
    reader.close();
    QVERIFY(reader.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    ChmArchive::setReaderProgram(reader.fileName().toStdString());
    const QString before = d.log();
    askForHelp(d, "F1", ctl::OutputList);
    QCOMPARE(d.log().mid(before.size()),
             QString("HtmlHelp() failed to open help topic \"%1/tst-help-manual.chm\", the help "
                     "file %1/tst-help-manual.chm cannot be opened: not a compiled help file, or "
                     "it cannot be read\n")
                 .arg(d.directory.path()));
    HelpWindow* window = d.helpWindow();
    QCOMPARE(window != nullptr, windowOpens);
    if (window != nullptr) {
      QVERIFY(window->archive().damaged() && window->archive().readerPid() == 0);
      QVERIFY(window->view()->toPlainText().isEmpty());
    }
    QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);  // no child left, not even a zombie
    QVERIFY(d.dialog->isVisible());
  }

  void closingTheDialogClosesTheHelp() {
    DialogWithManual d(VANTIRO_MANUAL_PATH);
    askForHelp(d, "F1", ctl::Begin);
    QPointer<HelpWindow> window = d.helpWindow();
    QVERIFY(window);
    d.dialog->OnCancel();
    QVERIFY(window.isNull());
  }

 private:
  std::unique_ptr<TemporaryConfigHome> home_;
};

QTEST_MAIN(HelpWindowTest)
#include "tst_helpwindow.moc"
