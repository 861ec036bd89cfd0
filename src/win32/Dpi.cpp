#include "win32/Dpi.h"

namespace tamsel {

namespace {

// The calls are looked up by name: a program that imported them would not start on Windows 7.
template <class Function>
Function UserCall(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user == nullptr ? nullptr
                           : reinterpret_cast<Function>(
                                 reinterpret_cast<void (*)()>(GetProcAddress(user, name)));
}

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using GetDpiForSystemCall = UINT(WINAPI*)();
using SetAwarenessCall = BOOL(WINAPI*)(HANDLE);
using AdjustForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using ParametersForDpiCall = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int DpiOf(HWND window) {
    static const auto call = UserCall<GetDpiForWindowCall>("GetDpiForWindow");
    const int dpi = call != nullptr ? static_cast<int>(call(window)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

int SystemDpi() {
    static const auto call = UserCall<GetDpiForSystemCall>("GetDpiForSystem");
    const int dpi = call != nullptr ? static_cast<int>(call()) : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

void BecomeDpiAware() {
    static const auto call = UserCall<SetAwarenessCall>("SetProcessDpiAwarenessContext");
    if (call == nullptr || call(kPerMonitorAwareV2) == FALSE) {
        SetProcessDPIAware();
    }
}

void FrameForClient(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto call = UserCall<AdjustForDpiCall>("AdjustWindowRectExForDpi");
    if (call == nullptr || call(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) == FALSE) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

LOGFONTW MessageFont(int dpi) {
    static const auto call = UserCall<ParametersForDpiCall>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (call != nullptr &&
        call(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
        return metrics.lfMessageFont;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    return metrics.lfMessageFont;
}

}  // namespace tamsel
