#pragma once
// The gateway's program-wide state and the seams through which its routines
// reach the world. One instance lives as long as the console; routines are
// free functions taking it, and everything runs on one thread.

#include "platform/clock.h"
#include "platform/consolefields.h"
#include "platform/eventpump.h"
#include "platform/notifier.h"
#include "platform/serialport.h"
#include "platform/statusline.h"
#include "platform/timer.h"
#include "pure/modemanswers.h"
#include "pure/outboxfields.h"
#include "pure/recipientfilter.h"

#include <map>
#include <set>
#include <string>

namespace qm
{

struct GatewayState {
    std::string AppPath;        // program folder, with trailing separator
    std::string ConfigFilePath; // where SaveSettings writes
    std::string ReceiveBuffer;  // text received since last emptied
    bool SettingsLoaded = false;
    bool AutoSending = false;
    bool TestMode = false;
    bool ExitRequested = false;
    bool Connected = false;
    bool TapLoggedIn = false;
    bool WaitSec1 = false;
    bool WaitSec10 = false;
    ModemLine modemLine;
    // Counts the dials: a routine that waited can tell whether the call it
    // began with is still the current one.
    unsigned CallNumber = 0;
    // The automatic send loop is running (somewhere down the stack).
    bool SendCycleRunning = false;
    // A message exchange, from dialling to the hang-up after it, is under way.
    bool ExchangeInProgress = false;
    // Outbox files the send cycle passes over for the rest of the run: their
    // trouble (cannot be deleted after sending, cannot be read) is logged once.
    std::set<std::string> PassedOverFiles;
    // Outbox files kept because no log could take their text: the operator
    // is told once for each.
    std::set<std::string> UnloggedFiles;
    // What each outbox file looked like when first seen unchanged, so a file
    // its producer is still writing is not taken half-written.
    struct Sighting {
        std::string stamp;
        TimePoint unchangedSince{};
        TimePoint lastSeen{};
    };
    std::map<std::string, Sighting> OutboxSightings;
    TimePoint SightingsPruned{};
    // The last outbox listing failure logged, so a lasting one is logged once.
    std::string OutboxListingFailure;
    // The message file being sent and its stamp when it was read, so a file
    // rewritten under the same name meanwhile is not deleted with it.
    std::string ReadFileName;
    std::string ReadFileStamp;
};

// The console's six timers, by their names.
struct ConsoleTimers {
    Timer &CheckPendingSMS;
    Timer &sec1;
    Timer &sec2;
    Timer &sec4;
    Timer &sec8;
    Timer &sec10;
};

struct Gateway {
    GatewayState state;
    SerialPort &port;
    EventPump &pump;
    Clock &clock;
    Notifier &notifier;
    StatusLine &status;
    ConsoleFields &fields;
    ConsoleTimers timers;
    // Title of the gateway's own message boxes.
    std::string programName = "Quillmast";
    // Creates the recipient filter for each message read from a file.
    RecipientFilterFactory recipientFilter = MakePassThroughRecipientFilter;
    // How message files are read and deleted (tests put faults here); unset:
    // ReadOutboxFile and DeleteOutboxFile, on the outbox folder on disk (a
    // fault that wraps the real reader calls ReadOutboxFile itself).
    std::function<OutboxFileRead(const std::string &path)> readMessageFile = {};
    std::function<MaybeFailure(const std::string &path)> deleteMessageFile = {};
    // Asked between the pauses of a blocking wait, where no event is served:
    // an end of the program requested meanwhile (a system close) is carried
    // out there, within one pause. Unset: nothing is asked.
    std::function<void()> serveEndRequest = {};
};

// Folder separator used when building AppPath-relative paths: '/' on Linux,
// '\\' on Windows (separator_unix.cpp, separator_win.cpp).
extern const char PathSeparator;

// `folder` with one trailing separator; a folder ending in one (a drive's
// root, "/") keeps it.
std::string WithTrailingSeparator(std::string folder);

} // namespace qm

namespace qm
{
// Gives sec1 and sec10 their tick handlers: each tick clears its wait flag.
void ConnectConsoleTimers(Gateway &gw);

// A new call starts from nothing of an earlier one: no received text, no
// half-read answer line, no TAP login. Called as a dial begins.
void BeginCall(GatewayState &st);
} // namespace qm
