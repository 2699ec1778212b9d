// Which manual page each control of the window opens, by mode; the reading
// of a manual's contents and index files, finding a typed keyword, the
// full-text search, and where the help window is placed.
#include <QtTest>
#include <fstream>
#include <optional>
#include <set>
#include <utility>
#include <string>

#include "gui/help/chm_archive.h"
#include "gui/help/help_contents.h"
#include "gui/help/help_index.h"
#include "gui/help/help_placement.h"
#include "gui/help/help_request.h"
#include "gui/help/help_search.h"
#include "gui/rules/control_table.h"
#include "gui/rules/help_topics.h"
#include "gui/rules/mode_rules.h"

namespace {

constexpr int kNoMode = -1;
constexpr int kModes[] = {kModeBenchmark, kModeTrain, kModeGenerate};
constexpr std::string_view kTopicPrefix = "::/";

// Controls that open the manual at its default page.
const int kWithoutTopic[] = {ctl::OutputList, ctl::Help, ctl::OptionsGroup, ctl::ParameterGroup};

// The pages the manual is compiled from: the [FILES] section of its project.
std::set<std::string> manualPages() {
  std::ifstream project(VANTIRO_MANUAL_PROJECT);
  std::set<std::string> pages;
  bool inFiles = false;
  for (std::string line; std::getline(project, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inFiles = line == "[FILES]";
    } else if (inFiles && line.size() > 5 && line.ends_with(".html")) {
      pages.insert(line);
    }
  }
  return pages;
}

std::string pageOf(std::string_view topic) {
  return std::string(topic.substr(topic.starts_with(kTopicPrefix) ? kTopicPrefix.size() : 0));
}

// "Generate" and "Parameters - Output File.html" for a page of one mode's
// ("Generate Parameters - Output File.html"); none for the other pages.
std::optional<std::pair<std::string, std::string>> modeAndRest(const std::string& page) {
  for (const char* mode : kModeNames) {
    const std::string head = std::string(mode) + " ";
    if (page.starts_with(head) && (page.find(" Parameters - ") != std::string::npos ||
                                   page.ends_with(" Mode Overview.html")))
      return std::make_pair(std::string(mode), page.substr(head.size()));
  }
  return std::nullopt;
}

QString where(int id, int mode) { return QString("control %1, mode %2").arg(id).arg(mode); }

}  // namespace

class HelpTopicsTest : public QObject {
  Q_OBJECT

 private slots:
  // A control added to the window without a topic would silently open the
  // default page.
  void everyControlHasATopicInEveryModeOrIsKnownNotTo() {
    std::set<int> without(std::begin(kWithoutTopic), std::end(kWithoutTopic));
    for (const ControlTemplate& t : mainDialogControls()) {
      for (int mode : {kModeBenchmark, kModeTrain, kModeGenerate, kNoMode})
        QVERIFY2(helpTopic(t.id, mode).has_value() != (without.count(t.id) == 1),
                 qPrintable(where(t.id, mode)));
    }
    QVERIFY(!helpTopic(4711, kModeTrain).has_value());
  }

  // Every topic names a page the manual is made of, is listed once, and is
  // what some control opens in some mode.
  void everyTopicIsAPageOfTheManual() {
    const std::set<std::string> pages = manualPages();
    QVERIFY2(pages.count(std::string(kDefaultHelpPage)) == 1, VANTIRO_MANUAL_PROJECT);
    std::set<std::string> listed;
    for (std::string_view topic : allHelpTopics()) {
      const std::string text(topic);
      QVERIFY2(topic.starts_with(kTopicPrefix), text.c_str());
      QVERIFY2(pages.count(pageOf(topic)) == 1, text.c_str());
      QVERIFY2(listed.insert(text).second, text.c_str());
    }
    std::set<std::string> opened;
    for (const ControlTemplate& t : mainDialogControls()) {
      for (int mode : {kModeBenchmark, kModeTrain, kModeGenerate, kNoMode}) {
        if (const auto topic = helpTopic(t.id, mode)) opened.insert(std::string(*topic));
      }
    }
    QCOMPARE(opened, listed);
  }

  // In a mode, a control opens that mode's page wherever the manual has one,
  // and another mode's only where it has none (Benchmark has no Input File
  // page, Generate no Learning Rate page).
  void aModeOpensItsOwnPageWhereTheManualHasOne() {
    const std::set<std::string> pages = manualPages();
    int ownPages = 0;
    for (const ControlTemplate& t : mainDialogControls()) {
      for (int mode : kModes) {
        const auto topic = helpTopic(t.id, mode);
        if (!topic) continue;
        const auto split = modeAndRest(pageOf(*topic));
        if (!split) continue;
        const std::string own = std::string(kModeNames[mode]) + " " + split->second;
        if (split->first == kModeNames[mode]) {
          ++ownPages;
        } else {
          QVERIFY2(pages.count(own) == 0,
                   qPrintable(where(t.id, mode) + " opens " + pageOf(*topic).c_str() +
                              " though the manual has " + own.c_str()));
        }
      }
    }
    QVERIFY(ownPages > 0);
  }

  // With no mode selected (or one the list does not have) a control opens
  // what it opens in Train mode, or the default page.
  void withoutAModeTheTrainPageOrTheDefault() {
    const std::string fallback = std::string(kTopicPrefix) + std::string(kDefaultHelpPage);
    for (const ControlTemplate& t : mainDialogControls()) {
      for (int mode : {kNoMode, 3}) {
        const auto topic = helpTopic(t.id, mode);
        if (!topic) continue;
        QVERIFY2(*topic == helpTopic(t.id, kModeTrain) || *topic == fallback,
                 qPrintable(where(t.id, mode)));
      }
    }
    QCOMPARE(helpTopic(ctl::Neurons, 3), helpTopic(ctl::Neurons, kModeTrain));
  }

  void archivePathOfTopic_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("path");
    QTest::newRow("help request") << "::/The Stop Button.html"
                                  << "/The Stop Button.html";
    QTest::newRow("rooted") << "/a b.html"
                            << "/a b.html";
    QTest::newRow("bare") << "a b.html"
                          << "/a b.html";
    QTest::newRow("fragment") << "::/Messages.html#states"
                              << "/Messages.html";
    QTest::newRow("subfolder") << "images/x.png"
                               << "/images/x.png";
  }
  void archivePathOfTopic() {
    QFETCH(QString, topic);
    QFETCH(QString, path);
    QCOMPARE(QString::fromStdString(::archivePathOfTopic(topic.toStdString())), path);
  }

  // A request cut into the manual and the topic: a "::" in a directory's name
  // (the working directory's, say) stays in the manual's path.
  void splitHelpRequest_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("manual");
    QTest::addColumn<QString>("topic");
    QTest::newRow("topic") << "/d/M.chm::/The Stop Button.html"
                           << "/d/M.chm"
                           << "::/The Stop Button.html";
    QTest::newRow("manual alone") << "/d/M.chm"
                                  << "/d/M.chm"
                                  << "";
    QTest::newRow(":: in the directory, with a topic") << "/w/a::b/M.chm::/Train Mode Overview.html"
                                                       << "/w/a::b/M.chm"
                                                       << "::/Train Mode Overview.html";
    QTest::newRow(":: in the directory, manual alone") << "/w/a::b/M.chm"
                                                       << "/w/a::b/M.chm"
                                                       << "";
    QTest::newRow("directory named like a request, with a topic") << "/w/x.chm::/M.chm::/a.html"
                                                                  << "/w/x.chm::/M.chm"
                                                                  << "::/a.html";
    QTest::newRow("directory named like a request, manual alone") << "/w/x.chm::/M.chm"
                                                                  << "/w/x.chm::/M.chm"
                                                                  << "";
    QTest::newRow("extension in capitals") << "/d/M.CHM::/a.html"
                                           << "/d/M.CHM"
                                           << "::/a.html";
    QTest::newRow("no manual named") << "::/a.html"
                                     << ""
                                     << "::/a.html";
    QTest::newRow("another extension") << "/d/M.txt::/a.html"
                                       << "/d/M.txt"
                                       << "::/a.html";
  }
  void splitHelpRequest() {
    QFETCH(QString, request);
    QFETCH(QString, manual);
    QFETCH(QString, topic);
    const HelpRequest split = ::splitHelpRequest(request.toStdString());
    QCOMPARE(QString::fromStdString(split.manualPath), manual);
    QCOMPARE(QString::fromStdString(split.topic), topic);
  }

  // The contents as "name=page" lines, nesting shown by leading dots.
  void contentsAreRead_data() {
    QTest::addColumn<QString>("sitemap");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("nested lists") << R"(<UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Train"><param name="Local" value="t.html"></OBJECT>
<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Rate"><param name="Local" value="r.html"></OBJECT>
<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Deep"><param name="Local" value="d.html"></OBJECT></UL>
</UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Generate"><param name="Local" value="g.html"></OBJECT>
</UL>)" << QStringList{"Train=t.html", ".Rate=r.html", "..Deep=d.html", "Generate=g.html"};
    QTest::newRow("site properties are not an entry")
        << R"(<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>
<ul><li><object type="text/sitemap"><param name="name" value="A"><param name="local" value="a.html"></object></ul>)"
        << QStringList{"A=a.html"};
    QTest::newRow("entities, single quotes, unquoted values, heading without page")
        << R"(<UL><LI><OBJECT><param name='Name' value='Q &amp; A'><param name=Local value=q.html></OBJECT>
<LI><OBJECT><PARAM NAME="Name" VALUE="Heading"></OBJECT></UL>)"
        << QStringList{"Q & A=q.html", "Heading="};
    QTest::newRow("lists left open")
        << R"(<UL><LI><OBJECT><param name="Name" value="A"></OBJECT><UL>
<LI><OBJECT><param name="Name" value="B"></OBJECT>)"
        << QStringList{"A=", ".B="};
    QTest::newRow("cut off inside a tag")
        << R"(<UL><LI><OBJECT><param name="Name" value="A"></OBJECT><LI><OBJ)" << QStringList{"A="};
    // An index keyword that leads to two pages names each after its own Name.
    QTest::newRow("index keyword with two pages")
        << R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Input File">
<param name="Name" value="In Train"><param name="Local" value="t.html">
<param name="Name" value="In Generate"><param name="Local" value="g.html"></OBJECT>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Stop"><param name="Local" value="s.html"></OBJECT></UL>)"
        << QStringList{"Input File=t.html [In Train=t.html] [In Generate=g.html]", "Stop=s.html"};
    QTest::newRow("an empty Local names no page")
        << R"(<UL><LI><OBJECT><param name="Name" value="A"><param name="Local" value="">
<param name="Local" value="b.html"></OBJECT></UL>)"
        << QStringList{"A=b.html"};
    QTest::newRow("index sub-keywords")
        << R"(<UL><LI><OBJECT><param name="Name" value="Files"></OBJECT>
<UL><LI><OBJECT><param name="Name" value="input"><param name="Local" value="i.html"></OBJECT></UL></UL>)"
        << QStringList{"Files=", ".input=i.html"};
  }
  void contentsAreRead() {
    QFETCH(QString, sitemap);
    QFETCH(QStringList, entries);
    QStringList lines;
    std::function<void(const std::vector<HelpContentsEntry>&, int)> flatten =
        [&](const std::vector<HelpContentsEntry>& list, int depth) {
          for (const HelpContentsEntry& e : list) {
            QString line = QString(depth, '.') + QString::fromStdString(e.name + "=" + e.local);
            if (e.topics.size() > 1) {
              for (const HelpContentsTopic& t : e.topics)
                line += QString::fromStdString(" [" + t.title + "=" + t.local + "]");
            }
            lines << line;
            flatten(e.children, depth + 1);
          }
        };
    flatten(parseHelpContents(sitemap.toStdString()), 0);
    QCOMPARE(lines, entries);
  }

  void theIndexFileIsFound_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("index");
    QTest::newRow("beside the contents")
        << QStringList{"/a.html", "/Manual.hhc", "/Manual.hhk"} << "/Manual.hhc"
        << "/Manual.hhk";
    QTest::newRow("the one named like the contents")
        << QStringList{"/Other.hhk", "/Manual.HHK"} << "/Manual.hhc"
        << "/Manual.HHK";
    QTest::newRow("no contents: the first") << QStringList{"/b.hhk", "/a.hhk"} << ""
                                            << "/b.hhk";
    QTest::newRow("none") << QStringList{"/a.html", "/Manual.hhc", "/hhk.html"} << "/Manual.hhc"
                          << "";
  }
  void theIndexFileIsFound() {
    QFETCH(QStringList, files);
    QFETCH(QString, contents);
    QFETCH(QString, index);
    std::vector<std::string> names;
    for (const QString& f : files) names.push_back(f.toStdString());
    QCOMPARE(QString::fromStdString(findIndexFile(names, contents.toStdString())), index);
  }

  void typingFindsAKeyword_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");
    QTest::newRow("start of a keyword") << "inp" << 2;
    QTest::newRow("case ignored") << "INPUT W" << 3;
    QTest::newRow("blanks around") << "  stop " << 5;
    QTest::newRow("inside a keyword when none begins with it") << "window" << 3;
    QTest::newRow("beginning wins over inside") << "s" << 4;
    QTest::newRow("nothing matches") << "zz" << -1;
    QTest::newRow("nothing typed") << "" << -1;
  }
  void typingFindsAKeyword() {
    QFETCH(QString, typed);
    QFETCH(int, row);
    const QStringList keywords = {"Begin",  "Clear", "Input File", "Input Window Size",
                                  "Single", "Stop"};
    QCOMPARE(matchingKeyword(keywords, typed), row);
  }

  // Pages and queries: the titles found, most occurrences first.
  void searchFindsThePagesWithEveryWord_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("one word, ranked by occurrences")
        << "rate" << QStringList{"Learning Rate", "Tolerance Unit"};
    QTest::newRow("a title that holds the word first")
        << "tolerance" << QStringList{"Tolerance Unit", "Learning Rate"};
    QTest::newRow("every word must be there") << "rate unit" << QStringList{"Tolerance Unit"};
    QTest::newRow("case and punctuation ignored")
        << "  LEARNING, rate! " << QStringList{"Learning Rate"};
    QTest::newRow("whole words only") << "rat" << QStringList{};
    QTest::newRow("a star matches the words it begins")
        << "rat*" << QStringList{"Learning Rate", "Tolerance Unit"};
    QTest::newRow("markup is not text") << "class" << QStringList{};
    QTest::newRow("scripts and styles are not text") << "secret" << QStringList{};
    QTest::newRow("references decoded") << "data" << QStringList{"Tolerance Unit"};
    QTest::newRow("a reference is not a word") << "amp" << QStringList{};
    QTest::newRow("words split at tags") << "onetwo" << QStringList{};
    QTest::newRow("a lone < is text") << "five" << QStringList{"untitled page"};
    QTest::newRow("the title counts") << "untitled" << QStringList{"untitled page"};
    QTest::newRow("no words") << " ,; " << QStringList{};
  }
  void searchFindsThePagesWithEveryWord() {
    QFETCH(QString, query);
    QFETCH(QStringList, titles);
    HelpSearchIndex index;
    index.addPage("/rate.html",
                  "<html><head><title>Learning Rate</title><style>p.secret{}</style></head>"
                  "<body><h1 class=\"x\">Learning Rate</h1><p>The rate, the RATE.</p>"
                  "<p>Tolerance, tolerance, tolerance.</p></body>",
                  "rate");
    index.addPage("/tolerance.html",
                  "<title>Tolerance Unit</title><p>A tolerance is not a rate. R&amp;D &#68;ata "
                  "<script>secret()</script>rated<!-- rate --></p>",
                  "tolerance");
    index.addPage("/untitled.html", "<td>one</td><td>two</td> x < 5, or five", "untitled page");
    QStringList found;
    for (const HelpSearchHit& hit : index.search(query.toStdString()))
      found << QString::fromStdString(hit.title);
    QCOMPARE(found, titles);
  }

  // The owner's frame is 1002 x 500 on a 1280 x 1024 screen unless the row
  // says otherwise; the help window wants 880 x 620 and at least 400 x 300.
  void theHelpWindowGoesBesideItsOwner_data() {
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("placed");
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("room on the right")
        << QRect(0, 100, 300, 400) << screen << QRect(300, 100, 880, 620);
    QTest::newRow("room on the left only")
        << QRect(980, 100, 300, 400) << screen << QRect(100, 100, 880, 620);
    QTest::newRow("room below, level with the owner's left edge")
        << QRect(100, 0, 1002, 300) << screen << QRect(100, 300, 880, 620);
    QTest::newRow("room below, moved left to stay on the screen")
        << QRect(600, 0, 600, 300) << screen << QRect(400, 300, 880, 620);
    QTest::newRow("room above only")
        << QRect(100, 700, 1002, 324) << screen << QRect(100, 80, 880, 620);
    QTest::newRow("beside, moved up to stay on the screen")
        << QRect(0, 800, 300, 200) << screen << QRect(300, 404, 880, 620);
    QTest::newRow("no room for it whole: the largest side, shrunk")
        << QRect(100, 0, 1002, 500) << screen << QRect(100, 500, 880, 524);
    QTest::newRow("centred owner, no side holds the smallest: covers the least")
        << QRect(139, 262, 1002, 500) << screen << QRect(139, 404, 880, 620);
    QTest::newRow("a second screen to the right")
        << QRect(1380, 50, 300, 300) << QRect(1280, 0, 1920, 1080) << QRect(1680, 50, 880, 620);
    QTest::newRow("a screen smaller than the window")
        << QRect(0, 0, 100, 100) << QRect(0, 0, 800, 600) << QRect(100, 0, 700, 600);
    QTest::newRow("a free area that starts below a panel")
        << QRect(0, 30, 300, 400) << QRect(0, 30, 1280, 994) << QRect(300, 30, 880, 620);
  }
  void theHelpWindowGoesBesideItsOwner() {
    QFETCH(QRect, owner);
    QFETCH(QRect, screen);
    QFETCH(QRect, placed);
    const QRect result = placeHelpWindow(owner, screen, QSize(880, 620), QSize(400, 300));
    QCOMPARE(result, placed);
    QVERIFY(screen.contains(result));
  }
};

QTEST_MAIN(HelpTopicsTest)
#include "tst_helptopics.moc"
