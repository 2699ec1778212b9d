#pragma once
#include <span>

// The tips of the main window: which catalogue message each control shows
// when the pointer rests on it. Labels, group boxes and the list have none.

// Tips wider than this many pixels are broken into lines.
inline constexpr int kMaxTipWidth = 400;

struct ToolTipEntry {
  unsigned message;
  int id;
};

std::span<const ToolTipEntry> toolTipEntries();
