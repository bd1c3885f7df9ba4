#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace tarnwick::testing {

ChildProcess::ChildProcess(std::vector<std::string> argv, const std::string &input)
{
    int in[2], out[2], err[2], started[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        ::pipe2(started, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        std::vector<char *> args;
        for (auto &arg : argv) {
            args.push_back(arg.data());
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // The exec closes the child's end of `started`: once it reads as ended, the program runs under
    // its own name (or could not be started), so a test can look for it at once.
    ::close(started[1]);
    char ignored;
    while (::read(started[0], &ignored, 1) < 0 && errno == EINTR) {
    }
    ::close(started[0]);
    // Small inputs fit the pipe buffer, so writing before reading cannot deadlock.
    (void)!::write(in[1], input.data(), input.size());
    ::close(in[1]);
    m_outFd = out[0];
    m_errFd = err[0];
}

ChildProcess::~ChildProcess()
{
    if (m_status < 0 && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        wait();
    }
}

void ChildProcess::signal(int number)
{
    ::kill(m_pid, number);
}

int ChildProcess::wait()
{
    if (m_status >= 0) {
        return m_status;
    }
    pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
    std::string *sinks[2] = {&m_out, &m_err};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        ::poll(fds, 2, -1);
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
                if (count > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(count));
                } else {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }
    int raw = 0;
    ::waitpid(m_pid, &raw, 0);
    m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return m_status;
}

ProcessResult runProcess(std::vector<std::string> argv, const std::string &input)
{
    ChildProcess child(std::move(argv), input);
    const int status = child.wait();
    return {status, child.out(), child.err()};
}

}  // namespace tarnwick::testing
