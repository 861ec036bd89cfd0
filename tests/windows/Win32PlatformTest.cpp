// The Win32 side of the platform, run under Wine: the real registry, the named mutex, the process
// list and its close message, and the file system's attributes, dates and long paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "platform/ProcessControl.h"
#include "platform/ShellLauncher.h"
#include "platform/SingleInstanceLock.h"
#include "platform/X11WindowActivate.h"
#include "platform/windows/Win32RegistryStore.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"
#include "util/Text.h"
#include "util/windows/WideText.h"

namespace tamsel {
namespace {

TEST(Win32Registry, ValuesOfEveryTypeKeysAndFailuresAsEveryStoreGivesThem) {
    Win32RegistryStore store;
    const auto root = RegistryRoot::CurrentUser;
    const std::string key = "Software\\TamselTest" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(store.createKey(root, key + "\\Sub\\Deeper"));
    const RegistryData rows[] = {
        RegistryText("C:\\Kit\\Tamsel Tools.ppa — ünïcode"),
        RegistryText("%TEMP%\\x", regtype::ExpandText),
        {regtype::TextList, {'a', 0, 'b', 'c', 0, 0}},
        {regtype::Number, {0xFF, 0xFF, 0xFF, 0xFF}},
        {regtype::Binary, {1, 2, 3}},
    };
    for (const RegistryData& data : rows) {
        ASSERT_TRUE(store.writeValue(root, key, "Value", data));
        EXPECT_EQ(store.readValue(root, key, "value"), data) << data.type;
    }
    EXPECT_TRUE(store.keyExists(root, key + "\\sub"));
    store.createKey(root, key + "\\alpha");
    EXPECT_EQ(store.subkeys(root, key), (std::vector<std::string>{"alpha", "Sub"}));
    EXPECT_FALSE(store.deleteKey(root, key + "\\Sub")) << "a key with subkeys stays";
    EXPECT_FALSE(store.writeValue(root, key + "\\Missing", "x", RegistryText("y")));
    EXPECT_FALSE(store.readValue(root, key, "Missing").has_value());
    EXPECT_TRUE(store.deleteValue(root, key, "Value"));
    EXPECT_FALSE(store.deleteValue(root, key, "Value"));
    for (const char* sub : {"\\Sub\\Deeper", "\\Sub", "\\alpha", ""}) {
        EXPECT_TRUE(store.deleteKey(root, key + sub)) << sub;
    }
    EXPECT_FALSE(store.subkeys(root, key).has_value());
}

TEST(Win32SingleInstance, TheSecondHolderOfANameSeesTheFirstUntilItGoes) {
    const std::string name = "tamsel-test-" + std::to_string(::GetCurrentProcessId());
    {
        SingleInstanceLock first(name);
        EXPECT_FALSE(first.PreviousInstance());
        EXPECT_TRUE(SingleInstanceLock(name).PreviousInstance());
    }
    EXPECT_FALSE(SingleInstanceLock(name).PreviousInstance());
}

// The mutex names no holder: the holder is the other process of the same program and user.
TEST(Win32SingleInstance, TheHolderIsAnotherCopyOfTheSameProgram) {
    SingleInstanceLock lock("tamsel-test-holder-" + std::to_string(::GetCurrentProcessId()));
    EXPECT_EQ(lock.HolderPid(), 0);
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring line = L"copy --gtest_list_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION copy{};
    ASSERT_TRUE(::CreateProcessW(own, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                 nullptr, nullptr, &startup, &copy));
    EXPECT_EQ(lock.HolderPid(), static_cast<int>(copy.dwProcessId));
    ::TerminateProcess(copy.hProcess, 0);
    ::WaitForSingleObject(copy.hProcess, INFINITE);
    ::CloseHandle(copy.hThread);
    ::CloseHandle(copy.hProcess);
}

TEST(Win32Processes, OurOwnProcessIsListedAndItsParentlessWindowIsAskedToClose) {
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    bool listed = false;
    for (const RunningProcess& process : SystemProcessControl().processes()) {
        listed = listed || (process.pid == static_cast<int>(::GetCurrentProcessId()) &&
                            process.executable == NarrowPath(own));
    }
    EXPECT_TRUE(listed);

    // A top-level window and an owned one on a thread of their own; only the first is asked.
    std::atomic<int> closes{0};
    std::atomic<int> made{0};  // 1 made, -1 when no window can be made (Wine without a display)
    std::thread ui([&] {
        const HWND top = ::CreateWindowExW(0, L"STATIC", L"top", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                           0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        ::CreateWindowExW(0, L"STATIC", L"owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50,
                          top, nullptr, nullptr, nullptr);
        made = top != nullptr ? 1 : -1;
        MSG message{};
        while (top != nullptr && closes == 0 && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
            closes += message.message == WM_CLOSE ? 1 : 0;
        }
        ::DestroyWindow(top);
    });
    while (made == 0) {
        std::this_thread::yield();
    }
    if (made < 0) {
        ui.join();
        FAIL() << "no window could be made: run under a display (xvfb-run)";
    }
    SystemProcessControl().requestClose(static_cast<int>(::GetCurrentProcessId()));
    ui.join();
    EXPECT_EQ(closes, 1);
}

// A running copy asked to show itself: its minimised top-level window is restored.
TEST(Win32Processes, ActivationRestoresTheProcesssMinimisedWindow) {
    EXPECT_FALSE(RequestWindowActivation(static_cast<int>(::GetCurrentProcessId())));
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> done{false};
    std::thread ui([&] {
        window = ::CreateWindowExW(0, L"STATIC", L"minimised",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
        MSG message{};
        while (!done) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        ::DestroyWindow(window);
    });
    while (window == nullptr) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(::IsIconic(window));
    RequestWindowActivation(static_cast<int>(::GetCurrentProcessId()));
    EXPECT_FALSE(::IsIconic(window));
    done = true;
    ui.join();
}

TEST(Win32Shell, ResultNumbersAreTheShells) {
    test::TempDir dir;
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::pair<ShellRequest, int> rows[] = {
        {{"open", dir / "missing.pot", "", "", 1}, 2},
        {{"", NarrowPath(own), "--gtest_list_tests", dir.path(), 0}, 33},
    };
    for (const auto& [request, result] : rows) {
        EXPECT_EQ(SystemShellLauncher().open(request), result) << request.file;
    }
}

TEST(Win32FileSystem, AttributesDatesLongPathsAndWideNames) {
    test::TempDir dir;
    const std::string base = dir.path() + "/";
    // Hidden and system entries are the ones the attributes mark.
    for (const char* name : {"hidden.txt", "system.txt", "Plain.txt"}) {
        WriteFileAtomically(base + name, "x");
    }
    ::SetFileAttributesW(WidePath(base + "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(WidePath(base + "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const auto entries = ListFolder(base);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Plain.txt");

    // A name beyond any code page, in a folder far longer than MAX_PATH.
    const std::string deep = base + std::string(120, 'a') + "/" + std::string(120, 'b') + "/" +
                             std::string(40, 'c') + "/Präsentation 日本.pot";
    ASSERT_TRUE(CreateFolderPath(deep));
    ASSERT_TRUE(WriteFileAtomically(deep, "content"));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(deep, read));
    EXPECT_EQ(read, "content");
    EXPECT_TRUE(SetFileTimeFromText(deep, "20/05/2024 06:00"));
    EXPECT_EQ(GetFileDate(deep), "20/05/2024");
    EXPECT_EQ(ListFolder(ParentFolder(deep))[0].name, "Präsentation 日本.pot");
    // The settings and the debug log are read and written through the standard library's streams.
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(deep)), deep);
    std::ifstream stream(PathFromUtf8(deep), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stream), {}), "content");
    stream.close();

    // A read-only file is neither stamped nor deleted; the Windows folder is guarded.
    ::SetFileAttributesW(WidePath(deep).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(StampFileTime(deep));
    EXPECT_FALSE(SafeDeleteFile(deep));
    ::SetFileAttributesW(WidePath(deep).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(SafeDeleteFile(deep));
    EXPECT_TRUE(IsGuardedPath("C:/windows/system32/kernel32.dll"));
    EXPECT_TRUE(IsGuardedPath("c:\\Program Files\\x.exe"));
    EXPECT_FALSE(IsGuardedPath(base + "Plain.txt"));
    // The long folders go too, which the standard library's removal could not reach.
    EXPECT_EQ(PruneEmptyFolders(base), 1) << "Plain.txt is left";
    EXPECT_FALSE(FolderExists(base + std::string(120, 'a')));
}

}  // namespace
}  // namespace tamsel
