// What the Windows edge works out itself: the DCB and time-outs of a line,
// the tray record byte by byte, the texts handed to the system's boxes,
// dialogs and time formatting.

#include "win32/commsettings.h"
#include "win32/trayicon.h"
#include "win32/win32clock.h"
#include "win32/win32filedialog.h"
#include "win32/win32notifier.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace qm::test
{
namespace
{

using namespace std::string_literals;

struct DcbRow {
    const char *name;
    const char *settings;
    bool rtsCts;
    DWORD baud;
    BYTE dataBits, parity, stopBits;
    bool parityCheck;
};

// The DCB codes by their documented values: NOPARITY 0, ODDPARITY 1,
// EVENPARITY 2, MARKPARITY 3, SPACEPARITY 4; ONESTOPBIT 0, ONE5STOPBITS 1,
// TWOSTOPBITS 2.
const DcbRow DcbRows[] = {
    {"plain 8N1 with handshaking", "9600,N,8,1", true, 9600, 8, 0, 0, false},
    {"8N1 without handshaking", "9600,N,8,1", false, 9600, 8, 0, 0, false},
    {"slowest, even, 7 bits", "110,E,7,1", true, 110, 7, 2, 0, true},
    {"fastest, odd", "256000,O,8,1", true, 256000, 8, 1, 0, true},
    {"a speed no CBR_ constant names", "14400,N,8,1", true, 14400, 8, 0, 0, false},
    {"mark, two stop bits", "19200,M,7,2", true, 19200, 7, 3, 2, true},
    {"space, one and a half", "1200,S,8,1.5", true, 1200, 8, 4, 1, true},
};

TEST(CommSettings, DcbFromLineSettings)
{
    // What GetCommState gave: fields the line settings do not speak of stay.
    DCB base{};
    base.XonChar = 17;
    base.XoffChar = 19;
    base.XonLim = 2048;
    base.fOutX = TRUE; // a port left with XON/XOFF on by another program
    base.fAbortOnError = TRUE;
    base.fNull = TRUE;
    for (const DcbRow &row : DcbRows) {
        SCOPED_TRACE(row.name);
        LineSettings line;
        ASSERT_FALSE(ParseLineSettings(row.settings, line));
        const DCB d = DcbFor(line, row.rtsCts, base);
        EXPECT_EQ(d.DCBlength, sizeof(DCB));
        EXPECT_EQ((std::vector<DWORD>{d.BaudRate, d.ByteSize, d.Parity, d.StopBits, d.fParity,
                                      d.fOutxCtsFlow, d.fRtsControl}),
                  (std::vector<DWORD>{
                      row.baud, row.dataBits, row.parity, row.stopBits, row.parityCheck, row.rtsCts,
                      DWORD(row.rtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE)}));
        // Always: binary, DTR on, no software flow, nothing replaced or aborted; the
        // characters and limits as they were.
        EXPECT_EQ(
            (std::vector<DWORD>{d.fBinary, d.fDtrControl, d.fOutX, d.fInX, d.fOutxDsrFlow,
                                d.fDsrSensitivity, d.fNull, d.fErrorChar, d.fAbortOnError,
                                DWORD(d.XonChar), DWORD(d.XoffChar), d.XonLim}),
            (std::vector<DWORD>{TRUE, DTR_CONTROL_ENABLE, 0, 0, 0, 0, 0, 0, 0, 17, 19, 2048}));
    }
}

TEST(CommSettings, ReadsEndOnAQuietLineAndWritesGetTimeByTheSpeed)
{
    const struct {
        int speed;
        DWORD perByte;
    } rows[] = {{110, 181}, {9600, 2}, {19200, 1}, {256000, 1}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.speed);
        const COMMTIMEOUTS t = CommTimeoutsFor(row.speed);
        EXPECT_EQ(t.WriteTotalTimeoutMultiplier, row.perByte);
        EXPECT_EQ(t.WriteTotalTimeoutConstant, 5000u);
        // An interval of MAXDWORD with no total would make every read
        // return at once: the reader would spin.
        EXPECT_NE(t.ReadIntervalTimeout, MAXDWORD);
        EXPECT_GT(t.ReadTotalTimeoutConstant, 0u);
    }
}

TEST(TrayRecord, EightyEightBytesWithTheFieldsInPlace)
{
    const HWND window = reinterpret_cast<HWND>(0x12345678);
    const HICON icon = reinterpret_cast<HICON>(0x0BADF00D);
    const TrayIconData d = MakeTrayIconData(window, icon, TrayCallbackMessage);
    ASSERT_EQ(sizeof d, 88u);
    // Size, window, id, flags (message, icon, tip), message, icon; then the tip.
    std::uint32_t words[6];
    std::memcpy(words, &d, sizeof words);
    EXPECT_EQ(std::vector(std::begin(words), std::end(words)),
              (std::vector<std::uint32_t>{88, 0x12345678, 1, 7, WM_APP + 1, 0x0BADF00D}));
    const std::string tip(reinterpret_cast<const char *>(&d) + 24, 64);
    EXPECT_EQ(tip, "SMS Console Configuration\0"s + std::string(38, ' '));
}

// The icon's codes reaching the console are wholeprogram.sh's: a click restores, a right-click
// opens the menu.
TEST(TrayIcon, TheIconComesBackWithTheShellAndAMouseMoveIsNotTheTrays)
{
    std::vector<DWORD> calls;
    std::vector<TrayIconData> records;
    BOOL shellUp = FALSE; // no notification area yet
    const HWND window = reinterpret_cast<HWND>(0x1000);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);
    {
        TrayIcon tray(
            window, nullptr, [](unsigned) {},
            [&](DWORD op, TrayIconData &d) {
                calls.push_back(op);
                records.push_back(d);
                return op == NIM_ADD ? shellUp : TRUE;
            });
        EXPECT_FALSE(tray.add());
        shellUp = TRUE;
        EXPECT_TRUE(tray.handleMessage(taskbarCreated, 0, 0)); // the shell came: added now
        EXPECT_TRUE(tray.added());
        EXPECT_TRUE(tray.handleMessage(taskbarCreated, 0, 0)); // it restarted: added again
        // A real mouse move over the window is not the tray's.
        EXPECT_FALSE(tray.handleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(514, 3)));
        tray.remove();
        EXPECT_TRUE(tray.handleMessage(taskbarCreated, 0, 0)); // removed: stays away
        EXPECT_TRUE(tray.add());
        EXPECT_TRUE(tray.add()); // once is enough
    }                            // destroyed while added: removed
    EXPECT_EQ(calls,
              (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_ADD, NIM_DELETE, NIM_ADD, NIM_DELETE}));
    for (const TrayIconData &d : records) {
        EXPECT_EQ(d.cbSize, 88u);
        EXPECT_EQ(d.hWnd, window);
        EXPECT_EQ(d.uID, 1u);
    }
}

TEST(Texts, TimeFormatGetsSeconds)
{
    const struct {
        const char *picture, *expected;
    } rows[] = {
        {"h:mm:ss tt", "h:mm:ss tt"},  // has them
        {"HH:mm:ss", "HH:mm:ss"},      //
        {"h:mm tt", "h:mm:ss tt"},     // English short time
        {"HH.mm", "HH.mm.ss"},         // a separator of its own
        {"H' h 'mm", "H' h 'mm:ss"},   // quoted text is no separator
        {"'s 'HH:mm", "'s 'HH:mm:ss"}, // nor are the letters in it
        {"tt hh:mm", "tt hh:mm:ss"},   //
        {"HH", "HH:ss"},               // no minutes: at the end
        {"", "HH:mm:ss"},              // no picture at all
    };
    for (const auto &row : rows)
        EXPECT_EQ(TimeFormatWithSeconds(row.picture), row.expected) << row.picture;
}

TEST(Texts, BoxLinesAndFileFilters)
{
    const struct {
        std::string text, shown;
    } boxes[] = {
        {"Err-0018:Error occured\rError:2-Not found",
         "Err-0018:Error occured\r\nError:2-Not found"},
        {"a\r\nb\nc\r", "a\r\nb\r\nc\r\n"},
        {"There is no carrier.  Please", "There is no carrier.  Please"},
    };
    for (const auto &row : boxes)
        EXPECT_EQ(BoxText(row.text), row.shown);

    const struct {
        std::string filter, passed;
    } filters[] = {
        {"Configuration Files (*.conf)|*.conf", "Configuration Files (*.conf)\0*.conf\0\0"s},
        {"Text|*.txt|All|*.*", "Text\0*.txt\0All\0*.*\0\0"s},
        {"*.conf", "*.conf\0*.conf\0\0"s},
    };
    for (const auto &row : filters)
        EXPECT_EQ(OpenFileNameFilter(row.filter), row.passed) << row.filter;
}

} // namespace
} // namespace qm::test
