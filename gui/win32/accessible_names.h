#pragma once
#include <windows.h>

// Gives every control of the main window the name a screen reader announces
// (gui/rules' accessibleNameOf): the platform would take an edit's name from
// the static text just before it in the tab order, which for most fields is
// not their label. Nothing happens where the accessibility services are missing.
void setAccessibleNames(HWND dialog);
