#pragma once
// The real executable in a program folder of its own, the simulator serving
// its COM 1, and an X server to press its buttons through (Xvfb + xdotool),
// so the tests see the program only from outside: files, logs, the record.

#include "processes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace qm::e2e
{

// An X server for one test; skips the test where Xvfb or xdotool is missing.
class Display
{
public:
    Display()
    {
        if (std::system("command -v Xvfb xdotool >/dev/null 2>&1") != 0)
            return;
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x700x24",
                      "-nolisten", "tcp"},
                     {});
        ::close(fds[1]);
        char number[16] = {};
        if (::read(fds[0], number, sizeof number - 1) > 0)
            name = ":" + std::to_string(std::atoi(number));
        ::close(fds[0]);
    }
    ~Display() { Stop(pid_); }
    // xdotool's output (trimmed), or nullopt when it failed.
    std::optional<std::string> xdotool(const std::string &args) const
    {
        const std::string cmd = "DISPLAY=" + name + " timeout 20 xdotool " + args + " 2>/dev/null";
        FILE *p = ::popen(cmd.c_str(), "r");
        std::string out;
        char buf[256];
        while (p && std::fgets(buf, sizeof buf, p))
            out += buf;
        if (!p || ::pclose(p) != 0)
            return std::nullopt;
        while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
            out.pop_back();
        return out.substr(0, out.find('\n'));
    }
    // The first visible window with this caption.
    std::string window(const std::string &caption) const
    {
        return xdotool("search --sync --onlyvisible --name '" + caption + "'").value_or("");
    }
    bool click(const std::string &window, int x, int y) const
    {
        return xdotool("mousemove --window " + window + " " + std::to_string(x) + " " +
                       std::to_string(y) + " click 1")
            .has_value();
    }

    std::string name;

private:
    pid_t pid_ = -1;
};

// A program folder holding a copy of the executable, smsconf.conf, outbox/.
class ProgramFolder
{
public:
    explicit ProgramFolder(const std::string &tag)
        : dir(fs::temp_directory_path() / ("qm-" + tag + "-" + std::to_string(::getpid())))
    {
        fs::remove_all(dir);
        fs::create_directories(dir / "outbox");
        fs::copy_file(QUILLMAST_PATH, dir / "quillmast");
    }
    ~ProgramFolder()
    {
        Stop(app);
        Stop(sim);
        if (!::testing::Test::HasFailure())
            fs::remove_all(dir);
    }
    std::string configText(const std::string &protocol, const std::string &opType,
                           const std::string &password) const
    {
        return "\"AppPath=" + dir.string() + "/\"\r\n\"Port=1\"\r\n\"Setting=N 8 1\"\r\n" +
               "\"BaudRate=9600\"\r\n\"SMSCenterNumber=0612345678\"\r\n\"Protocol=" + protocol +
               "\"\r\n\"OpType=" + opType +
               "\"\r\n\"TAPStoredText=\"\r\n\"TAPDeliveredText=\"\r\n\"AuthenticationCode=" +
               password + "\"\r\n\"LegitimizationCode=\"\r\n\"PollingInterval=1000\"\r\n";
    }
    void configure(const std::string &protocol, const std::string &opType,
                   const std::string &password = "")
    {
        std::ofstream(dir / "smsconf.conf", std::ios::binary)
            << configText(protocol, opType, password);
    }
    void message(const std::string &name, const std::string &content) const
    {
        std::ofstream(dir / "outbox" / name, std::ios::binary) << content;
    }
    bool outboxEmpty() const { return fs::is_empty(dir / "outbox"); }
    std::string log() const { return ReadAll(dir / "Master.Log"); }
    std::string record() const { return ReadAll(dir / "sim.jsonl"); }

    // smsc-sim serving COM1 in the folder; its record is sim.jsonl.
    void startSimulator(std::vector<std::string> options)
    {
        std::vector<std::string> args = {
            SMSC_SIM_PATH,     "--dir", dir.string(), "--record", (dir / "sim.jsonl").string(),
            "--connect-delay", "200"};
        args.insert(args.end(), options.begin(), options.end());
        sim = Spawn(args, {});
        ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(dir / "COM1"); }, 3s));
    }
    // The console on `display`; returns its window.
    std::string startProgram(const Display &display)
    {
        app = Spawn({(dir / "quillmast").string()},
                    {"DISPLAY=" + display.name, "QT_QPA_PLATFORM=xcb"});
        return display.window("Quillmast Configuration");
    }

    fs::path dir;
    pid_t sim = -1, app = -1;
};

// Where the console's buttons are, in its window.
inline constexpr int StartStopX = 112, ButtonsY = 380, ManualSMSX = 316;

} // namespace qm::e2e
