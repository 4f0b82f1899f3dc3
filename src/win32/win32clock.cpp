#include "win32/win32clock.h"

#include <windows.h>

#include <vector>

namespace qm
{
namespace
{

std::string localeText(LCTYPE what)
{
    char buffer[128] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer) : std::string();
}

} // namespace

std::string TimeFormatWithSeconds(const std::string &picture)
{
    if (picture.empty())
        return "HH:mm:ss";
    // Positions outside quotes.
    std::vector<std::size_t> plain;
    bool quoted = false;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] == '\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted)
            plain.push_back(i);
    }
    std::size_t minutesEnd = std::string::npos, minutesStart = std::string::npos;
    for (std::size_t k = 0; k < plain.size(); ++k) {
        const char c = picture[plain[k]];
        if (c == 's')
            return picture;
        if (c == 'm') {
            if (minutesStart == std::string::npos || plain[k] != minutesEnd)
                minutesStart = plain[k];
            minutesEnd = plain[k] + 1;
        }
    }
    if (minutesEnd == std::string::npos)
        return picture + ":ss";
    // The separator: what stands between the hours and the minutes.
    std::size_t sepStart = minutesStart;
    while (sepStart > 0 && picture[sepStart - 1] != 'h' && picture[sepStart - 1] != 'H' &&
           picture[sepStart - 1] != '\'')
        --sepStart;
    std::string separator = picture.substr(sepStart, minutesStart - sepStart);
    if (separator.empty())
        separator = ":";
    std::string out = picture;
    out.insert(minutesEnd, separator + "ss");
    return out;
}

TimePoint Win32Clock::now() const
{
    return std::chrono::time_point_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now());
}

std::string Win32Clock::dateTimeText() const
{
    char date[128] = {}, time[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    const std::string picture = TimeFormatWithSeconds(localeText(LOCALE_STIMEFORMAT));
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, picture.c_str(), time, sizeof time) == 0)
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

void Win32Clock::pause(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        // Messages other threads and programs send are answered meanwhile;
        // nothing posted (input, timers, port events) is served.
        if (MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()),
                                        QS_SENDMESSAGE, 0) == WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

void Win32Clock::beep()
{
    MessageBeep(MB_OK);
}

} // namespace qm
