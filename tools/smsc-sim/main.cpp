// smsc-sim: a Hayes modem with an SMS Centre behind it, served on a
// pseudo-terminal. The terminal's slave is linked as <dir>/COM1 (or --name),
// where the gateway looks for its port; the simulator runs in real time and
// writes a JSON-lines record of what happened.

#include "centres.h"
#include "hayesmodem.h"
#include "jsonrecorder.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace
{

using namespace qm::sim;
namespace fs = std::filesystem;

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t dropRequested = 0;

void onStop(int)
{
    stopRequested = 1;
}
void onDrop(int)
{
    dropRequested = 1;
}

// With nobody on the slave the master reports a hang-up on every poll, so
// the simulator looks again this often instead of polling without end.
constexpr int IdleCheckMs = 100;

struct Options {
    fs::path dir;
    std::string name = "COM1";
    fs::path record;
    ModemScenario modem;
    CentreOptions centre;
};

void usage(std::FILE *to)
{
    std::string kinds;
    for (const auto &k : CentreKinds())
        kinds += (kinds.empty() ? "" : "|") + k;
    std::fprintf(to,
                 "usage: smsc-sim --dir DIR [--name COM1] [--record FILE]\n"
                 "                [--result connect|busy|no-carrier|no-dialtone|error|silent]\n"
                 "                [--connect-delay MS] [--drop-carrier-after MS] [--speed BPS]\n"
                 "                [--no-echo] [--centre %s]\n"
                 "Serves a simulated modem on a pseudo-terminal linked as DIR/NAME.\n"
                 "The record (default DIR/smsc-sim.jsonl) gets one JSON object per event.\n"
                 "%s"
                 "--drop-carrier-after MS: the far end hangs up every call MS after CONNECT.\n"
                 "SIGUSR1 drops the carrier of a call in progress; SIGTERM/SIGINT end.\n",
                 kinds.c_str(), CentreOptionsUsage());
}

bool toNumber(const char *text, long long &out)
{
    char *end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && out >= 0;
}

// A real centre stamps its answers with the local time (DDMMYYhhmmss).
std::string localTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%d%m%y%H%M%S", &local);
    return buf;
}

std::optional<Options> parse(int argc, char **argv)
{
    Options o;
    o.centre.ucp.timestamp = localTimestamp;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        }
        if (arg == "--no-echo") {
            o.modem.echo = false;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "smsc-sim: %s needs a value\n", arg.c_str());
            return std::nullopt;
        }
        const char *value = argv[++i];
        long long n = 0;
        if (arg == "--dir") {
            o.dir = value;
        } else if (arg == "--name") {
            o.name = value;
        } else if (arg == "--record") {
            o.record = value;
        } else if (arg == "--result") {
            const auto r = ParseDialResult(value);
            if (!r) {
                std::fprintf(stderr, "smsc-sim: unknown dial result '%s'\n", value);
                return std::nullopt;
            }
            o.modem.result = *r;
        } else if (arg == "--connect-delay" && toNumber(value, n) && n <= 3600000) {
            o.modem.connectDelay = std::chrono::milliseconds(n);
        } else if (arg == "--drop-carrier-after" && toNumber(value, n) && n <= 3600000) {
            o.modem.dropAfter = std::chrono::milliseconds(n);
        } else if (arg == "--speed" && toNumber(value, n) && n > 0 && n <= 10000000) {
            o.modem.speed = static_cast<int>(n);
        } else if (arg == "--centre") {
            o.centre.kind = value;
        } else if (std::string error; !ParseCentreOption(o.centre, arg, value, error)) {
            std::fprintf(stderr, "smsc-sim: bad option or value: %s %s%s%s\n", arg.c_str(), value,
                         error.empty() ? "" : ": ", error.c_str());
            return std::nullopt;
        }
    }
    if (o.dir.empty()) {
        std::fprintf(stderr, "smsc-sim: --dir is required\n");
        return std::nullopt;
    }
    if (o.name.empty() || o.name.find('/') != std::string::npos) {
        std::fprintf(stderr, "smsc-sim: --name must be a plain file name\n");
        return std::nullopt;
    }
    if (o.record.empty())
        o.record = o.dir / "smsc-sim.jsonl";
    return o;
}

// Opens the master side and returns the slave's path, with the slave in raw
// mode so that nothing on the way translates or echoes bytes.
int openTerminal(std::string &slavePath)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::perror("smsc-sim: pseudo-terminal");
        return -1;
    }
    const char *name = ::ptsname(master);
    if (!name) {
        std::perror("smsc-sim: ptsname");
        ::close(master);
        return -1;
    }
    slavePath = name;
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios t{};
        if (::tcgetattr(slave, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(slave, TCSANOW, &t);
        }
        ::close(slave);
    }
    return master;
}

bool makeLink(const fs::path &link, const std::string &target)
{
    std::error_code ec;
    if (fs::is_symlink(link, ec))
        fs::remove(link, ec);
    else if (fs::exists(link, ec)) {
        std::fprintf(stderr, "smsc-sim: %s exists and is not a link; not replacing it\n",
                     link.c_str());
        return false;
    }
    fs::create_symlink(target, link, ec);
    if (ec) {
        std::fprintf(stderr, "smsc-sim: cannot link %s: %s\n", link.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

int run(const Options &o)
{
    std::FILE *rec = std::fopen(o.record.c_str(), "a");
    if (!rec) {
        std::fprintf(stderr, "smsc-sim: cannot write %s: %s\n", o.record.c_str(),
                     std::strerror(errno));
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    auto now = [start] {
        return std::chrono::duration_cast<SimTime>(std::chrono::steady_clock::now() - start);
    };
    JsonRecorder recorder(rec, [&now] { return static_cast<long long>(now().count()); });
    auto centre = MakeCentre(o.centre, recorder);
    if (!centre) {
        std::fprintf(stderr, "smsc-sim: unknown centre '%s'\n", o.centre.kind.c_str());
        std::fclose(rec);
        return 2;
    }
    HayesModem modem(o.modem, centre.get(), &recorder);

    std::string slavePath;
    const int master = openTerminal(slavePath);
    if (master < 0) {
        std::fclose(rec);
        return 1;
    }
    const fs::path link = o.dir / o.name;
    if (!makeLink(link, slavePath)) {
        ::close(master);
        std::fclose(rec);
        return 1;
    }
    recorder.record({"start",
                     {{"link", link.string()},
                      {"device", slavePath},
                      {"result", std::string(DialResultName(o.modem.result))},
                      {"centre", o.centre.kind}}});
    std::printf("smsc-sim: %s -> %s\n", link.c_str(), slavePath.c_str());
    std::fflush(stdout);

    // Signals are taken only inside ppoll, so none slips in between a check
    // of the flags and the wait.
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGUSR1);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGUSR1);

    bool peerOpen = false;
    std::string pending; // modem output the terminal has not taken yet
    int status = 0;
    while (!stopRequested) {
        if (dropRequested) {
            dropRequested = 0;
            modem.dropCarrier(now());
        }
        pending += modem.takeOutput(now());
        if (!peerOpen)
            pending.clear(); // nothing reaches a closed port

        pollfd pfd{master, POLLIN, 0};
        if (!pending.empty())
            pfd.events |= POLLOUT;
        long long waitMs = -1;
        if (const auto due = modem.nextDue())
            waitMs = std::max<long long>(0, (*due - now()).count());
        if (!peerOpen)
            waitMs = waitMs < 0 ? IdleCheckMs : std::min<long long>(waitMs, IdleCheckMs);

        timespec ts{}, *tsp = nullptr;
        if (waitMs >= 0) {
            ts.tv_sec = static_cast<time_t>(waitMs / 1000);
            ts.tv_nsec = static_cast<long>(waitMs % 1000) * 1000000L;
            tsp = &ts;
        }
        // While nobody has the slave open, only sleep: the master would report
        // its hang-up at once on every poll.
        const int n =
            peerOpen ? ::ppoll(&pfd, 1, tsp, &waitMask) : ::ppoll(nullptr, 0, tsp, &waitMask);
        if (n < 0 && errno != EINTR) {
            std::perror("smsc-sim: poll");
            status = 1;
            break;
        }
        if (!peerOpen) {
            pollfd probe{master, POLLIN, 0};
            if (::poll(&probe, 1, 0) >= 0 && !(probe.revents & POLLHUP)) {
                peerOpen = true;
                recorder.record({"open", {}});
            }
            continue;
        }
        if (n <= 0)
            continue;
        bool gotData = false;
        bool hungUp = (pfd.revents & (POLLHUP | POLLERR)) != 0;
        if (pfd.revents & POLLIN) {
            char buf[4096];
            const ssize_t got = ::read(master, buf, sizeof buf);
            if (got > 0) {
                gotData = true;
                modem.input(now(), std::string_view(buf, static_cast<std::size_t>(got)));
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                hungUp = true; // EIO: the slave side is closed
            }
        }
        if ((pfd.revents & POLLOUT) && !pending.empty()) {
            const ssize_t put = ::write(master, pending.data(), pending.size());
            if (put > 0)
                pending.erase(0, static_cast<std::size_t>(put));
        }
        if (hungUp && !gotData) {
            // The gateway closed the port: any call ends with it.
            peerOpen = false;
            pending.clear();
            modem.portClosed(now());
            recorder.record({"close", {}});
        }
    }

    recorder.record({"exit", {}});
    std::error_code ec;
    if (fs::is_symlink(link, ec) && fs::read_symlink(link, ec) == slavePath)
        fs::remove(link, ec);
    ::close(master);
    std::fclose(rec);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const auto options = parse(argc, argv);
    if (!options) {
        usage(stderr);
        return 2;
    }
    struct sigaction sa {
    };
    sa.sa_handler = onStop;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    sa.sa_handler = onDrop;
    ::sigaction(SIGUSR1, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return run(*options);
}
