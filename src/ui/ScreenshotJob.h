#pragma once

#include <QString>

namespace tessivar::ui {

class Console;

// Expands the tree, opens the logging window, lets a few poll ticks pass, saves a picture of
// the main window to path and ends the program.
void scheduleScreenshot(Console& console, const QString& path);

} // namespace tessivar::ui
