#pragma once
#include "gui/window/dialog_environment.h"

// The application object: it runs the main dialog modally, and the program
// ends when the dialog closes.
class CGuiApp {
 public:
  explicit CGuiApp(DialogEnvironment environment = {});

  // Runs the main dialog; returns false, so that no message loop of the
  // program's own follows.
  bool InitInstance();

 private:
  DialogEnvironment environment_;
};
