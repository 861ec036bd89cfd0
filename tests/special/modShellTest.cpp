#include "special/modShell.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tuple>

#include "support/TempDir.h"

namespace tamsel {
namespace {

constexpr long kBase = -2147220456;  // the object-error base plus 1048

std::string Script(const test::TempDir& dir, const std::string& name, const std::string& body) {
    const auto path = dir.write(name, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

// Opens the file through the system launcher with the given opener; the error it left, if any.
std::optional<TamselError> Open(const std::string& file, const std::string& opener,
                                const std::string& parameters = "",
                                const std::string& folder = "") {
    LinuxShellLauncher launcher(opener);
    std::string verb = "open";
    std::intptr_t hwnd = 0;
    std::optional<TamselError> error;
    const bool opened = shellOpen(file, 10, parameters, folder, verb, hwnd, &error, launcher);
    EXPECT_EQ(opened, !error.has_value()) << file;
    return error;
}

TEST(modShellTest, ResultsOfTheLauncherBecomeTheShellsErrors) {
    test::TempDir dir;
    const auto document = dir.write("kit/Slides.pot", "slides");
    const auto marked = Script(dir, "kit/marked.pot", "");
    ::truncate(marked.c_str(), 0);  // executable, but neither an image nor a script
    const auto badScript = Script(dir, "kit/bad.sh", "");
    dir.write("kit/bad.sh", "#!/nonexistent/interpreter\n");
    const auto opener0 = Script(dir, "opener0", "exit 0");
    const auto opener3 = Script(dir, "opener3", "exit 3");
    const std::string noApp =
        std::to_string(kBase + 31) + " No application is associated with this file type.";
    // The file, its opener, and the number and message of the error left; empty when it opens.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {document, opener0, ""},
        {dir / "kit/missing.pot", opener0, "53 File not found"},
        {document, opener3, noApp},
        {marked, opener3, noApp},
        {badScript, opener0, "76 Path not found"},
    };
    for (const auto& [file, opener, expected] : cases) {
        const auto error = Open(file, opener);
        EXPECT_EQ(error ? std::to_string(error->Number()) + " " + error->Description() : "",
                  expected)
            << file;
        EXPECT_TRUE(!error || error->Source().ends_with(".GShell")) << file;
    }
}

TEST(modShellTest, AFileWithoutPermissionGivesAnAccessError) {
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const auto secret = dir.write("secret.pot", "x");
    ::chmod(secret.c_str(), 0);
    const auto refused = [&] {
        const auto error = Open(secret, "/bin/true");
        return error && error->Number() == 75 && error->Description() == "Path/file access error";
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(refused());
        return;
    }
    // The superuser may read anything: try as nobody.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && refused() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(modShellTest, AProgramStartsDetachedWithItsParametersAndFolderAndLeavesNoChild) {
    test::TempDir dir;
    const std::string fifo = dir / "report";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Read and write, so that the program's open does not wait for a reader.
    const int report = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(report, 0);
    const auto program = Script(dir, "program", "echo \"$1|$PWD\" > \"$2\"");

    EXPECT_FALSE(Open(program, "/bin/false", "\"two words\" " + fifo, dir.path()));

    pollfd ready{report, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 20000), 1) << "the program never reported";
    char line[512] = {};
    ASSERT_GT(::read(report, line, sizeof line - 1), 0);
    EXPECT_EQ(std::string(line), "two words|" + dir.path() + "\n");
    ::close(report);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child was left to reap";
    EXPECT_EQ(errno, ECHILD);
}

TEST(modShellTest, ShowStateAndSuccessRules) {
    struct Recorder : ShellLauncher {
        int open(const ShellRequest& request) override {
            showState = request.showState;
            return result;
        }
        int showState = -1;
        int result = 0;
    } recorder;
    // The file, its parameters, the launcher's result, the show state it is given, and success.
    const std::tuple<std::string, std::string, int, int, bool> cases[] = {
        {"Setup.exe", "", 42, 1, true},     {"SETUP.EXE", "/s", -5, 0, true},
        {"Slides.pot", "/s", 33, 10, true}, {"Slides.pot", "", 32, 1, false},
        {"Slides.pot", "", 0, 1, false},
    };
    for (const auto& [file, parameters, result, showState, opened] : cases) {
        recorder.result = result;
        std::string verb = "open";
        std::intptr_t hwnd = 0;
        std::optional<TamselError> error;
        EXPECT_EQ(shellOpen(file, 10, parameters, "", verb, hwnd, &error, recorder), opened);
        EXPECT_EQ(recorder.showState, showState) << file << " " << parameters;
        EXPECT_EQ(error.has_value(), !opened);
    }
}

}  // namespace
}  // namespace tamsel
