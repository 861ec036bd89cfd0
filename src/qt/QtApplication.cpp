#include "qt/QtApplication.h"

#include <QApplication>

#include "qt/QtEventLoop.h"
#include "qt/QtToolkit.h"

namespace tamsel {

int RunQtApplication(int argc, char** argv,
                     const std::function<KeepAlive(Toolkit& toolkit, EventLoop& loop)>& start,
                     const std::function<int()>& exitStatus) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamsel Updater"));
    // Forms decide when the program ends, not the last visible window: a background run may
    // have none.
    QApplication::setQuitOnLastWindowClosed(false);

    QtEventLoop loop;
    QtToolkit toolkit(loop);
    KeepAlive program = start(toolkit, loop);
    loop.RunUntil([&toolkit] { return toolkit.LoadedForms().empty(); });
    const int status = exitStatus ? exitStatus() : 0;
    program.reset();
    return status;
}

}  // namespace tamsel
