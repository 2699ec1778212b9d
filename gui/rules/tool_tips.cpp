#include "tool_tips.h"

#include "common/message_ids.h"
#include "control_table.h"

namespace {

constexpr ToolTipEntry kToolTips[] = {
    {msg::kTipModeList, ctl::ModeList},
    {msg::kTipNeurons, ctl::Neurons},
    {msg::kTipWindowSize, ctl::WindowSize},
    {msg::kTipLearningRate, ctl::LearningRate},
    {msg::kTipToleranceUnit, ctl::ToleranceUnit},
    {msg::kTipTrainToTolerance, ctl::TrainToTolerance},
    {msg::kTipPointsToGenerate, ctl::PointsToGenerate},
    {msg::kTipIterations, ctl::Iterations},
    {msg::kTipDataPoints, ctl::DataPoints},
    {msg::kTipInputFile, ctl::InputFile},
    {msg::kTipSaveStateFile, ctl::SaveStateFile},
    {msg::kTipLoadStateFile, ctl::LoadStateFile},
    {msg::kTipOutputFile, ctl::OutputFile},
    {msg::kTipOpenInput, ctl::OpenInput},
    {msg::kTipSaveState, ctl::SaveState},
    {msg::kTipOpenState, ctl::OpenState},
    {msg::kTipSaveOutput, ctl::SaveOutput},
    {msg::kTipMemory, ctl::Memory},
    {msg::kTipPrecision, ctl::Single},
    {msg::kTipPrecision, ctl::Double},
    {msg::kTipInstructionSet, ctl::X87},
    {msg::kTipInstructionSet, ctl::Nnvec2},
    {msg::kTipInstructionSet, ctl::Sse},
    {msg::kTipPriority, ctl::Idle},
    {msg::kTipPriority, ctl::Normal},
    {msg::kTipPriority, ctl::High},
    {msg::kTipLoadConversion, ctl::LoadConversion},
    {msg::kTipSaveConversion, ctl::SaveConversion},
    {msg::kTipStop, ctl::Stop},
    {msg::kTipClear, ctl::Clear},
    {msg::kTipBegin, ctl::Begin},
    {msg::kTipHelp, ctl::Help},
};

}  // namespace

std::span<const ToolTipEntry> toolTipEntries() { return kToolTips; }
