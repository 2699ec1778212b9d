#pragma once
#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/cpu_features.h"

class QWidget;

// Shows a message box with one OK button and waits for it.
void showModalMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                         const QString& text);

// What the main dialog takes from its surroundings. The program uses the
// defaults; tests put in their own.
struct DialogEnvironment {
  std::string languageLibrary = "Language.dll";
  std::string helpFileName = "VantiroUserManual.chm";
  // Directory of the engine libraries; empty: loaded by bare name.
  std::string engineDirectory;
  std::function<std::uint32_t()> detectCpuFeatures = ::detectCpuFeatures;
  std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                     const QString& text)>
      showMessageBox = showModalMessageBox;
};

// The program's name as its message boxes carry it: the name of its file.
QString programName();
