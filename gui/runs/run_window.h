#pragma once
#include <string>
#include <vector>

// The window as a run's worker sees it. Each call is carried out on the
// window's own thread and has completed when it returns, so the worker's
// window calls keep their order and the worker never runs ahead of them.
class RunWindow {
 public:
  // Adds each line at the end of the output list, then scrolls to the last.
  virtual void appendLines(const std::vector<std::string>& lines) = 0;
  // First half of giving the window back: Stop off, the eight radio buttons on.
  virtual void restoreChoices() = 0;
  // Second half, after the run has been marked inactive: the mode's controls
  // with the precision rule, then the twelve controls Begin disabled last.
  virtual void restoreControls() = 0;

 protected:
  ~RunWindow() = default;
};
