#pragma once
// Child processes of the real-time tests, and waiting on what they write.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qm::e2e
{

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs `command` through the shell, which execs it (the pid is the command's),
// output to /dev/null. The line is built before the fork: after it, only
// async-signal-safe calls.
inline pid_t Spawn(const std::string &command)
{
    const std::string line = "exec " + command + " >/dev/null 2>&1";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
        ::_exit(127);
    }
    return pid;
}

inline bool WaitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    for (const auto end = Clock::now() + limit; Clock::now() < end;
         std::this_thread::sleep_for(5ms))
        if (done())
            return true;
    return done();
}

// The child's exit status once it has ended (128 + signal), or -1 after `limit`.
inline int WaitEnd(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit))
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline void Stop(pid_t &pid)
{
    if (pid > 0 && ::kill(pid, SIGTERM) == 0 && WaitEnd(pid, 3s) < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

// smsc-sim serving COM1 in `dir`, its record in dir/sim.jsonl.
inline pid_t StartSimulator(const fs::path &dir, const std::string &options)
{
    const pid_t pid = Spawn(SMSC_SIM_PATH " --dir " + dir.string() + " --record " +
                            (dir / "sim.jsonl").string() + " " + options);
    // Starting a process is not a protocol wait: look for its link.
    WaitUntil([&] { return fs::is_symlink(dir / "COM1"); }, 30s);
    return pid;
}

inline std::string ReadAll(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace qm::e2e
