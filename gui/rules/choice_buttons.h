#pragma once
#include <cstdint>
#include <functional>
#include <span>

#include "control_table.h"

// The three sets of radio buttons as the settings store numbers them: the
// stored choice is the button's place in its set.
inline constexpr int kPrecisionButtons[] = {ctl::Single, ctl::Double};
inline constexpr int kInstructionSetButtons[] = {ctl::X87, ctl::Nnvec2, ctl::Sse};
inline constexpr int kPriorityButtons[] = {ctl::Idle, ctl::Normal, ctl::High};

// The button a stored choice selects; the set's first for a choice the set lacks.
int buttonForStoredChoice(std::span<const int> buttons, std::uint32_t stored);

// The stored choice of a set: the place of the last selected button, 0 when
// none is selected ("2 if SSE, else 1 if nnvec2!, else 0").
std::uint32_t storedChoiceOf(std::span<const int> buttons,
                             const std::function<bool(int id)>& isSelected);

// The instruction set a stored choice gives, when the enabled buttons are
// known: a stored choice the precision or the processor rules out would stand
// selected but disabled, so x87, always offered, takes its place.
int instructionSetButtonFor(std::uint32_t stored, const std::function<bool(int id)>& isEnabled);
