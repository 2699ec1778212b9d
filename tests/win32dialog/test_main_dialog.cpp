// The Windows dialog as a user meets it, driven through its own messages.
#include <windows.h>
// The platform's other headers need windows.h before them.
#include <commctrl.h>
#include <htmlhelp.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "common/catalog_message.h"
#include "common/log_text.h"
#include "common/message_ids.h"
#include "dialog_fixture.h"
#include "gui/rules/control_table.h"
#include "gui/rules/help_topics.h"
#include "gui/rules/mode_rules.h"
#include "gui/rules/tool_tips.h"

namespace {

using namespace ctl;

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

const char* classOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return "Static";
    case ControlKind::Edit:
      return "Edit";
    case ControlKind::DropDownList:
      return "ComboBox";
    case ControlKind::ListBox:
      return "ListBox";
    default:
      return "Button";
  }
}

}  // namespace

TEST_F(DialogTest, TheTemplateIsTheControlTableInTabOrder) {
  open();
  std::vector<int> order, expected;
  for (HWND c = ::GetWindow(hwnd(), GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
    order.push_back(::GetDlgCtrlID(c));
  for (const ControlTemplate& t : mainDialogControls()) expected.push_back(t.id);
  EXPECT_EQ(order, expected);
  for (const ControlTemplate& t : mainDialogControls()) {
    SCOPED_TRACE(t.id);
    // Place and size are converted apart, as the dialog manager does.
    RECT want{t.rect.x, t.rect.y, t.rect.width, t.rect.height};
    ::MapDialogRect(hwnd(), &want);
    RECT got;
    ::GetWindowRect(item(t.id), &got);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right - got.left, want.right);
    if (t.kind != ControlKind::DropDownList) {
      EXPECT_EQ(got.bottom - got.top, want.bottom);  // a closed list is as tall as its font needs
    }
    char className[32] = "";
    ::GetClassNameA(item(t.id), className, sizeof className);
    EXPECT_STRCASEEQ(className, classOf(t.kind));
    const LONG style = ::GetWindowLongA(item(t.id), GWL_STYLE);
    // The platform gives the selected radio button of a set the tab stop.
    if (t.kind != ControlKind::Radio) {
      EXPECT_EQ((style & WS_TABSTOP) != 0, (t.style & kTabStop) != 0);
    }
    EXPECT_EQ((style & ES_NUMBER) != 0 && t.kind == ControlKind::Edit,
              (t.style & kDigitsOnly) != 0);
    if (t.kind == ControlKind::PushButton) {
      EXPECT_EQ(style & BS_TYPEMASK, (t.style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    if (t.kind == ControlKind::Radio) {
      EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    }
    if (t.kind == ControlKind::IconButton) {
      EXPECT_TRUE(style & BS_ICON);
    }
    if (t.kind != ControlKind::Edit && t.kind != ControlKind::DropDownList) {
      EXPECT_EQ(text(t.id), t.caption);
    }
  }
  RECT client, want{0, 0, kMainDialogWidth, kMainDialogHeight};
  ::GetClientRect(hwnd(), &client);
  ::MapDialogRect(hwnd(), &want);
  EXPECT_EQ(client.right, want.right);
  EXPECT_EQ(client.bottom, want.bottom);
  char caption[32];
  ::GetWindowTextA(hwnd(), caption, sizeof caption);
  EXPECT_STREQ(caption, kMainDialogCaption);
  EXPECT_TRUE(::GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

// Which controls each mode enables, in Benchmark, Train and Generate.
struct EnablingRow {
  std::vector<int> ids;
  const char* inMode;
};

const EnablingRow kEnablingTable[] = {
    {{RateLabel, LearningRate, ToleranceLabel, ToleranceUnit, TargetLabel, TrainToTolerance},
     "DED"},
    {{PointsLabel, PointsToGenerate}, "DDE"},
    {{IterationsLabel, Iterations, DataPointsLabel, DataPoints}, "EDD"},
    {{InputFileLabel, InputFile, OpenInput, LoadStateLabel, LoadStateFile, OpenState}, "DEE"},
    {{OutputFileLabel, OutputFile, SaveOutput}, "DDE"},
    {{SaveStateLabel, SaveStateFile, SaveState}, "DED"},
    {{LoadConversion}, "DEE"},
    {{SaveConversion}, "DED"},
    {{ModeList, ModeLabel, Neurons, WindowSize, Begin, Clear, Help, OutputList, Memory, Single,
      Double, X87, Nnvec2, Sse, Idle, Normal, High},
     "EEE"},
    {{Stop}, "DDD"},
};

TEST_F(DialogTest, EachModeEnablesItsControlsAndNoSelectionLeavesThem) {
  open();
  click(LoadConversion);
  setText(LearningRate, "0.25");
  for (int mode : {kModeTrain, kModeGenerate, kModeBenchmark, kModeGenerate}) {
    selectMode(mode);
    for (const EnablingRow& row : kEnablingTable) {
      for (int id : row.ids)
        EXPECT_EQ(enabled(id), row.inMode[mode] == 'E') << id << " mode " << mode;
    }
  }
  selectMode(-1);
  for (const EnablingRow& row : kEnablingTable) {
    for (int id : row.ids) EXPECT_EQ(enabled(id), row.inMode[kModeGenerate] == 'E') << id;
  }
  EXPECT_TRUE(checked(LoadConversion));  // a mode change never touches a value
  EXPECT_EQ(text(LearningRate), "0.25");
}

// The precision rule on processors with and without SSE: Double takes x87
// alone; Single offers the vector builds the processor runs, the pair build
// always, and leaves x87 selected.
TEST_F(DialogTest, PrecisionDecidesTheInstructionSetsOffered) {
  for (std::uint32_t features : {0u, 2u}) {
    SCOPED_TRACE(features);
    cpuFeatures_ = features;
    open();
    EXPECT_EQ(enabled(Sse), features != 0);
    click(Nnvec2);
    click(Double);
    EXPECT_TRUE(checked(X87));
    EXPECT_FALSE(checked(Nnvec2));
    EXPECT_FALSE(enabled(Nnvec2));
    EXPECT_FALSE(enabled(Sse));
    for (int mode : {kModeTrain, kModeGenerate}) {
      selectMode(mode);
      EXPECT_FALSE(enabled(Nnvec2));
    }
    click(Single);
    EXPECT_TRUE(checked(X87));
    EXPECT_TRUE(enabled(X87));
    EXPECT_TRUE(enabled(Nnvec2));
    EXPECT_EQ(enabled(Sse), features != 0);
    dialog_.reset();
  }
}

struct MemoryRow {
  const char* neurons;
  const char* window;
  bool doublePrecision;
  const char* shown;
};

const MemoryRow kMemoryTable[] = {
    {"2", "384", false, "3,080 bytes"},
    {"2", "384", true, "6,160 bytes"},
    {"0", "384", false, "0 bytes"},
    {"5", "0", true, "40 bytes"},
    {"2", "24", false, "200 bytes"},
    {"4294967295", "4294967295", true, "147,573,952,555,316,674,560 bytes"},
};

TEST_F(DialogTest, MemoryRequiredFollowsTheSizesAndThePrecision) {
  open();
  for (const MemoryRow& row : kMemoryTable) {
    click(row.doublePrecision ? Double : Single);
    setText(Neurons, row.neurons);
    setText(WindowSize, row.window);
    EXPECT_EQ(text(Memory), row.shown) << row.neurons << " " << row.window;
  }
  EXPECT_TRUE(boxes_.empty());
}

// A field's text, what a read makes of it or the message it raises.
struct FieldRow {
  int mode;  // one that enables the field, so it can take the focus
  int id;
  const char* text;
  const char* message;  // null: the text passes
};

const std::string k255(255, 'a'), k256(256, 'b'), k300(300, 'c');

// A field's failing texts come before its last passing one.
const FieldRow kFieldTable[] = {
    {kModeBenchmark, Neurons, "", "Please enter a positive integer."},
    {kModeBenchmark, Neurons, " 12\t", nullptr},
    {kModeBenchmark, Neurons, "4294967296", nullptr},
    {kModeBenchmark, Iterations, "-1", "Please enter a positive integer."},
    {kModeBenchmark, DataPoints, "12a", "Please enter a positive integer."},
    {kModeTrain, LearningRate, "-0", "Please enter a number."},
    {kModeTrain, LearningRate, "1e-4", nullptr},
    {kModeTrain, ToleranceUnit, "0.0", nullptr},
    {kModeTrain, TrainToTolerance, "0,5", "Please enter a number."},
    {kModeTrain, InputFile, k255.c_str(), nullptr},
    {kModeGenerate, OutputFile, k256.c_str(), "Please enter no more than 255 characters."},
    {kModeTrain, SaveStateFile, k300.c_str(), nullptr},
};

TEST_F(DialogTest, FieldsReadByTheirRulesAndNameTheFieldThatFails) {
  open();
  const std::string program = AfxGetAppName();
  for (const FieldRow& row : kFieldTable) {
    SCOPED_TRACE(std::to_string(row.id) + " '" + row.text + "'");
    boxes_.clear();
    selectMode(row.mode);
    setText(row.id, row.text);
    if (row.id != Neurons) setText(WindowSize, "384");  // a size change reads every field
    if (row.message == nullptr) {
      EXPECT_TRUE(boxes_.empty());
    } else {
      ASSERT_EQ(boxes_.size(), 1u);
      EXPECT_EQ(boxes_[0],
                program + "|" + row.message + "|" + std::to_string(MB_OK | MB_ICONEXCLAMATION));
      EXPECT_EQ(::GetFocus(), item(row.id));
      DWORD start = 1, end = 0;
      ::SendMessageA(item(row.id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
      EXPECT_EQ(start, 0u);
      EXPECT_EQ(end, std::strlen(row.text));
      setText(row.id, "1");
    }
  }
  // What passed counts; a field that failed kept its last good value.
  EXPECT_EQ(dialog_->values().numberOfNeurons, 4294967295u);
  EXPECT_EQ(dialog_->values().learningRate, 0.0001);
  EXPECT_EQ(dialog_->values().toleranceUnit, 0.0);
  EXPECT_EQ(dialog_->values().inputFile, k255);
  EXPECT_EQ(dialog_->values().saveStateFile, k300);
}

TEST_F(DialogTest, SettingsStartFromTheDefaultsAndComeBackAsStored) {
  open();
  const std::pair<int, const char*> defaults[] = {{Neurons, "2"},
                                                  {WindowSize, "384"},
                                                  {PointsToGenerate, "10"},
                                                  {Iterations, "10000"},
                                                  {DataPoints, "500"},
                                                  {LearningRate, "0.0001"},
                                                  {ToleranceUnit, "1e-005"},
                                                  {TrainToTolerance, "0.01"}};
  for (const auto& [id, shown] : defaults) EXPECT_EQ(text(id), shown) << id;
  EXPECT_EQ(::SendMessageA(item(ModeList), CB_GETCURSEL, 0, 0), kModeBenchmark);
  for (int id : {Single, X87, Idle}) EXPECT_TRUE(checked(id));
  EXPECT_EQ(text(Memory), "3,080 bytes");
  EXPECT_NE(logText().find("RegOpenKeyEx() failed to open the key HKEY_CURRENT_USER\\Software\\"
                           "Brennix Software\\Vantiro, EC = 2\n"),
            std::string::npos);

  selectMode(kModeTrain);
  click(Double);
  click(High);
  click(SaveConversion);
  setText(LearningRate, "0.5");
  setText(Neurons, "0");
  const std::string longName = "C:\\" + std::string(300, 'x') + ".vns";
  setText(InputFile, "C:\\data\\series.txt");
  setText(LoadStateFile, longName);
  ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog_->hasEnded());
  EXPECT_TRUE(boxes_.empty());
  DWORD type = 0;
  const auto rate = storedValue("LearningRate", &type);
  ASSERT_TRUE(rate.has_value());
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  const double half = 0.5;
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ((*rate)[i],
              static_cast<unsigned char>(~reinterpret_cast<const unsigned char*>(&half)[i]));
  EXPECT_EQ(storedValue("Mode", &type)->at(0), 1);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(storedValue("InputFile", &type)->size(), 19u);  // with its NUL
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  dialog_.reset();
  open();
  EXPECT_EQ(::SendMessageA(item(ModeList), CB_GETCURSEL, 0, 0), kModeTrain);
  for (int id : {Double, X87, High, SaveConversion}) EXPECT_TRUE(checked(id)) << id;
  EXPECT_FALSE(checked(LoadConversion));
  EXPECT_EQ(text(LearningRate), "0.5");
  EXPECT_EQ(text(Neurons), "0");
  EXPECT_EQ(text(InputFile), "C:\\data\\series.txt");
  EXPECT_EQ(text(LoadStateFile), longName);  // shown in full

  // A stored Input File past the limit is shown whole; the first read refuses it.
  dialog_.reset();
  const std::string stored(300, 'y');
  storeValue("InputFile", REG_SZ, stored.c_str(), 301);
  boxes_.clear();
  open();
  EXPECT_EQ(text(InputFile), std::string(300, 'y'));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("|Please enter no more than 255 characters.|"), std::string::npos);

  // A mode the list lacks: no selection, stored back as Benchmark.
  dialog_.reset();
  const DWORD seven = 7;
  storeValue("Mode", REG_DWORD, &seven, sizeof seven);
  open();
  EXPECT_EQ(::SendMessageA(item(ModeList), CB_GETCURSEL, 0, 0), CB_ERR);
  ::SendMessageA(hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(storedValue("Mode")->at(0), 0);
}

// Begin's checks: the mode, the fields to fill in, the messages expected.
struct BeginRow {
  int mode;
  std::vector<std::pair<int, const char*>> fields;
  std::vector<unsigned> messages;
};

TEST_F(DialogTest, BeginListsEveryFailedCheckAndStartsNothing) {
  const BeginRow table[] = {
      {-1, {}, {16}},
      {kModeTrain,
       {{Neurons, "0"},
        {WindowSize, "0"},
        {LearningRate, "0"},
        {ToleranceUnit, "-1"},
        {TrainToTolerance, "0"},
        {InputFile, ""},
        {SaveStateFile, ""}},
       {17, 18, 20, 21, 22, 26, 27}},
      {kModeBenchmark, {{Iterations, "0"}, {DataPoints, "0"}}, {24, 25}},
      {kModeGenerate,
       {{PointsToGenerate, "0"}, {Neurons, "65536"}, {WindowSize, "65536"}},
       {19, 23, 26, 28, 29}},
  };
  for (const BeginRow& row : table) {
    open();  // the defaults, with nothing stored
    selectMode(row.mode);
    for (const auto& [id, value] : row.fields) setText(id, value);
    click(Begin);
    std::vector<std::string> expected;
    for (unsigned message : row.messages) expected.push_back(catalog(message, 4294967295u));
    if (row.mode >= 0) expected.push_back("");
    EXPECT_EQ(lines(), expected) << "mode " << row.mode;
    EXPECT_FALSE(dialog_->runActive());
    EXPECT_TRUE(enabled(Begin));
    dialog_.reset();
  }
}

TEST_F(DialogTest, ABenchmarkRunsOnTheWorkerAndGivesTheWindowBack) {
  beginOnTheStandIn(kModeBenchmark);
  EXPECT_TRUE(dialog_->runActive());
  for (int id : {Begin, Stop, ModeList, Neurons, Iterations, Single, X87, Idle, OpenInput})
    EXPECT_FALSE(enabled(id)) << id;
  for (int id : {Clear, Help, OutputList, Memory}) EXPECT_TRUE(enabled(id)) << id;
  ASSERT_TRUE(pumpUntil([&] { return !dialog_->runActive() && enabled(Begin); }));
  const std::vector<std::string> shown = lines();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].rfind("flags 0 H 2 W 384", 0), 0u);
  EXPECT_FALSE(contains(shown, "progress"));  // no progress in a Benchmark
  EXPECT_TRUE(contains(shown, "error first") && contains(shown, "error second"));
  EXPECT_EQ(shown.back(), "stand-in finished");
  for (int id : {ModeList, Iterations, Single, Nnvec2, Idle}) EXPECT_TRUE(enabled(id)) << id;
  EXPECT_FALSE(enabled(Stop));
  EXPECT_FALSE(enabled(InputFile));
  EXPECT_NE(logText().find("error first\nerror second\n"), std::string::npos);
}

TEST_F(DialogTest, TrainStopsWhenAskedAndTheRuleAppliesAgainAfterwards) {
  beginOnTheStandIn(kModeTrain);
  EXPECT_TRUE(enabled(Stop));
  ASSERT_TRUE(pumpUntil([&] { return contains(lines(), "progress"); }));
  click(Stop);
  EXPECT_FALSE(enabled(Stop));
  EXPECT_EQ(lines().back(), catalog(msg::kStopRequested));
  ASSERT_TRUE(pumpUntil([&] { return !dialog_->runActive() && enabled(Begin); }));
  EXPECT_EQ(lines().back(), "stand-in stopped");
  for (int id : {LearningRate, SaveStateFile, SaveConversion, Nnvec2})
    EXPECT_TRUE(enabled(id)) << id;
  EXPECT_FALSE(enabled(Stop));
  // Double was not chosen; with Double the run ends with x87 alone offered.
  click(Double);
  click(Begin);
  ASSERT_TRUE(pumpUntil([&] { return !dialog_->runActive() && enabled(Begin); }));
  const std::vector<std::string> shown = lines();
  EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const std::string& line) {
    return line.find("nndouble.dll") != std::string::npos;  // the stand-in has no Pet
  }));
  EXPECT_FALSE(enabled(Nnvec2));
  EXPECT_FALSE(enabled(Sse));
}

TEST_F(DialogTest, ACloseDuringTrainingWaitsForTheRunThenStores) {
  beginOnTheStandIn(kModeTrain);
  ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  ::SendMessageA(hwnd(), WM_COMMAND, IDCANCEL, 0);  // Escape
  EXPECT_FALSE(dialog_->hasEnded());
  EXPECT_FALSE(enabled(Stop));
  const std::vector<std::string> shown = lines();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), catalog(msg::kCloseDuringTraining)), 2);
  EXPECT_FALSE(storedValue("Mode").has_value());
  ASSERT_TRUE(pumpUntil([&] { return dialog_->hasEnded(); }));
  EXPECT_FALSE(dialog_->runActive());
  EXPECT_EQ(storedValue("Mode")->at(0), kModeTrain);
}

TEST_F(DialogTest, ACloseDuringABenchmarkStoresAtOnceAndEndsAfterTheRun) {
  beginOnTheStandIn(kModeBenchmark);
  ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(hwnd()));
  EXPECT_FALSE(dialog_->hasEnded());
  EXPECT_TRUE(storedValue("BenchmarkingIterations").has_value());
  ASSERT_TRUE(pumpUntil([&] { return dialog_->hasEnded(); }));
  EXPECT_EQ(lines().back(), "stand-in finished");
}

TEST_F(DialogTest, HelpOpensTheTopicOfEveryControlInEveryMode) {
  open();
  ASSERT_FALSE(helpCalls_.empty());
  EXPECT_EQ(helpCalls_[0].command, static_cast<UINT>(HH_INITIALIZE));
  const std::string manual = directory_ + "VantiroUserManual.chm";
  auto ask = [&](int id) {
    HELPINFO info{sizeof info, HELPINFO_WINDOW, id, item(id), 0, {0, 0}};
    ::SendMessageA(hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    return helpCalls_.back();
  };
  for (int mode : {-1, kModeBenchmark, kModeTrain, kModeGenerate}) {
    selectMode(mode);
    for (const ControlTemplate& t : mainDialogControls()) {
      const HelpCall call = ask(t.id);
      EXPECT_EQ(call.command, static_cast<UINT>(HH_DISPLAY_TOC));
      EXPECT_EQ(call.file, manual + std::string(helpTopic(t.id, mode).value_or(""))) << t.id;
    }
  }
  // The cases a user notices first.
  const struct {
    int mode, id;
    const char* topic;
  } examples[] = {{kModeGenerate, NeuronsLabel, "::/Generate Parameters - Number of Neurons.html"},
                  {-1, Neurons, "::/Train Parameters - Number of Neurons.html"},
                  {-1, ModeList, "::/Vantiro Overview.html"},
                  {kModeBenchmark, InputFile, "::/Train Parameters - Input File.html"},
                  {kModeTrain, OutputList, ""}};
  for (const auto& example : examples) {
    selectMode(example.mode);
    EXPECT_EQ(ask(example.id).file, manual + example.topic);
  }
  helpShows_ = false;
  ask(Begin);
  // The log escapes what could pass for a line of its own, backslashes included.
  EXPECT_NE(logText().find("HtmlHelp() failed to open help topic \"" +
                           escapeControlCharacters(manual + "::/The Begin Button.html") +
                           "\", topic not found\n"),
            std::string::npos);
  EXPECT_EQ(dialog_->helpDirectory(), directory_);
  ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  ASSERT_GE(helpCalls_.size(), 2u);
  EXPECT_EQ(helpCalls_[helpCalls_.size() - 2].command, static_cast<UINT>(HH_CLOSE_ALL));
  EXPECT_EQ(helpCalls_.back().command, static_cast<UINT>(HH_UNINITIALIZE));
}

// The file buttons: what each dialog is asked, and what the field shows after.
struct ChooserRow {
  int button, field, mode;
  const char* fieldText;
  std::optional<std::string> reply;
  bool save;
  unsigned title;
  DWORD filterIndex, flags;
  const char *defaultExtension, *initialDirectory, *name, *shownAfter;
};

TEST_F(DialogTest, FileButtonsAskAsTheirRowSays) {
  constexpr DWORD open = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  constexpr DWORD save = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
  const ChooserRow table[] = {
      {OpenInput, InputFile, kModeTrain, "C:\\data\\series.txt", "C:\\data\\nile.txt", false,
       msg::kOpenInputTitle, 1, open, "", "C:\\data", "series.txt", "C:\\data\\nile.txt"},
      {SaveOutput, OutputFile, kModeGenerate, "out.txt", "D:\\out.txt", true, msg::kSaveOutputTitle,
       1, save, "txt", "", "out.txt", "D:\\out.txt"},
      {OpenState, LoadStateFile, kModeGenerate, "", "E:\\a.vns", false, msg::kOpenStateTitle, 2,
       open, "", "", "", "E:\\a.vns"},
      {SaveState, SaveStateFile, kModeTrain, "C:\\s\\old.vns", std::nullopt, true,
       msg::kSaveStateTitle, 2, save, "vns", "C:\\s", "old.vns", "C:\\s\\old.vns"},
  };
  this->open();
  for (const ChooserRow& row : table) {
    SCOPED_TRACE(row.button);
    selectMode(row.mode);
    setText(row.field, row.fieldText);
    fileReply_ = row.reply;
    click(row.button);
    ASSERT_FALSE(fileDialogs_.empty());
    const FileDialogCall& asked = fileDialogs_.back();
    EXPECT_EQ(asked.save, row.save);
    EXPECT_EQ(asked.title, catalog(row.title));
    EXPECT_EQ(asked.filters,
              "Text Files (*.txt, *.csv)|*.txt;*.csv|Vantiro Neural State Files (*.vns)|*.vns|"
              "All Files (*.*)|*.*|");
    EXPECT_EQ(asked.filterIndex, row.filterIndex);
    EXPECT_EQ(asked.flags, row.flags);
    EXPECT_EQ(asked.defaultExtension, row.defaultExtension);
    EXPECT_EQ(asked.initialDirectory, row.initialDirectory);
    EXPECT_EQ(asked.name, row.name);
    EXPECT_EQ(text(row.field), row.shownAfter);
  }
}

TEST_F(DialogTest, TipsSystemMenuAndAboutBox) {
  open();
  HWND tips = dialog_->toolTips()->GetSafeHwnd();
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(::SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0),
            static_cast<LRESULT>(toolTipEntries().size()));
  EXPECT_EQ(::SendMessageA(tips, TTM_GETMAXTIPWIDTH, 0, 0), kMaxTipWidth);
  for (const ToolTipEntry& entry : toolTipEntries()) {
    char tip[kMessageBufferSize] = "";
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(item(entry.id));
    tool.lpszText = tip;
    ::SendMessageA(tips, TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&tool));
    // The platform hands back the first 80 characters of a tip.
    EXPECT_EQ(std::string(tip).substr(0, 80), catalog(entry.message).substr(0, 80)) << entry.id;
  }
  HMENU menu = ::GetSystemMenu(hwnd(), FALSE);
  const int count = ::GetMenuItemCount(menu);
  char menuText[256] = "";
  ::GetMenuStringA(menu, count - 1, menuText, sizeof menuText, MF_BYPOSITION);
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), CMainDialog::kAboutCommand);
  EXPECT_EQ(menuText, catalog(msg::kAboutItem));
  EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
  // The About box opens modally; a second thread reads and closes it.
  std::string aboutCaption;
  std::thread closer([&] {
    for (int i = 0; i < 2000 && aboutCaption.empty(); ++i) {
      if (HWND about = ::FindWindowA(nullptr, "About Vantiro")) {
        aboutCaption = "About Vantiro";
        ::PostMessageA(about, WM_COMMAND, IDOK, 0);
      }
      ::Sleep(5);
    }
  });
  ::SendMessageA(hwnd(), WM_SYSCOMMAND, CMainDialog::kAboutCommand + 3, 0);
  closer.join();
  EXPECT_EQ(aboutCaption, "About Vantiro");
}

TEST_F(DialogTest, WithoutTheStringTableTheProgramSaysSoAndStoresNothing) {
  languageLibrary_ = "Missing.dll";
  open();
  EXPECT_TRUE(dialog_->hasEnded());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], std::string(AfxGetAppName()) + "|Failed to load Missing.dll|" +
                           std::to_string(MB_OK | MB_ICONSTOP));
  EXPECT_NE(logText().find("LoadLibrary() failed to load Missing.dll, EC = 126\n"),
            std::string::npos);
  dialog_.reset();
  EXPECT_FALSE(storedValue("Mode").has_value());
}
