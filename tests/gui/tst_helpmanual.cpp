// The compiled user manual: every page the window's help asks for is in it,
// no page links to anything it lacks, and a help request that cannot be
// shown says why.
#include <sys/stat.h>

#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <regex>
#include <string>

#include "gui/help/chm_archive.h"
#include "gui/help/help_contents.h"
#include "gui/help/help_index.h"
#include "gui/help/help_window.h"
#include "gui/help/html_help.h"
#include "gui/rules/help_topics.h"

namespace {

std::unique_ptr<ChmArchive> openManual(const char* path = VANTIRO_MANUAL_PATH) {
  ChmArchive::setReaderProgram(VANTIRO_CHM_READER);
  std::string error;
  auto archive = ChmArchive::open(path, &error);
  if (!archive) qWarning("%s: %s", path, error.c_str());
  return archive;
}

std::string percentDecoded(const std::string& text) {
  return QByteArray::fromPercentEncoding(QByteArray::fromStdString(text)).toStdString();
}

// The archive path a link on page `from` leads to, "" for a link within the
// page, or the link itself prefixed with '!' when it leaves the manual.
std::string linkTarget(const std::string& from, const std::string& link) {
  if (link.empty() || link[0] == '#') return {};
  if (std::regex_search(link, std::regex("^[A-Za-z][A-Za-z0-9+.-]*:"))) return "!" + link;
  std::string path = percentDecoded(link.substr(0, link.find('#')));
  std::string base = from.substr(0, from.rfind('/') + 1);
  while (path.rfind("../", 0) == 0) {
    path.erase(0, 3);
    if (base.size() > 1) base.erase(base.rfind('/', base.size() - 2) + 1);
  }
  return path[0] == '/' ? path : base + path;
}

}  // namespace

class HelpManualTest : public QObject {
  Q_OBJECT

 private slots:
  void everyTopicIsInTheManual_data() {
    QTest::addColumn<QString>("topic");
    for (std::string_view topic : allHelpTopics())
      QTest::newRow(std::string(topic).c_str()) << QString::fromUtf8(topic.data(), topic.size());
  }
  void everyTopicIsInTheManual() {
    QFETCH(QString, topic);
    auto manual = openManual();
    QVERIFY(manual);
    const std::string path = archivePathOfTopic(topic.toStdString());
    QVERIFY2(manual->contains(path), path.c_str());
    const auto page = manual->read(path);
    QVERIFY(page);
    // A page, not an empty file: it has a heading.
    QVERIFY2(page->find("<h1>") != std::string::npos, path.c_str());
  }

  void theManualOpensAtTheOverview() {
    auto manual = openManual();
    QVERIFY(manual);
    QCOMPARE(manual->defaultTopic(), "/" + std::string(kDefaultHelpPage));
    QVERIFY(manual->contains(manual->contentsFile()));
    QCOMPARE(manual->title(), std::string("Vantiro User Manual"));
  }

  void noLinkLeavesTheManual() {
    auto manual = openManual();
    QVERIFY(manual);
    QStringList broken;
    int pages = 0;
    const std::regex attribute("(?:href|src)\\s*=\\s*\"([^\"]*)\"", std::regex::icase);
    for (const std::string& file : manual->files()) {
      if (file.size() < 5 || file.compare(file.size() - 5, 5, ".html") != 0) continue;
      ++pages;
      const std::string page = manual->read(file).value_or("");
      for (std::sregex_iterator it(page.begin(), page.end(), attribute), end; it != end; ++it) {
        const std::string target = linkTarget(file, (*it)[1].str());
        if (!target.empty() && (target[0] == '!' || !manual->contains(target)))
          broken << QString::fromStdString(file + " -> " + (*it)[1].str());
      }
    }
    // The contents lead to pages in the manual too.
    std::function<void(const std::vector<HelpContentsEntry>&)> check =
        [&](const std::vector<HelpContentsEntry>& entries) {
          for (const HelpContentsEntry& e : entries) {
            if (e.local.empty() || !manual->contains(archivePathOfTopic(e.local)))
              broken << QString::fromStdString("contents: " + e.name + " -> " + e.local);
            check(e.children);
          }
        };
    const auto contents = parseHelpContents(manual->read(manual->contentsFile()).value_or(""));
    QVERIFY(!contents.empty());
    check(contents);
    // So do the keywords of the index, which the manual carries.
    const std::string indexFile = findIndexFile(manual->files(), manual->contentsFile());
    QCOMPARE(indexFile, std::string("/VantiroUserManual.hhk"));
    const auto index = parseHelpContents(manual->read(indexFile).value_or(""));
    QVERIFY(index.size() > 30);
    std::function<void(const std::vector<HelpContentsEntry>&)> checkIndex =
        [&](const std::vector<HelpContentsEntry>& entries) {
          for (const HelpContentsEntry& e : entries) {
            if (e.topics.empty()) broken << QString::fromStdString("index: " + e.name);
            for (const HelpContentsTopic& t : e.topics)
              if (!manual->contains(archivePathOfTopic(t.local)))
                broken << QString::fromStdString("index: " + e.name + " -> " + t.local);
            checkIndex(e.children);
          }
        };
    checkIndex(index);
    QCOMPARE(broken, QStringList());
    QVERIFY(pages > static_cast<int>(allHelpTopics().size()));
  }

  // Contents from a manual are bounded whatever the file nests or repeats:
  // levels beyond the deepest kept add to it, entries beyond the cap are dropped.
  void contentsAreBounded_data() {
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("perLevel");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("entries");
    QTest::newRow("3 levels") << 3 << 2 << 3 << 6;
    QTest::newRow("64 levels, all kept") << 64 << 1 << 64 << 64;
    QTest::newRow("30,000 levels") << 30000 << 1 << 64 << 10000;
    QTest::newRow("one level of 20,000") << 1 << 20000 << 1 << 10000;
  }
  void contentsAreBounded() {
    QFETCH(int, levels);
    QFETCH(int, perLevel);
    QFETCH(int, depth);
    QFETCH(int, entries);
    std::string sitemap;
    const std::string item =
        R"(<LI><OBJECT type="text/sitemap"><param name="Name" value="e"></OBJECT>)";
    for (int level = 0; level < levels; ++level) {
      sitemap += "<UL>";
      for (int i = 0; i < perLevel; ++i) sitemap += item;
    }
    for (int level = 0; level < levels; ++level) sitemap += "</UL>";
    const std::vector<HelpContentsEntry> tree = parseHelpContents(sitemap);
    int deepest = 0;
    int count = 0;
    std::vector<std::pair<const std::vector<HelpContentsEntry>*, int>> pending = {{&tree, 1}};
    while (!pending.empty()) {
      const auto [list, level] = pending.back();
      pending.pop_back();
      for (const HelpContentsEntry& entry : *list) {
        ++count;
        deepest = std::max(deepest, level);
        pending.push_back({&entry.children, level + 1});
      }
    }
    QCOMPARE(deepest, depth);
    QCOMPARE(count, entries);
  }

  void archivesThatCannotBeOpened_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");
    QTest::newRow("text file") << "text"
                               << "not a compiled help file, or it cannot be read";
    QTest::newRow("empty file") << "empty"
                                << "not a compiled help file, or it cannot be read";
    QTest::newRow("directory") << "directory"
                               << "not a regular file";
    QTest::newRow("FIFO") << "fifo"
                          << "not a regular file";
  }
  void archivesThatCannotBeOpened() {
    QFETCH(QString, kind);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath("manual.chm");
    if (kind == "text" || kind == "empty") {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      if (kind == "text") file.write("ITSF but not really a help file\n");
    }
    if (kind == "directory") QVERIFY(QDir().mkpath(path));
    if (kind == "fifo") QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    std::string why;
    QVERIFY(!ChmArchive::open(path.toStdString(), &why));
    QCOMPARE(QString::fromStdString(why), error);
  }

  // What displayToc returns and leaves for getLastError.
  void displayTocOutcomes_data() {
    QTest::addColumn<QString>("request");  // %1: the manual, %2: the one-page manual
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("topic") << "%1::/The Stop Button.html" << true << "/The Stop Button.html" << 0
                           << "";
    QTest::newRow("no topic: the default page")
        << "%1" << true << "/Vantiro Overview.html" << 0 << "";
    QTest::newRow("missing topic")
        << "%2::/Train Parameters - Number of Neurons.html" << false << ""
        << HtmlHelp::kTopicNotFound
        << "the help file has no page Train Parameters - Number of Neurons.html";
    QTest::newRow("missing file") << "/no/such/manual.chm::/a.html" << false << ""
                                  << HtmlHelp::kFileNotFound
                                  << "the help file /no/such/manual.chm cannot be opened: No such "
                                     "file or directory";
    QTest::newRow("no file named")
        << "::/a.html" << false << "" << HtmlHelp::kFileNotFound << "no help file was named";
  }
  void displayTocOutcomes() {
    QFETCH(QString, request);
    QFETCH(bool, opens);
    QFETCH(QString, page);
    QFETCH(int, code);
    QFETCH(QString, description);
    QWidget owner;
    HtmlHelp help;
    const std::uint32_t cookie = help.initialize();
    QVERIFY(cookie != 0);
    // A failure before leaves nothing behind once a request succeeds, and the
    // other way round.
    help.displayToc(&owner, opens ? "/no/such.chm" : VANTIRO_MANUAL_PATH);
    const QString text = QString(request)
                             .replace("%1", VANTIRO_MANUAL_PATH)
                             .replace("%2", VANTIRO_ONE_PAGE_MANUAL_PATH);
    QWidget* window = help.displayToc(&owner, text.toStdString());
    QCOMPARE(window != nullptr, opens);
    HhLastError error;
    QVERIFY(help.getLastError(&error));
    QCOMPARE(error.hr, code);
    QCOMPARE(QString::fromStdString(error.description), description);
    if (opens) {
      QVERIFY(window->isVisible());
      QCOMPARE(window->parentWidget(), &owner);
      QCOMPARE(QString::fromStdString(static_cast<HelpWindow*>(window)->currentTopic()), page);
    }
    HhLastError wrongSize;
    wrongSize.cbStruct = 8;
    QVERIFY(!help.getLastError(&wrongSize));
    help.uninitialize(cookie);
    QVERIFY(help.windows().empty());
  }

  void oneWindowPerManual() {
    QWidget owner;
    HtmlHelp help;
    const std::uint32_t cookie = help.initialize();
    const std::string manual = VANTIRO_MANUAL_PATH;
    QWidget* first = help.displayToc(&owner, manual + "::/The Begin Button.html");
    QWidget* second = help.displayToc(&owner, manual + "::/The Clear Button.html");
    QVERIFY(first != nullptr);
    QCOMPARE(second, first);
    QCOMPARE(help.windows().size(), std::size_t{1});
    help.uninitialize(cookie + 1);  // not its cookie: nothing happens
    QCOMPARE(help.windows().size(), std::size_t{1});
  }
};

QTEST_MAIN(HelpManualTest)
#include "tst_helpmanual.moc"
