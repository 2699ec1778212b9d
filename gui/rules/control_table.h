#pragma once
#include <cstddef>
#include <span>
#include <string>

// The main window as data: every control with its identifier, kind, caption,
// rectangle in dialog units and style, listed in the window's tab order.
// Help topics, tests and the dialog itself find controls by these identifiers.

enum class ControlKind {
  Label,
  Edit,
  DropDownList,
  PushButton,
  IconButton,
  GroupBox,
  Radio,
  CheckBox,
  ListBox
};

// Style bits of a control.
enum ControlStyle : unsigned {
  kNoStyle = 0,
  kTabStop = 1u << 0,
  kDigitsOnly = 1u << 1,  // edits that take only digit keystrokes
  kReadOnly = 1u << 2,
  kDefaultButton = 1u << 3,  // Enter activates it
  kStartsDisabled = 1u << 4,
};

struct DialogRect {
  int x, y, width, height;  // dialog units
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* caption;  // empty for controls without one
  DialogRect rect;
  unsigned style;
  int iconId;   // icon shown by an icon button, else 0
  int labelId;  // the label that names this control, else 0
};

// The program's pictures by their resource numbers (window/resources holds
// each as iconN.svg or bitmapN.svg).
namespace pic {
constexpr int ProgramIcon = 163, OpenIcon = 164, SaveIcon = 165, AboutBitmap = 169, HelpIcon = 171;
}  // namespace pic

// Identifiers of the controls.
namespace ctl {
constexpr int OutputList = 1000, ModeList = 1003, NeuronsLabel = 1004, WindowLabel = 1005,
              RateLabel = 1006, ToleranceLabel = 1007, TargetLabel = 1008, Neurons = 1009,
              ModeLabel = 1010, WindowSize = 1018, LearningRate = 1019, ToleranceUnit = 1020,
              TrainToTolerance = 1021, Single = 1024, Double = 1025, LoadConversion = 1026,
              OptionsGroup = 1028, PrecisionLabel = 1031, SaveOutput = 1032, SaveState = 1033,
              OpenInput = 1034, OpenState = 1035, Help = 1036, SaveConversion = 1038,
              ParameterGroup = 1039, Begin = 1040, Stop = 1041, X87 = 1042,
              InstructionSetLabel = 1043, Nnvec2 = 1044, Sse = 1045, PriorityLabel = 1046,
              Idle = 1047, Normal = 1048, High = 1049, Clear = 1050, DataPointsLabel = 1065,
              Iterations = 1069, DataPoints = 1070, InputFile = 1071, OutputFile = 1072,
              LoadStateFile = 1073, IterationsLabel = 1074, InputFileLabel = 1075,
              OutputFileLabel = 1076, LoadStateLabel = 1077, MemoryLabel = 1078, Memory = 1079,
              PointsToGenerate = 1080, PointsLabel = 1081, SaveStateFile = 1082,
              SaveStateLabel = 1083;
}  // namespace ctl

// The window: caption, size in dialog units, and the three Mode list entries
// whose index is the mode.
inline constexpr const char* kMainDialogCaption = "Vantiro";
inline constexpr int kMainDialogWidth = 501;
inline constexpr int kMainDialogHeight = 234;
inline constexpr const char* kModeNames[] = {"Benchmark", "Train", "Generate"};

std::span<const ControlTemplate> mainDialogControls();
const ControlTemplate* findControlTemplate(int id);

// The name a screen reader announces for a control: the caption of the label
// that names it, else its own caption, else a name of its own (the group
// boxes and the output list).
std::string accessibleNameOf(const ControlTemplate& control);
