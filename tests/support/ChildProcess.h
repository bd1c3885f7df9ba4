#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tarnwick::testing {

// A real child process with its standard streams connected to pipes. The constructor returns once
// the program has been executed (or has failed to start).
class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> argv, const std::string &input = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    pid_t pid() const { return m_pid; }
    void signal(int number);

    // Reads both outputs to their end and reaps the child. Returns the exit status, or 128 plus the
    // signal number when it was killed.
    int wait();

    const std::string &out() const { return m_out; }
    const std::string &err() const { return m_err; }

private:
    pid_t m_pid = -1;
    int m_outFd = -1;
    int m_errFd = -1;
    int m_status = -1;
    std::string m_out;
    std::string m_err;
};

struct ProcessResult {
    int status;
    std::string out;
    std::string err;
};

ProcessResult runProcess(std::vector<std::string> argv, const std::string &input = {});

}  // namespace tarnwick::testing
