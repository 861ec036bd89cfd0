#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace tamsel::test {

// A child process running a program under the arguments given (the first one included), as the
// user given unless it is -1; the constructor returns once the program runs. Killed and reaped
// when it goes.
class ChildProcess {
  public:
    ChildProcess(const std::string& program, std::vector<std::string> argv, uid_t user = -1) {
        std::vector<char*> pointers;
        for (auto& argument : argv) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        int started[2];
        if (::pipe2(started, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            if (user != static_cast<uid_t>(-1) && ::setuid(user) != 0) {
                ::_exit(126);
            }
            ::execv(program.c_str(), pointers.data());
            ::_exit(127);
        }
        ::close(started[1]);
        // The pipe closes when the program replaces the child's copy of this one.
        char ignored;
        while (::read(started[0], &ignored, 1) > 0) {
        }
        ::close(started[0]);
    }
    ~ChildProcess() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Waits for the child to end; its wait status.
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return status;
    }

  private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

}  // namespace tamsel::test
