// Takes the pictures of the main dialog that the manual, the README and the AppStream
// metainfo show: the real dialog, drawn off screen and saved as a PNG, after the steps a
// user would take: choose a mode, fill fields, pick options, run and stop. With
// --annotate it draws numbered callouts on the parts of the window, the numbers the
// manual's overview page lists.
//
//   cd "$(mktemp -d)" && XDG_CONFIG_HOME=$PWD/config QT_QPA_PLATFORM=offscreen
//       BUILD/packaging/tools/vantiro_screenshot --bin BUILD/bin --mode Train
//       --set "Number of Neurons=2" --set "Input File=nile.txt" --run 10 out.png
//   (one command line; scripts/manual-pictures.sh takes the manual's pictures)
//
// Options, applied in this order whatever their order on the line:
//   --bin DIR          where Language.dll and the engine libraries are (default: loaded
//                      by bare name, as the program does)
//   --mode NAME        Benchmark, Train or Generate
//   --set LABEL=VALUE  types VALUE into the field whose label is LABEL (without the colon)
//   --select CAPTION   clicks the radio button or check box with that caption
//   --run SECONDS      presses Begin; a Train run is stopped with Stop after SECONDS; the
//                      picture is taken once the run has ended
//   --annotate         numbered callouts
//   --forecast KIND S  opens the Forecast window (Ctrl+F) with the dialog's values, sets
//                      its Seconds to S, presses Check (KIND check) or Forecast (KIND
//                      ahead) and pictures that window once the run has ended; prints
//                      what the window shows and how long the run took
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gui/forecast/forecast_window.h"
#include "gui/rules/control_table.h"
#include "gui/gui_app.h"
#include "gui/window/main_dialog.h"

namespace {

struct Scene {
  QString picture;
  QString bin;
  QString mode;
  std::vector<std::pair<QString, QString>> fields;
  QStringList selections;
  int runSeconds = -1;
  bool annotate = false;
  QString forecastKind;  // check or ahead; empty: the main window is pictured
  QString forecastSeconds;
};

// The callouts: which control each number points at, in the order the overview page
// lists them, and where its disc sits so that it hides no value or caption: in the gap
// before or after the control, or inside it where it shows nothing.
enum class Place { Before, After, InsideLeft, InsideRight, InsideTopRight };
struct Callout {
  int id;
  Place place;
};
constexpr Callout kCallouts[] = {
    {ctl::ModeList, Place::Before},          {ctl::Memory, Place::After},
    {ctl::Begin, Place::InsideLeft},         {ctl::Stop, Place::InsideLeft},
    {ctl::Clear, Place::InsideLeft},         {ctl::Help, Place::Before},
    {ctl::Neurons, Place::InsideRight},      {ctl::LearningRate, Place::InsideRight},
    {ctl::TrainToTolerance, Place::InsideRight}, {ctl::OpenInput, Place::Before},
    {ctl::PrecisionLabel, Place::Before},    {ctl::InstructionSetLabel, Place::Before},
    {ctl::PriorityLabel, Place::Before},     {ctl::LoadConversion, Place::Before},
    {ctl::OutputList, Place::InsideTopRight}};
constexpr qreal kCalloutRadius = 9;

QPointF calloutCentre(const QWidget& control, const QWidget& window, Place place) {
  const QRect r(control.mapTo(&window, QPoint(0, 0)), control.size());
  const qreal middle = r.center().y() + 0.5;
  const qreal gap = kCalloutRadius + 2;
  switch (place) {
    case Place::Before:
      return {r.left() - gap, middle};
    case Place::After:
      return {r.right() + 1 + gap, middle};
    case Place::InsideLeft:
      return {r.left() + gap + 2, middle};
    case Place::InsideRight:
      return {r.right() - gap - 2, middle};
    case Place::InsideTopRight:
      return {r.right() - 40.0, r.top() + gap + 2};
  }
  return r.center();
}

bool parseArguments(const QStringList& arguments, Scene* scene) {
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (a == "--annotate") {
      scene->annotate = true;
    } else if (a == "--bin" && hasValue) {
      scene->bin = arguments[++i];
    } else if (a == "--mode" && hasValue) {
      scene->mode = arguments[++i];
    } else if (a == "--set" && hasValue && arguments[i + 1].contains('=')) {
      const QString field = arguments[++i];
      const qsizetype equals = field.indexOf('=');
      scene->fields.emplace_back(field.left(equals), field.mid(equals + 1));
    } else if (a == "--select" && hasValue) {
      scene->selections << arguments[++i];
    } else if (a == "--run" && hasValue) {
      bool ok = false;
      scene->runSeconds = arguments[++i].toInt(&ok);
      if (!ok || scene->runSeconds < 0) return false;
    } else if (a == "--forecast" && i + 2 < arguments.size()) {
      scene->forecastKind = arguments[++i];
      scene->forecastSeconds = arguments[++i];
      if (scene->forecastKind != "check" && scene->forecastKind != "ahead") return false;
    } else if (!a.startsWith("--") && scene->picture.isEmpty()) {
      scene->picture = a;
    } else {
      return false;
    }
  }
  return !scene->picture.isEmpty();
}

// The edit that the label with this caption (colon left off) names.
int fieldLabelled(const QString& label) {
  for (const ControlTemplate& c : mainDialogControls()) {
    if (c.kind != ControlKind::Edit || c.labelId == 0) continue;
    const ControlTemplate* l = findControlTemplate(c.labelId);
    if (l != nullptr && QString::fromLatin1(l->caption).remove(':') == label) return c.id;
  }
  return 0;
}

int buttonCaptioned(const QString& caption) {
  for (const ControlTemplate& c : mainDialogControls()) {
    if ((c.kind == ControlKind::Radio || c.kind == ControlKind::CheckBox) &&
        QString::fromLatin1(c.caption) == caption) {
      return c.id;
    }
  }
  return 0;
}

bool fail(const char* what, const QString& name) {
  std::fprintf(stderr, "vantiro_screenshot: %s: %s\n", what, qPrintable(name));
  return false;
}

// What a user does before the picture: every step through the dialog's own controls.
bool prepare(CMainDialog& dialog, const Scene& scene) {
  if (!scene.mode.isEmpty()) {
    auto* modes = dialog.controlAs<QComboBox>(ctl::ModeList);
    const int index = modes->findText(scene.mode);
    if (index < 0) return fail("no such mode", scene.mode);
    modes->setCurrentIndex(index);
  }
  for (const auto& [label, value] : scene.fields) {
    const int id = fieldLabelled(label);
    if (id == 0) return fail("no field labelled", label);
    auto* edit = dialog.controlAs<QLineEdit>(id);
    edit->selectAll();
    edit->insert(value);  // as typed: the field's rules and change signals apply
    if (edit->text() != value) return fail("the field refused", label + "=" + value);
  }
  for (const QString& caption : scene.selections) {
    const int id = buttonCaptioned(caption);
    if (id == 0) return fail("no radio button or check box captioned", caption);
    auto* button = dialog.controlAs<QAbstractButton>(id);
    if (!button->isEnabled()) return fail("disabled", caption);
    button->click();
  }
  return true;
}

// Waits, handling events, until `done` or `seconds` have passed.
template <class Done>
bool waitFor(Done done, int seconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > seconds * 1000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
  }
  return true;
}

bool runAndStop(CMainDialog& dialog, int seconds) {
  dialog.controlAs<QAbstractButton>(ctl::Begin)->click();
  if (!dialog.runActive()) return fail("Begin started no run", QString());
  waitFor([&] { return !dialog.runActive(); }, seconds);
  auto* stop = dialog.controlAs<QAbstractButton>(ctl::Stop);
  if (stop->isEnabled()) stop->click();
  if (!waitFor([&] { return !dialog.runActive(); }, 60)) return fail("the run did not end", {});
  QApplication::processEvents();  // the last lines and the re-enabled controls
  return true;
}

// Ctrl+F, then Check or Forecast in the Forecast window; prints what it shows.
QWidget* runForecast(CMainDialog& dialog, const Scene& scene) {
  dialog.OnSysCommand(CMainDialog::kForecastCommand);
  auto* window = dialog.findChild<forecastwin::ForecastWindow*>();
  if (window == nullptr) return fail("no Forecast window", {}), nullptr;
  auto* seconds = static_cast<QLineEdit*>(window->field(forecastwin::Field::seconds));
  seconds->selectAll();
  seconds->insert(scene.forecastSeconds);
  QApplication::processEvents();
  QElapsedTimer clock;
  clock.start();
  (scene.forecastKind == "check" ? window->checkButton() : window->forecastButton())->click();
  if (!window->running()) return fail("the run did not start", window->message()), nullptr;
  if (!waitFor([&] { return !window->running(); }, 600)) return fail("the run did not end", {}), nullptr;
  const double elapsed = clock.elapsed() / 1000.0;
  // The charts lay out what they were given.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
  std::printf("from the click to the results shown: %.2f s\n", elapsed);
  std::printf("%s\n%s\n", qPrintable(window->progressText()), qPrintable(window->summaryText()));
  const QTableWidget* table = scene.forecastKind == "check" ? window->accuracyTable() : window->aheadTable();
  for (int r = 0; r < table->rowCount(); ++r) {
    QString line = table->verticalHeaderItem(r) ? table->verticalHeaderItem(r)->text() : QString();
    for (int c = 0; c < table->columnCount(); ++c) line += "  " + table->item(r, c)->text();
    std::printf("%s\n", qPrintable(line));
  }
  if (!window->message().isEmpty()) std::printf("message: %s\n", qPrintable(window->message()));
  return window;
}

// A numbered disc beside or inside each control, over the window's picture.
void drawCallouts(QPixmap& picture, const CMainDialog& dialog) {
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(12);
  painter.setFont(font);
  const qreal r = kCalloutRadius;
  int number = 1;
  for (const Callout& callout : kCallouts) {
    const QPointF centre = calloutCentre(*dialog.control(callout.id), dialog, callout.place);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor(0xc0, 0x1c, 0x28));
    painter.drawEllipse(centre, r, r);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                     QString::number(number++));
  }
}

QWidget* shownDialog() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) return widget;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  Scene scene;
  if (!parseArguments(QApplication::arguments(), &scene)) {
    std::fprintf(stderr,
                 "usage: vantiro_screenshot [--bin DIR] [--mode NAME] [--set LABEL=VALUE]... "
                 "[--select CAPTION]... [--run SECONDS] [--annotate] PICTURE.png\n");
    return 2;
  }
  DialogEnvironment environment;
  if (!scene.bin.isEmpty()) {
    environment.languageLibrary = (scene.bin + "/Language.dll").toStdString();
    environment.engineDirectory = scene.bin.toStdString();
  }
  bool saved = false;
  // Once the dialog is up and laid out, go through the scene, picture it and close it as a
  // user would.
  QTimer::singleShot(1000, &application, [&] {
    auto* dialog = dynamic_cast<CMainDialog*>(shownDialog());
    if (dialog == nullptr) return;
    if (!scene.forecastKind.isEmpty()) {
      QWidget* window = prepare(*dialog, scene) ? runForecast(*dialog, scene) : nullptr;
      if (window != nullptr) {
        saved = window->grab().save(scene.picture, "PNG");
        window->close();
      }
    } else if (prepare(*dialog, scene) &&
               (scene.runSeconds < 0 || runAndStop(*dialog, scene.runSeconds))) {
      QPixmap picture = dialog->grab();
      if (scene.annotate) drawCallouts(picture, *dialog);
      saved = picture.save(scene.picture, "PNG");
    }
    dialog->close();
  });
  CGuiApp app(environment);
  app.InitInstance();
  if (!saved) std::fprintf(stderr, "vantiro_screenshot: no picture was taken\n");
  return saved ? 0 : 1;
}
