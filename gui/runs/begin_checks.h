#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/run_numbers.h"
#include "gui/rules/parameter_values.h"
#include "platform/thread_priority.h"

// What Begin decides before anything runs. Plain functions over the values
// and the choices the window shows, so the rules can be tried without one.

#include "common/message_ids.h"

inline constexpr unsigned kNoModeMessage = msg::kNoModeSelected;
// This check's message carries the largest product the engines accept.
inline constexpr unsigned kProductMessage = msg::kNetworkProductTooLarge + msg::kDialogCheckOffset;
inline constexpr std::uint32_t kLargestProduct = kLargestSizeProduct;

// The mode bits and the two state-file form bits of a run. A ticked box sets
// its bit whether or not it is enabled in the mode.
std::uint32_t runFlagsFor(int modeIndex, bool loadConversionTicked, bool saveConversionTicked);

// The messages of every check that fails, in the order they are made: 16
// alone without a mode, else 17 to 29 as they apply. Empty when the run may
// start.
std::vector<unsigned> failedBeginChecks(int modeIndex, const ParameterValues& values);

// The lines Begin lists when checks fail: each failed check's message from
// the string table, then an empty line that ends the block (not after the
// lone "no mode" message). Empty when the run may start.
std::vector<std::string> beginCheckLines(int modeIndex, const ParameterValues& values,
                                         void* languageModule);

// The engine bits of the selected buttons: Double, then nnvec2! or else SSE.
// A button counts by its selection, enabled or not.
std::uint32_t engineChoiceFor(bool doubleSelected, bool nnvec2Selected, bool sseSelected);

// High wins, then Normal; otherwise Idle.
ThreadPriority priorityFor(bool highSelected, bool normalSelected);
