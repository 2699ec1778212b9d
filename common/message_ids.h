#pragma once

// The numbers of the messages in the string table that the engine and both
// programs issue, by name, in one place. The texts live in
// Language.dll; a translation replaces the texts, never these numbers.
namespace msg {

// The console program: its usage and the command line's checks.
constexpr unsigned kUsage = 1;
constexpr unsigned kNeuronsMissing = 2;
constexpr unsigned kWindowMissing = 3;
constexpr unsigned kNetworkProductTooLarge = 4;
constexpr unsigned kLearningRateMissing = 5;
constexpr unsigned kToleranceUnitMissing = 6;
constexpr unsigned kTrainToToleranceMissing = 7;
constexpr unsigned kPointsToGenerateMissing = 8;
constexpr unsigned kIterationsMissing = 9;
constexpr unsigned kDataPointsMissing = 10;
constexpr unsigned kInputFileMissing = 11;
constexpr unsigned kSaveStateFileMissing = 12;
constexpr unsigned kLoadStateFileMissing = 13;
constexpr unsigned kOutputFileMissing = 14;

// Either front end: the engine library and its export.
constexpr unsigned kEngineNotLoaded = 15;
constexpr unsigned kStopRequested = 36;
constexpr unsigned kPetMissing = 37;

// The engine.
constexpr unsigned kRunStarted = 38;
constexpr unsigned kInputNotOpened = 39;
constexpr unsigned kTooFewLines = 40;
constexpr unsigned kSeriesTooLarge = 41;
constexpr unsigned kLineNotRead = 42;
constexpr unsigned kTooFewDataPoints = 43;
constexpr unsigned kDataPointsTooMany = 44;
constexpr unsigned kNetworkTooLarge = 45;
constexpr unsigned kLoadingTextState = 46;
constexpr unsigned kLoadingBinaryState = 47;
constexpr unsigned kStateMalformed = 48;
constexpr unsigned kStateRequired = 49;
constexpr unsigned kBenchmarkStarting = 50;
constexpr unsigned kProgress = 51;
constexpr unsigned kSavingTextState = 52;
constexpr unsigned kSavingBinaryState = 53;
constexpr unsigned kStateNotCreated = 54;
constexpr unsigned kStateWriteFailed = 55;
constexpr unsigned kTrainingDone = 56;
constexpr unsigned kBenchmarkDone = 57;
constexpr unsigned kOutputNotCreated = 58;
constexpr unsigned kGenerating = 59;
constexpr unsigned kGenerationDone = 60;

// The dialog program. Its checks are the console's checks, numbered 15 higher.
constexpr unsigned kDialogCheckOffset = 15;
constexpr unsigned kNoModeSelected = 16;
constexpr unsigned kOpenInputTitle = 30;
constexpr unsigned kSaveStateTitle = 31;
constexpr unsigned kOpenStateTitle = 32;
constexpr unsigned kSaveOutputTitle = 33;
constexpr unsigned kCloseDuringTraining = 35;

// The dialog's tips, one per control (Single and Double share one, as do the
// instruction-set and the priority buttons), and its About menu item.
constexpr unsigned kTipModeList = 61;
constexpr unsigned kTipNeurons = 62;
constexpr unsigned kTipWindowSize = 63;
constexpr unsigned kTipLearningRate = 64;
constexpr unsigned kTipToleranceUnit = 65;
constexpr unsigned kTipTrainToTolerance = 66;
constexpr unsigned kTipPointsToGenerate = 67;
constexpr unsigned kTipIterations = 68;
constexpr unsigned kTipDataPoints = 69;
constexpr unsigned kTipInputFile = 70;
constexpr unsigned kTipSaveStateFile = 71;
constexpr unsigned kTipLoadStateFile = 72;
constexpr unsigned kTipOutputFile = 73;
constexpr unsigned kTipOpenInput = 74;
constexpr unsigned kTipSaveState = 75;
constexpr unsigned kTipOpenState = 76;
constexpr unsigned kTipSaveOutput = 77;
constexpr unsigned kTipMemory = 78;
constexpr unsigned kTipPrecision = 79;
constexpr unsigned kTipInstructionSet = 80;
constexpr unsigned kTipPriority = 81;
constexpr unsigned kTipLoadConversion = 82;
constexpr unsigned kTipSaveConversion = 83;
constexpr unsigned kTipStop = 84;
constexpr unsigned kTipClear = 85;
constexpr unsigned kTipBegin = 86;
constexpr unsigned kTipHelp = 87;
constexpr unsigned kAboutItem = 88;

}  // namespace msg
