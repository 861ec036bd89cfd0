#pragma once

#include <QApplication>

namespace tamsel::testing {

// The one QApplication of the test program, on the offscreen platform unless one is chosen.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "tamsel_qt_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

}  // namespace tamsel::testing
