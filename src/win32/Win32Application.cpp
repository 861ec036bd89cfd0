#include "win32/Win32Application.h"

#include <windows.h>

#include "win32/Dpi.h"
#include "win32/Win32EventLoop.h"
#include "win32/Win32Toolkit.h"

namespace tamsel {

int RunWin32Application(const std::function<KeepAlive(Toolkit& toolkit, EventLoop& loop)>& start,
                        const std::function<int()>& exitStatus) {
    // The manifest says so too; this covers a copy started without it.
    BecomeDpiAware();
    Win32EventLoop loop;
    Win32Toolkit toolkit(loop);
    KeepAlive program = start(toolkit, loop);
    loop.RunUntil([&toolkit] { return toolkit.LoadedForms().empty(); });
    const int status = exitStatus ? exitStatus() : 0;
    program.reset();
    return status;
}

}  // namespace tamsel
