#pragma once
// Child processes of the real-time tests, and waiting on what they write.

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace qm::e2e
{

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Starts `args` with `env` added, output to /dev/null. Everything the child
// needs is prepared before the fork: after it, only async-signal-safe calls.
inline pid_t Spawn(std::vector<std::string> args, std::vector<std::string> env)
{
    std::vector<char *> argv, envp;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto &e : env)
        envp.push_back(e.data());
    for (char **e = environ; *e; ++e)
        envp.push_back(*e); // the first of a name wins: ours come first
    envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

// The child's exit status once it has ended (128 + signal), or -1 after `limit`.
inline int WaitEnd(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    for (const auto end = Clock::now() + limit; Clock::now() < end;
         std::this_thread::sleep_for(5ms))
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return -1;
}

inline void Stop(pid_t &pid)
{
    if (pid > 0 && ::kill(pid, SIGTERM) == 0 && WaitEnd(pid, 3s) < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

inline std::string ReadAll(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline bool WaitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    for (const auto end = Clock::now() + limit; Clock::now() < end;
         std::this_thread::sleep_for(10ms))
        if (done())
            return true;
    return done();
}

inline bool WaitForText(const fs::path &file, const std::string &text,
                        std::chrono::milliseconds limit)
{
    return WaitUntil([&] { return ReadAll(file).find(text) != std::string::npos; }, limit);
}

inline int Count(const std::string &haystack, const std::string &needle)
{
    int n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

} // namespace qm::e2e
