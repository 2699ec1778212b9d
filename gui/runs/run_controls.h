#pragma once
#include "gui/rules/control_table.h"

// The controls a run takes from the user besides the mode's own.

// Enabled by the worker last, in this order, when it gives the window back.
inline constexpr int kControlsToRestore[] = {
    ctl::ModeLabel,           ctl::ModeList,      ctl::ParameterGroup,
    ctl::NeuronsLabel,        ctl::Neurons,       ctl::WindowLabel,
    ctl::WindowSize,          ctl::OptionsGroup,  ctl::PrecisionLabel,
    ctl::InstructionSetLabel, ctl::PriorityLabel, ctl::Begin};

// The eight radio buttons, off during a run and on again first at its end.
inline constexpr int kRadioButtons[] = {ctl::Single, ctl::Double, ctl::X87,    ctl::Nnvec2,
                                        ctl::Sse,    ctl::Idle,   ctl::Normal, ctl::High};
