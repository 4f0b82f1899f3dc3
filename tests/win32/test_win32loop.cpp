// The Win32 seams on a real message loop under Wine (its null display
// driver: real windows and boxes, no X server). These run in real time and
// wait for what they check with a ceiling of 30 s; bounds on time are lower
// bounds only, which a loaded machine cannot break.

#include "pure/recipientfilter.h"
#include "testfilter.h"
#include "win32/comrecipientfilter.h"
#include "win32/messagewindow.h"
#include "win32/sessionend.h"
#include "win32/win32eventpump.h"
#include "win32/win32filedialog.h"
#include "win32/win32notifier.h"
#include "win32/win32timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

TimePoint now()
{
    return std::chrono::time_point_cast<std::chrono::milliseconds>(Steady::now());
}

// Pumps until `done`, at most 30 s.
bool PumpUntil(EventPump &pump, const std::function<bool()> &done)
{
    const TimePoint end = now() + 30s;
    while (!done() && now() < end)
        pump.pump(end);
    return done();
}

TEST(MessageWindowTimers, ALateTickOfAStoppedOrRestartedTimerIsDropped)
{
    MessageWindow w;
    int a = 0, b = 0;
    const UINT_PTR first = w.startTimer(100000, [&] { ++a; });
    ASSERT_NE(first, 0u);
    SendMessageA(w.handle(), WM_TIMER, first, 0);
    EXPECT_EQ(a, 1);
    w.stopTimer(first);
    SendMessageA(w.handle(), WM_TIMER, first, 0); // a tick already on its way
    EXPECT_EQ(a, 1);
    const UINT_PTR second = w.startTimer(100000, [&] { ++b; });
    EXPECT_NE(second, first);
    SendMessageA(w.handle(), WM_TIMER, first, 0);
    SendMessageA(w.handle(), WM_TIMER, second, 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
}

TEST(Win32TimerContract, ZeroNeverStartsARunningTimerKeepsItsPhaseANewIntervalRestarts)
{
    MessageWindow w;
    Win32Timer t(w, 0);
    // started: system timers started so far.
    // clang-format off
    const struct { const char *name; std::function<void()> act; bool enabled, ticking;
        unsigned started; } steps[] = {
        {"enabled at 0 ms: never fires", [&] { t.setEnabled(true); }, true, false, 0},
        {"an interval starts it", [&] { t.setInterval(50); }, true, true, 1},
        {"enabled again: keeps its phase", [&] { t.setEnabled(true); }, true, true, 1},
        {"a new interval restarts it", [&] { t.setInterval(60); }, true, true, 2},
        {"disabled", [&] { t.setEnabled(false); }, false, false, 2},
        {"disabled: a new interval starts nothing", [&] { t.setInterval(70); }, false, false, 2},
        {"enabled", [&] { t.setEnabled(true); }, true, true, 3},
        {"a negative interval is 0", [&] { t.setInterval(-5); }, true, false, 3}};
    // clang-format on
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(t.isEnabled(), step.enabled);
        EXPECT_EQ(t.isTicking(), step.ticking);
        EXPECT_EQ(w.timersStarted(), step.started);
    }
    EXPECT_EQ(t.interval(), 0);
}

TEST(Win32TimerContract, TicksComeThroughThePumpOneIntervalOnAndStopWhenDisabled)
{
    MessageWindow w;
    Win32EventPump pump;
    Win32Timer t(w, 50);
    std::vector<TimePoint> ticks;
    t.setTickHandler([&] { ticks.push_back(now()); });
    const TimePoint enabled = now();
    t.setEnabled(true);
    ASSERT_TRUE(PumpUntil(pump, [&] { return ticks.size() >= 3; }));
    // Windows may round an interval to its timer resolution, never by more
    // than a tick of 16 ms.
    EXPECT_GE(ticks[0] - enabled, 34ms);
    EXPECT_GE(ticks[2] - enabled, 3 * 50ms - 3 * 16ms);
    t.setEnabled(false);
    const std::size_t before = ticks.size();
    const TimePoint end = now() + 300ms;
    while (now() < end)
        pump.pump(end);
    EXPECT_EQ(ticks.size(), before);
}

double CpuMs()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME f) {
        return double((ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

TEST(Win32EventPump, BlocksWithoutSpinningUntilTheWakeByTime)
{
    MessageWindow w; // a window on the thread, as in the program
    Win32EventPump pump;
    const double cpuBefore = CpuMs();
    const TimePoint start = now(), wakeBy = start + 500ms;
    int pumps = 0;
    while (now() < wakeBy) {
        pump.pump(wakeBy);
        ++pumps;
    }
    EXPECT_LT(pumps, 10) << "each pump waits; one that spins comes back at once";
    EXPECT_LT(CpuMs() - cpuBefore, 100.0);
    // Due already: serves what is pending and returns.
    bool ran = false;
    w.post(nullptr, [&] { ran = true; });
    pump.pump(now() - 1s);
    EXPECT_TRUE(ran);
}

TEST(Win32EventPump, ACallFromAnotherThreadEndsABlockingWaitAndABusyPosterCannotHoldIt)
{
    MessageWindow w;
    Win32EventPump pump;
    bool ran = false;
    // Sleeps only so that the pump below is surely blocked when the call comes.
    std::thread poster([&] {
        Sleep(100);
        w.post(nullptr, [&] { ran = true; });
    });
    const TimePoint start = now();
    while (!ran && now() - start < 30s)
        pump.pump(); // no wake-by: only the call can end it
    poster.join();
    EXPECT_TRUE(ran);

    // A call that posts itself again and again: each pump still returns.
    int runs = 0;
    std::function<void()> again = [&] {
        if (++runs < 100000)
            w.post(&runs, again);
    };
    w.post(&runs, again);
    pump.pump();
    EXPECT_GT(runs, 0);
    EXPECT_LT(runs, 1000);
    w.forget(&runs);
}

// A box or the open dialog runs the system's own loop: timers tick and calls from other threads
// are served in it, and the button pressed gives the answer.
TEST(ModalLoops, BoxesAndTheOpenDialogServeTimersAndCallsAndGiveThePressedAnswer)
{
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder = temp, file = folder + "qm-dialog-test.conf";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    MessageWindow w;
    Win32Timer t(w, 50);
    Win32Notifier notifier;
    Win32FileDialog dialog(folder);
    using Answer = std::optional<std::string>;
    const char *title = "Quillmast box under test";
    const auto box = [title] { return FindWindowA(nullptr, title); };
    const auto open = [] { return FindWindowA("#32770", "Open"); };
    const auto tell = [&]() -> Answer {
        notifier.message(title, "Served while open?", NoticeIcon::Information);
        return std::nullopt;
    };
    const auto ask = [&]() -> Answer {
        return notifier.askYesNo(title, "Served while open?") ? "yes" : "no";
    };
    const auto pick = [&] {
        return dialog.askOpenFile("qm-dialog-test.conf", "Configuration Files (*.conf)|*.conf");
    };
    // clang-format off
    const struct { const char *name; std::function<HWND()> find; int button;
        std::function<Answer()> run; Answer answer; } rows[] = {
        {"message box, OK", box, IDOK, tell, std::nullopt},
        {"question, Yes", box, IDYES, ask, "yes"},
        {"question, No", box, IDNO, ask, "no"},
        // The preset name in the starting folder, by its full path.
        {"open dialog, OK", open, IDOK, pick, file},
        {"open dialog, Cancel", open, IDCANCEL, pick, std::nullopt}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        int ticks = 0;
        bool called = false;
        std::thread poster;
        t.setTickHandler([&] {
            // Inside the box's own loop.
            if (++ticks == 1)
                poster = std::thread([&] { w.post(nullptr, [&] { called = true; }); });
            if (ticks >= 3 && called)
                if (HWND window = row.find())
                    PostMessageA(window, WM_COMMAND, WPARAM(row.button), 0);
        });
        t.setEnabled(true);
        const auto start = Steady::now();
        const Answer answer = row.run();
        t.setEnabled(false);
        poster.join();
        EXPECT_TRUE(ticks >= 3 && called) << ticks;
        EXPECT_LT(Steady::now() - start, 30s);
        ASSERT_EQ(answer.has_value(), row.answer.has_value());
        if (answer) { // a path in any case
            EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, answer->c_str(), -1,
                                     row.answer->c_str(), -1),
                      CSTR_EQUAL)
                << *answer;
        }
    }
    DeleteFileA(file.c_str());
}

// The end heard while the UI thread blocks in the carrier wait is wholeprogram.sh's: there the
// session ends within a pause of that wait.
TEST(SessionEnd, ARefusedEndIsNoneAndTheEndIsCarriedOutOnTheUiThread)
{
    MessageWindow w;
    Win32EventPump pump;
    DWORD ranOn = 0;
    SessionEndWatcher watcher(w, [&] { ranOn = GetCurrentThreadId(); });
    ASSERT_NE(watcher.window(), nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(watcher.window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_BLOCK, 30000, &answer));
    EXPECT_EQ(answer, DWORD_PTR(TRUE)); // agreed
    EXPECT_FALSE(watcher.pending());
    // Another program refused: the session goes on.
    ASSERT_TRUE(
        SendMessageTimeoutA(watcher.window(), WM_ENDSESSION, FALSE, 0, SMTO_BLOCK, 30000, &answer));
    EXPECT_FALSE(watcher.pending());
    PostMessageA(watcher.window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    ASSERT_TRUE(PumpUntil(pump, [&] { return ranOn != 0; }));
    EXPECT_EQ(ranOn, GetCurrentThreadId());
}

// A class of the tests' own, registered in this process only.
constexpr CLSID InProcessFilter = {
    0x6A1F0C3E, 0x52B7, 0x4C1D, {0x9E, 0x1A, 0x3D, 0x77, 0x2B, 0x90, 0x41, 0xC5}};
constexpr CLSID NeverRegistered = {
    0x6A1F0C3F, 0x52B7, 0x4C1D, {0x9E, 0x1A, 0x3D, 0x77, 0x2B, 0x90, 0x41, 0xC5}};

// A value that rewrites the recipient is wholeprogram.sh's: the registered component there.
TEST(ComRecipientFilter, OneComponentAMessageItsValueReplacesTheRecipient)
{
    ComApartment com;
    ASSERT_TRUE(com.ok());
    const struct {
        const char *name;
        FilterMode mode;
        const char *read, *sent;
    } rows[] = {
        {"a value that is a number", FilterMode::Number, "0611111111", "42"},
        {"the value cannot be read: as read", FilterMode::FailValue, "06 11 11", "061111"},
        {"the method refused it: as read", FilterMode::FailMethod, "0611111111", "0611111111"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestFilterFactory factory(row.mode);
        DWORD cookie = 0;
        ASSERT_EQ(CoRegisterClassObject(InProcessFilter, &factory, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie),
                  S_OK);
        const int created = TestFilter::created, calls = TestFilter::methodCalls;
        const RecipientFilterFactory filters = MakeComRecipientFilterFactory(InProcessFilter);
        EXPECT_EQ(PrepareRecipient(row.read, filters), row.sent);
        EXPECT_EQ(PrepareRecipient(row.read, filters), row.sent);
        EXPECT_EQ(TestFilter::created - created, 2) << "a new instance for each message";
        EXPECT_EQ(TestFilter::methodCalls - calls, 2);
        EXPECT_EQ(TestFilter::alive, 0) << "each released after its message";
        CoRevokeClassObject(cookie);
    }
    // None registered: no filter, the recipient as read without its blanks.
    const RecipientFilterFactory none = MakeComRecipientFilterFactory(NeverRegistered);
    EXPECT_EQ(none(), nullptr);
    EXPECT_EQ(PrepareRecipient("06 12\r\n", none), "0612");
}

} // namespace
} // namespace qm::test
