// Which manual page each control of the window opens, by mode; the reading
// of a manual's contents and index files, finding a typed keyword, the
// full-text search, and where the help window is placed.
#include <QtTest>
#include <set>
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

// The rows of the help tables as the manual's page names give them.
struct ExpectedRow {
  std::vector<int> ids;
  const char* benchmark;
  const char* train;
  const char* generate;
  const char* unselected;
};

const ExpectedRow kExpected[] = {
    {{1003, 1010},
     "::/Benchmark Mode Overview.html",
     "::/Train Mode Overview.html",
     "::/Generate Mode Overview.html",
     "::/Vantiro Overview.html"},
    {{1004, 1009},
     "::/Benchmark Parameters - Number of Neurons.html",
     "::/Train Parameters - Number of Neurons.html",
     "::/Generate Parameters - Number of Neurons.html",
     "::/Train Parameters - Number of Neurons.html"},
    {{1005, 1018},
     "::/Benchmark Parameters - Input Window Size.html",
     "::/Train Parameters - Input Window Size.html",
     "::/Generate Parameters - Input Window Size.html",
     "::/Train Parameters - Input Window Size.html"},
    {{1034, 1071, 1075},
     "::/Train Parameters - Input File.html",
     "::/Train Parameters - Input File.html",
     "::/Generate Parameters - Input File.html",
     "::/Train Parameters - Input File.html"},
    {{1035, 1073, 1077},
     "::/Train Parameters - Load State File.html",
     "::/Train Parameters - Load State File.html",
     "::/Generate Parameters - Load State File.html",
     "::/Train Parameters - Load State File.html"},
};

struct ExpectedFixed {
  std::vector<int> ids;
  const char* topic;
};

const ExpectedFixed kExpectedFixed[] = {
    {{1006, 1019}, "::/Train Parameters - Learning Rate.html"},
    {{1007, 1020}, "::/Train Parameters - Tolerance Unit.html"},
    {{1008, 1021}, "::/Train Parameters - Train to Tolerance.html"},
    {{1024, 1025, 1031}, "::/Vantiro Options - Precision.html"},
    {{1026}, "::/Vantiro Options - Load Conversion State.html"},
    {{1038}, "::/Vantiro Options - Save Conversion State.html"},
    {{1042, 1043, 1044, 1045}, "::/Vantiro Options - Instruction Set.html"},
    {{1046, 1047, 1048, 1049}, "::/Vantiro Options - Priority.html"},
    {{1032, 1072, 1076}, "::/Generate Parameters - Output File.html"},
    {{1033, 1082, 1083}, "::/Train Parameters - Save State File.html"},
    {{1040}, "::/The Begin Button.html"},
    {{1041}, "::/The Stop Button.html"},
    {{1050}, "::/The Clear Button.html"},
    {{1065, 1070}, "::/Benchmark Parameters - Benchmarking Data Points.html"},
    {{1069, 1074}, "::/Benchmark Parameters - Benchmarking Iterations.html"},
    {{1078, 1079}, "::/The Memory Required Display.html"},
    {{1080, 1081}, "::/Generate Parameters - Points to Generate.html"},
};

// Controls that open the manual at its default page.
const int kWithoutTopic[] = {ctl::OutputList, ctl::Help, ctl::OptionsGroup, ctl::ParameterGroup};

}  // namespace

class HelpTopicsTest : public QObject {
  Q_OBJECT

 private slots:
  void topicOfEveryControlAndMode_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("topic");  // empty: none
    const int modes[] = {kModeBenchmark, kModeTrain, kModeGenerate, kNoMode};
    for (const ExpectedRow& row : kExpected) {
      const char* topics[] = {row.benchmark, row.train, row.generate, row.unselected};
      for (int id : row.ids) {
        for (int i = 0; i < 4; ++i)
          QTest::addRow("%d in mode %d", id, modes[i]) << id << modes[i] << QString(topics[i]);
      }
    }
    for (const ExpectedFixed& row : kExpectedFixed) {
      for (int id : row.ids) {
        for (int mode : modes) QTest::addRow("%d in mode %d", id, mode) << id << mode << row.topic;
      }
    }
    for (int id : kWithoutTopic) {
      for (int mode : modes) QTest::addRow("%d in mode %d", id, mode) << id << mode << QString();
    }
    QTest::newRow("unknown id") << 4711 << kModeTrain << QString();
    QTest::newRow("mode index out of range")
        << ctl::Neurons << 3 << "::/Train Parameters - Number of Neurons.html";
  }
  void topicOfEveryControlAndMode() {
    QFETCH(int, id);
    QFETCH(int, mode);
    QFETCH(QString, topic);
    const auto found = helpTopic(id, mode);
    QCOMPARE(found.has_value(), !topic.isEmpty());
    if (found) QCOMPARE(QString::fromUtf8(found->data(), found->size()), topic);
  }

  // A control added to the window without a row in the help tables would
  // silently open the default page.
  void everyControlHasATopicOrIsKnownNotTo() {
    std::set<int> without(std::begin(kWithoutTopic), std::end(kWithoutTopic));
    for (const ControlTemplate& t : mainDialogControls()) {
      for (int mode : {kModeBenchmark, kModeTrain, kModeGenerate, kNoMode})
        QVERIFY2(helpTopic(t.id, mode).has_value() != (without.count(t.id) == 1),
                 qPrintable(QString("control %1, mode %2").arg(t.id).arg(mode)));
    }
  }

  void allTopicsAreListedOnce() {
    std::set<std::string> expected;
    for (const ExpectedRow& row : kExpected) {
      for (const char* topic : {row.benchmark, row.train, row.generate, row.unselected})
        expected.insert(topic);
    }
    for (const ExpectedFixed& row : kExpectedFixed) expected.insert(row.topic);
    std::set<std::string> listed;
    for (std::string_view topic : allHelpTopics()) {
      QVERIFY2(listed.insert(std::string(topic)).second, topic.data());
    }
    QCOMPARE(listed, expected);
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
