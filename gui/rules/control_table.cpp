#include "control_table.h"

namespace {

using enum ControlKind;

constexpr unsigned kEdit = kTabStop;
constexpr unsigned kDigitsEdit = kTabStop | kDigitsOnly;

// Tab order is the order of this table.
constexpr ControlTemplate kControls[] = {
    {ctl::Begin, PushButton, "Begin", {318, 7, 49, 14}, kDefaultButton, 0, 0},
    {ctl::Clear, PushButton, "Clear", {424, 7, 49, 14}, kNoStyle, 0, 0},
    {ctl::OutputList, ListBox, "", {7, 123, 487, 104}, kNoStyle, 0, 0},
    {ctl::ModeList, DropDownList, "", {93, 7, 56, 59}, kTabStop, 0, ctl::ModeLabel},
    {ctl::NeuronsLabel, Label, "Number of Neurons:", {11, 29, 72, 13}, kNoStyle, 0, 0},
    {ctl::Neurons, Edit, "", {93, 29, 55, 13}, kDigitsEdit, 0, ctl::NeuronsLabel},
    {ctl::WindowSize, Edit, "", {93, 43, 55, 13}, kDigitsEdit, 0, ctl::WindowLabel},
    {ctl::LearningRate, Edit, "", {93, 57, 55, 13}, kEdit, 0, ctl::RateLabel},
    {ctl::ToleranceUnit, Edit, "", {93, 72, 55, 13}, kEdit, 0, ctl::ToleranceLabel},
    {ctl::TrainToTolerance, Edit, "", {250, 29, 55, 13}, kEdit, 0, ctl::TargetLabel},
    {ctl::LoadConversion, CheckBox, "Load Conversion State", {378, 85, 90, 13}, kTabStop, 0, 0},
    {ctl::SaveConversion, CheckBox, "Save Conversion State", {378, 98, 89, 13}, kTabStop, 0, 0},
    {ctl::OptionsGroup, GroupBox, "", {317, 28, 177, 85}, kNoStyle, 0, 0},
    {ctl::DataPointsLabel, Label, "Benchmarking Data Points:", {155, 72, 85, 13}, kNoStyle, 0, 0},
    {ctl::Iterations, Edit, "", {250, 57, 55, 13}, kDigitsEdit, 0, ctl::IterationsLabel},
    {ctl::DataPoints, Edit, "", {250, 72, 55, 13}, kDigitsEdit, 0, ctl::DataPointsLabel},
    {ctl::InputFile, Edit, "", {93, 86, 55, 13}, kEdit, 0, ctl::InputFileLabel},
    {ctl::OutputFile, Edit, "", {250, 86, 55, 13}, kEdit, 0, ctl::OutputFileLabel},
    {ctl::LoadStateFile, Edit, "", {93, 101, 55, 13}, kEdit, 0, ctl::LoadStateLabel},
    {ctl::SaveOutput, IconButton, "Save", {232, 86, 16, 13}, kTabStop, pic::SaveIcon, 0},
    {ctl::OpenState, IconButton, "Open", {75, 101, 16, 13}, kTabStop, pic::OpenIcon, 0},
    {ctl::OpenInput, IconButton, "Open", {75, 86, 16, 13}, kTabStop, pic::OpenIcon, 0},
    {ctl::IterationsLabel, Label, "Benchmarking Iterations:", {155, 57, 85, 13}, kNoStyle, 0, 0},
    {ctl::OutputFileLabel, Label, "Output File:", {179, 86, 38, 13}, kNoStyle, 0, 0},
    {ctl::ParameterGroup, GroupBox, "", {7, 21, 304, 97}, kNoStyle, 0, 0},
    {ctl::WindowLabel, Label, "Input Window Size:", {11, 43, 72, 13}, kNoStyle, 0, 0},
    {ctl::RateLabel, Label, "Learning Rate:", {11, 57, 72, 13}, kNoStyle, 0, 0},
    {ctl::ToleranceLabel, Label, "Tolerance Unit:", {11, 72, 72, 13}, kNoStyle, 0, 0},
    {ctl::ModeLabel, Label, "Mode:", {11, 7, 72, 13}, kNoStyle, 0, 0},
    {ctl::PrecisionLabel, Label, "Precision:", {322, 37, 50, 10}, kNoStyle, 0, 0},
    {ctl::MemoryLabel, Label, "Memory Required:", {168, 7, 59, 13}, kNoStyle, 0, 0},
    {ctl::Memory, Edit, "", {230, 7, 75, 13}, kTabStop | kReadOnly, 0, ctl::MemoryLabel},
    {ctl::Single, Radio, "Single", {378, 36, 34, 13}, kNoStyle, 0, 0},
    {ctl::Double, Radio, "Double", {416, 36, 40, 13}, kNoStyle, 0, 0},
    {ctl::InstructionSetLabel, Label, "Instruction Set:", {322, 53, 50, 9}, kNoStyle, 0, 0},
    {ctl::X87, Radio, "x87", {378, 52, 33, 13}, kNoStyle, 0, 0},
    {ctl::Nnvec2, Radio, "nnvec2!", {416, 52, 38, 13}, kNoStyle, 0, 0},
    {ctl::Sse, Radio, "SSE", {462, 52, 25, 13}, kNoStyle, 0, 0},
    {ctl::PriorityLabel, Label, "Priority:", {322, 69, 50, 9}, kNoStyle, 0, 0},
    {ctl::Idle, Radio, "Idle", {378, 68, 29, 13}, kNoStyle, 0, 0},
    {ctl::Normal, Radio, "Normal", {416, 68, 37, 13}, kNoStyle, 0, 0},
    {ctl::High, Radio, "High", {462, 68, 28, 13}, kNoStyle, 0, 0},
    {ctl::TargetLabel, Label, "Train to Tolerance:", {155, 29, 85, 13}, kNoStyle, 0, 0},
    {ctl::PointsToGenerate, Edit, "", {250, 43, 55, 13}, kDigitsEdit, 0, ctl::PointsLabel},
    {ctl::PointsLabel, Label, "Points to Generate:", {155, 43, 85, 13}, kNoStyle, 0, 0},
    {ctl::InputFileLabel, Label, "Input File:", {29, 86, 36, 13}, kNoStyle, 0, 0},
    {ctl::LoadStateLabel, Label, "Load State File:", {22, 101, 50, 13}, kNoStyle, 0, 0},
    {ctl::Stop, PushButton, "Stop", {371, 7, 49, 14}, kStartsDisabled, 0, 0},
    {ctl::SaveStateFile, Edit, "", {250, 101, 55, 13}, kEdit, 0, ctl::SaveStateLabel},
    {ctl::SaveState, IconButton, "Save", {232, 101, 16, 13}, kTabStop, pic::SaveIcon, 0},
    {ctl::SaveStateLabel, Label, "Save State File:", {171, 101, 53, 13}, kNoStyle, 0, 0},
    {ctl::Help, IconButton, "Help", {478, 7, 16, 13}, kTabStop, pic::HelpIcon, 0},
};

}  // namespace

std::span<const ControlTemplate> mainDialogControls() { return kControls; }

const ControlTemplate* findControlTemplate(int id) {
  for (const ControlTemplate& control : kControls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

std::string accessibleNameOf(const ControlTemplate& control) {
  if (control.labelId != 0) return findControlTemplate(control.labelId)->caption;
  if (control.caption[0] != '\0') return control.caption;
  switch (control.id) {
    case ctl::ParameterGroup:
      return "Parameters";
    case ctl::OptionsGroup:
      return "Options";
    case ctl::OutputList:
      return "Output";
    default:
      return {};
  }
}
