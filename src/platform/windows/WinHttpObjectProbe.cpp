#include "platform/ObjectProbe.h"

#include <windows.h>

#include <winhttp.h>

namespace tamsel {

bool HttpTransportUsable() {
    const HINTERNET session = ::WinHttpOpen(L"Tamsel Updater", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session == nullptr) {
        return false;
    }
    ::WinHttpCloseHandle(session);
    return true;
}

}  // namespace tamsel
