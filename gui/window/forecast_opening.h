#pragma once
class CMainDialog;

// Opens the Forecast window beside the main window, with the main window's
// network size, learning rate, engine and series file as its starting values;
// a window already open is brought to the front (and takes the values again
// when no run of its own is going).
void openForecastWindow(CMainDialog& dialog);
