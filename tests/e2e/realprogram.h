#pragma once
// The real executable in a program folder of its own, the simulator serving
// its COM 1, and an X server to press its buttons through (Xvfb + xdotool),
// so the tests see the program only from outside: files, logs, the record.

#include "processes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>

namespace qm::e2e
{

using ::testing::HasSubstr;

// A program folder holding a copy of the executable, smsconf.conf (its text
// kept in `config`), outbox/.
class ProgramFolder
{
public:
    ProgramFolder(const std::string &protocol, const std::string &opType,
                  const std::string &password = "")
        : dir(fs::temp_directory_path() /
              ("qm-" + protocol + opType + "-" + std::to_string(::getpid())))
    {
        fs::remove_all(dir);
        fs::create_directories(dir / "outbox");
        fs::copy_file(QUILLMAST_PATH, dir / "quillmast");
        config = "\"AppPath=" + dir.string() + "/\"\r\n\"Port=1\"\r\n\"Setting=N 8 1\"\r\n" +
                 "\"BaudRate=9600\"\r\n\"SMSCenterNumber=0612345678\"\r\n\"Protocol=" + protocol +
                 "\"\r\n\"OpType=" + opType +
                 "\"\r\n\"TAPStoredText=\"\r\n\"TAPDeliveredText=\"\r\n\"AuthenticationCode=" +
                 password + "\"\r\n\"LegitimizationCode=\"\r\n\"PollingInterval=1000\"\r\n";
        std::ofstream(dir / "smsconf.conf", std::ios::binary) << config;
    }
    ~ProgramFolder()
    {
        Stop(app);
        Stop(sim);
        if (!::testing::Test::HasFailure())
            fs::remove_all(dir);
    }
    void message(const std::string &name, const std::string &content) const
    {
        std::ofstream(dir / "outbox" / name, std::ios::binary) << content;
    }
    bool outboxEmpty() const { return fs::is_empty(dir / "outbox"); }
    std::string log() const { return ReadAll(dir / "Master.Log"); }
    std::string record() const { return ReadAll(dir / "sim.jsonl"); }
    // How many messages the centre has accepted.
    long accepted() const
    {
        const std::string r = record();
        const std::regex kind(R"("kind":"accepted")");
        return std::distance(std::sregex_iterator(r.begin(), r.end(), kind), {});
    }
    bool waitForRecord(const std::string &text, std::chrono::milliseconds limit = 30s) const
    {
        return WaitUntil([&] { return record().find(text) != std::string::npos; }, limit);
    }

    fs::path dir;
    std::string config;
    pid_t sim = -1, app = -1;
};

// An X server for one test; the test is skipped where Xvfb or xdotool is missing.
class RealProgram : public ::testing::Test
{
public:
    void SetUp() override
    {
        if (std::system("command -v Xvfb xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs Xvfb and xdotool";
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        xvfb_ = Spawn("Xvfb -displayfd " + std::to_string(fds[1]) +
                      " -screen 0 1024x700x24 -nolisten tcp");
        ::close(fds[1]);
        char number[16] = {};
        ASSERT_GT(::read(fds[0], number, sizeof number - 1), 0);
        ::close(fds[0]);
        // Every child from here on (the program, xdotool) draws on this server.
        ::setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
    }
    void TearDown() override { Stop(xvfb_); }

    // The first word xdotool printed, or nullopt when it failed.
    static std::optional<std::string> xdotool(const std::string &args)
    {
        FILE *p = ::popen(("timeout 30 xdotool " + args + " 2>/dev/null").c_str(), "r");
        char line[256] = {};
        if (!p || (std::fgets(line, sizeof line, p), ::pclose(p)) != 0)
            return std::nullopt;
        const std::string out = line;
        return out.substr(0, out.find_first_of(" \n"));
    }
    // Whether a popup of `app` (a menu, a drop-down: a shown window without a
    // title) is up; with `wait`, once one is (at most 30 s).
    static bool popupShown(pid_t app, bool wait = false)
    {
        return xdotool(std::string("search ") + (wait ? "--sync " : "") +
                       "--all --onlyvisible --pid " + std::to_string(app) + " --name '^$'")
            .has_value();
    }
    // The first visible window with this caption.
    static std::string window(const std::string &caption)
    {
        return xdotool("search --sync --onlyvisible --name '" + caption + "'").value_or("");
    }
    // Where the console's buttons are along their row, in its window.
    enum Button { StartStop = 112, ManualSMS = 316 };
    static bool press(const std::string &window, Button b)
    {
        return xdotool("mousemove --window " + window + " " + std::to_string(b) + " 380 click 1")
            .has_value();
    }
    // Starts the program in `f`, `env` added to its environment; returns its console window.
    static std::string start(ProgramFolder &f, const std::string &env = "")
    {
        f.app = Spawn("env QT_QPA_PLATFORM=xcb " + env + (f.dir / "quillmast").string());
        return window("Quillmast Configuration");
    }
    // The simulator started with `options`, `content` as outbox/a.dat, the
    // program started and Start pressed; returns the console window.
    static std::string startSending(ProgramFolder &f, const std::string &options,
                                    const std::string &content = R"("0611111111","Disk full")",
                                    const std::string &env = "")
    {
        f.message("a.dat", content + "\r\n");
        f.sim = StartSimulator(f.dir, "--connect-delay 200 " + options);
        const std::string console = start(f, env);
        EXPECT_TRUE(press(console, StartStop));
        return console;
    }

private:
    pid_t xvfb_ = -1;
};

} // namespace qm::e2e
