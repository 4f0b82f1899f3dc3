// The real executable under Xvfb, driven through the X server: Exit from the
// console's menu and kill -TERM both end the process within a second while a
// message exchange is under way, with the port closed. Skipped where Xvfb or
// xdotool is missing.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts `args` with `env` added, output to /dev/null (other fds stay open).
pid_t spawn(std::vector<std::string> args, const std::vector<std::string> &env)
{
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        for (const auto &e : env)
            ::putenv(const_cast<char *>(e.c_str()));
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

void stop(pid_t pid)
{
    if (pid > 0 && ::kill(pid, SIGTERM) == 0)
        ::waitpid(pid, nullptr, 0);
}

// The child's exit status once it has ended, or -1 after `limit`.
int waitEnd(pid_t pid, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    int status = 0;
    while (Clock::now() < end) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(5ms);
    }
    return -1;
}

std::string readAll(const fs::path &p)
{
    std::ifstream in(p);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool waitFor(const fs::path &file, const std::string &text, std::chrono::milliseconds limit)
{
    for (const auto end = Clock::now() + limit; Clock::now() < end;
         std::this_thread::sleep_for(10ms))
        if (readAll(file).find(text) != std::string::npos)
            return true;
    return false;
}

class ExitUnderXvfb : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (std::system("command -v Xvfb xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs Xvfb and xdotool";
        dir = fs::temp_directory_path() / ("qm-exit-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "outbox");
        fs::copy_file(QUILLMAST_PATH, dir / "quillmast");
        std::ofstream(dir / "smsconf.conf", std::ios::binary)
            << "\"Port=1\"\r\n\"Setting=N,8,1\"\r\n\"BaudRate=9600\"\r\n"
               "\"SMSCenterNumber=0612345678\"\r\n\"Protocol=UCP\"\r\n\"OpType=01\"\r\n";
        std::ofstream(dir / "outbox" / "a.dat", std::ios::binary) << "\"0611\",\"disk full\"\r\n";

        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x700x24",
                      "-nolisten", "tcp"},
                     {});
        ::close(fds[1]);
        char number[16] = {};
        const auto n = ::read(fds[0], number, sizeof number - 1);
        ::close(fds[0]);
        ASSERT_GT(n, 0);
        // A char prefix: ":" + std::to_string trips a false -Wrestrict in GCC 12 at -O3.
        display = ':' + std::to_string(std::atoi(number));

        sim = spawn({SMSC_SIM_PATH, "--dir", dir.string(), "--centre", "ucp", "--connect-delay",
                     "200", "--record", (dir / "sim.jsonl").string()},
                    {});
        for (int i = 0; i < 300 && !fs::is_symlink(dir / "COM1"); ++i)
            std::this_thread::sleep_for(10ms);
        app = spawn({(dir / "quillmast").string()}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"});
        ASSERT_TRUE(xdotool("search --sync --onlyvisible --name 'Quillmast Configuration'"));
    }
    void TearDown() override
    {
        stop(app);
        stop(sim);
        stop(xvfb);
        if (!dir.empty())
            fs::remove_all(dir);
    }
    bool xdotool(const std::string &args)
    {
        const std::string cmd =
            "DISPLAY=" + display + " timeout 10 xdotool " + args + " >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0;
    }

    fs::path dir;
    std::string display;
    pid_t xvfb = -1, sim = -1, app = -1;
};

TEST_P(ExitUnderXvfb, EndsWithinASecondInsideAnExchangeWithThePortClosed)
{
    // The console sits at the screen's top-left corner (no window manager).
    ASSERT_TRUE(xdotool("mousemove 112 380 click 1")); // Start Automatic SMS Sending
    // The frame went out: the gateway logs the centre's answers for a second.
    ASSERT_TRUE(waitFor(dir / "sim.jsonl", "\"kind\":\"received\"", 10s));
    const auto asked = Clock::now();
    if (std::string(GetParam()) == "menu")
        ASSERT_TRUE(xdotool("mousemove 600 300 click 3 sleep 0.3 key x")); // E&xit
    else
        ::kill(app, SIGTERM);
    const int status = waitEnd(app, 3s);
    const auto took = Clock::now() - asked;
    app = -1;
    EXPECT_EQ(status, 0);
    EXPECT_LT(took, std::chrono::milliseconds(GetParam() == std::string("menu") ? 1300 : 1000));
    EXPECT_TRUE(waitFor(dir / "sim.jsonl", "\"reason\":\"port closed\"", 2s));
    // Nothing half-written: every log entry is complete.
    const std::string log = readAll(dir / "Master.Log");
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(log.substr(log.size() - 8), "/False\r\n");
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitUnderXvfb, ::testing::Values("menu", "sigterm"));

} // namespace
