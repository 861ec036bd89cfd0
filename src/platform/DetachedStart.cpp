#include "platform/DetachedStart.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace tamsel {

namespace {

// Only async-signal-safe calls from here on: the parent may run other threads.
void PrepareChild() {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) {
        std::signal(signal, SIG_DFL);
    }
    const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
    }
    // Files the program opened without close-on-exec (a lock, a socket) stay with the program.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
}

class Pipe {
  public:
    Pipe() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) {
            fds_[0] = fds_[1] = -1;
        }
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool valid() const { return fds_[0] >= 0; }
    int read() const { return fds_[0]; }
    int write() const { return fds_[1]; }
    void closeRead() { closeEnd(0); }
    void closeWrite() { closeEnd(1); }

  private:
    void closeEnd(int end) {
        if (fds_[end] >= 0) {
            ::close(fds_[end]);
            fds_[end] = -1;
        }
    }
    int fds_[2];
};

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const auto& argument : argv) {
        pointers.push_back(const_cast<char*>(argument.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Forks a child that starts a session, forks again and exits; the grandchild runs body and
// must not return. The child is reaped here. False when the first fork failed.
template <class Body>
bool ForkDetached(Body body) {
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            body();
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Reads a whole int from the pipe, waiting up to timeoutMs (-1 for ever).
std::optional<int> ReadInt(int fd, int timeoutMs) {
    pollfd ready{fd, POLLIN, 0};
    int polled;
    while ((polled = ::poll(&ready, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    int value = 0;
    if (polled <= 0 || ::read(fd, &value, sizeof value) != sizeof value) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int StartDetached(const std::vector<std::string>& argv, const std::string& folder) {
    auto pointers = ArgumentPointers(argv);
    Pipe failure;
    if (!failure.valid()) {
        return errno;
    }
    const bool forked = ForkDetached([&] {
        PrepareChild();
        if (folder.empty() || ::chdir(folder.c_str()) == 0) {
            ::execv(pointers[0], pointers.data());
        }
        const int error = errno;
        [[maybe_unused]] const auto written = ::write(failure.write(), &error, sizeof error);
        ::_exit(127);
    });
    if (!forked) {
        return errno ? errno : ECHILD;
    }
    failure.closeWrite();
    // The pipe closes without a word when the program started.
    return ReadInt(failure.read(), -1).value_or(0);
}

std::optional<int> RunDetached(const std::vector<std::string>& argv,
                               std::chrono::milliseconds wait) {
    auto pointers = ArgumentPointers(argv);
    Pipe verdict;
    if (!verdict.valid()) {
        return 127;
    }
    const bool forked = ForkDetached([&] {
        // This grandchild watches the program and reports how it ended; the report may find
        // nobody listening any more.
        std::signal(SIGPIPE, SIG_IGN);
        const pid_t program = ::fork();
        if (program == 0) {
            PrepareChild();
            ::execvp(pointers[0], pointers.data());
            ::_exit(127);
        }
        int status = 0;
        int exitStatus = 127;
        if (program > 0) {
            while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
            }
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        [[maybe_unused]] const auto written =
            ::write(verdict.write(), &exitStatus, sizeof exitStatus);
        ::_exit(0);
    });
    if (!forked) {
        return 127;
    }
    verdict.closeWrite();
    return ReadInt(verdict.read(), static_cast<int>(wait.count()));
}

}  // namespace tamsel
