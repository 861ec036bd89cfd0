#include "win32/Win32EventLoop.h"

#include <algorithm>

namespace tamsel {

namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
constexpr wchar_t kWakeClass[] = L"TamselEventLoop";

}  // namespace

Win32EventLoop::Win32EventLoop() : m_start(GetTickCount64()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WakeProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWakeClass;
    RegisterClassExW(&windowClass);
    m_wake = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             windowClass.hInstance, nullptr);
    SetWindowLongPtrW(m_wake, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop() {
    for (const auto& [id, tick] : m_timers) {
        KillTimer(m_wake, static_cast<UINT_PTR>(id));
    }
    DestroyWindow(m_wake);
}

EventLoop::TimerId Win32EventLoop::StartTimer(std::chrono::milliseconds interval,
                                              std::function<void()> tick) {
    const auto milliseconds = static_cast<UINT>(std::max<long long>(interval.count(), 1));
    const TimerId id = m_nextId++;
    m_timers[id] = std::move(tick);
    SetTimer(m_wake, static_cast<UINT_PTR>(id), milliseconds, nullptr);
    return id;
}

void Win32EventLoop::StopTimer(TimerId id) {
    if (m_timers.erase(id) > 0) {
        KillTimer(m_wake, static_cast<UINT_PTR>(id));
    }
}

void Win32EventLoop::Tick(TimerId id) {
    const auto found = m_timers.find(id);
    if (found != m_timers.end()) {
        // The timer may stop itself from its own tick: the handler runs from a copy.
        const std::function<void()> tick = found->second;
        tick();
    }
}

EventLoop::Clock Win32EventLoop::Now() const {
    return Clock(static_cast<Clock::rep>(GetTickCount64() - m_start));
}

void Win32EventLoop::Post(std::function<void()> task) {
    m_tasks.push_back(std::move(task));
    PostMessageW(m_wake, kWakeMessage, 0, 0);
}

LRESULT CALLBACK Win32EventLoop::WakeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* loop = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (loop != nullptr && message == kWakeMessage) {
        loop->RunTasks();
        return 0;
    }
    if (loop != nullptr && message == WM_TIMER) {
        loop->Tick(static_cast<TimerId>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32EventLoop::RunTasks() {
    // Only the tasks there now: a task that posts another one lets messages in between.
    for (std::size_t count = m_tasks.size(); count > 0 && !m_tasks.empty(); --count) {
        const std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        task();
    }
}

void Win32EventLoop::RunUntil(const std::function<bool()>& done) {
    MSG message;
    while (!m_quit && !done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            m_quit = true;
            break;
        }
        if (!m_filter || !m_filter(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (m_after) {
            m_after();
        }
    }
}

void Win32EventLoop::Quit() {
    m_quit = true;
    PostMessageW(m_wake, kWakeMessage, 0, 0);
}

}  // namespace tamsel
