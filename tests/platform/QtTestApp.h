#pragma once
// One application object for the whole test run: sockets, serial ports and message boxes
// need it, and QApplication must not be created twice or destroyed after main returns.

#include <QApplication>

namespace tessivar::testing {

inline void ensureQtApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tessivar-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

} // namespace tessivar::testing
