// The Windows side of the outbox and the settings file on the real file
// system: what another program's open handle, file attributes and reparse
// points do to the gateway.

#include "config/settings.h"
#include "send/outboxfile.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <windows.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using namespace std::string_literals;
namespace fs = std::filesystem;

// Another program's handle on `path` until the end of the scope, sharing
// reading and writing but not deletion, or (`share` 0) nothing at all.
struct HeldOpen {
    HeldOpen(const fs::path &path, DWORD share)
        : h(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    }
    ~HeldOpen() { CloseHandle(h); }
    HANDLE h;
};
constexpr DWORD NoDeleting = FILE_SHARE_READ | FILE_SHARE_WRITE;

TEST(WindowsOutbox, HeldOpenReadOnlyHiddenBusyAndFolderEntries)
{
    SendRig r;
    const fs::path box = r.t.dir / "outbox";
    for (const char *name : {"open.dat", "ro.dat", "hidden.dat", "busy.dat", "x.data", "s.DAT"})
        r.addMessage(name, "\"06\",\"" + std::string(name) + "\"");
    r.addMessage("big.dat", std::string(MaxMessageFileBytes + 1, 'b'));
    fs::create_directory(box / "d.dat");
    SetFileAttributesW((box / "ro.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((box / "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    {
        HeldOpen reader(box / "open.dat", NoDeleting), writer(box / "busy.dat", 0);
        Button(r).runUntil(100s);
    }
    auto accepted = r.record.messages("accepted");
    std::ranges::sort(accepted);
    EXPECT_EQ(accepted, (std::vector<std::pair<std::string, std::string>>{
                            {"06", "open.dat"}, {"06", "ro.dat"}, {"06", "s.DAT"}}));
    // Sharing violation and access denied: sent once, then passed over; a file too large is
    // passed over unsent.
    const std::string kept = ". It is passed over until the gateway is restarted.\rError:";
    const std::vector<std::string> events = r.events();
    for (const std::string &start :
         {"Message file could not be deleted: open.dat" + kept + "32-",
          "Message file could not be deleted: ro.dat" + kept + "5-",
          "Message file could not be read: big.dat" + kept + "27-File too large",
          "Outbox entry is not a regular file and is not sent: d.dat."s})
        EXPECT_EQ(std::ranges::count_if(events, [&](auto &e) { return e.starts_with(start); }), 1)
            << start;
    for (const std::string &e : events) // the busy file is no trouble
        EXPECT_EQ(e.find("busy.dat"), std::string::npos) << e;
    EXPECT_EQ(r.outbox(), (std::vector<std::string>{"big.dat", "busy.dat", "d.dat", "hidden.dat",
                                                    "open.dat", "ro.dat", "x.data"}));
    // The writer is done: the file waited for the next pass.
    EXPECT_EQ(PickOutboxFile((box / "").string(), nullptr,
                             [&](const std::string &n) { return n != "busy.dat"; }),
              "busy.dat");
    SetFileAttributesW((box / "ro.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A symbolic link is a reparse point: neither picked nor read through.
TEST(WindowsOutbox, AReparsePointIsNeitherPickedNorRead)
{
    TestGateway t;
    const fs::path box = t.dir / "outbox", link = box / "c.dat";
    fs::create_directory(box);
    std::ofstream(t.dir / "elsewhere") << "\"06\",\"elsewhere\"";
    CreateSymbolicLinkW(link.c_str(), (t.dir / "elsewhere").c_str(),
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD attributes = GetFileAttributesW(link.c_str());
    // Known to differ under Wine 8: CreateSymbolicLink reports success and
    // makes nothing, and a Unix link shows as the file it points to.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        GTEST_SKIP() << "no symbolic link could be made here (Wine makes none; Windows needs "
                        "developer mode or administrator rights)";
    std::vector<std::string> notRegular;
    EXPECT_EQ(PickOutboxFile((box / "").string(), nullptr, {},
                             [&](const std::string &n) { notRegular.push_back(n); }),
              std::nullopt);
    EXPECT_EQ(notRegular, std::vector<std::string>{"c.dat"});
    const MaybeFailure failure = ReadOutboxFile(link.string()).failure;
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->description, "Not a regular file (a reparse point)");
}

// A reader holding smsconf.conf without sharing deletion blocks the replacement:
// the old file stays whole and no temporary file is left.
TEST(WindowsSettings, AReaderHoldingTheFileKeepsItWhole)
{
    TestGateway t;
    const fs::path conf = t.dir / "smsconf.conf";
    std::ofstream(conf, std::ios::binary) << "old";
    {
        HeldOpen reader(conf, NoDeleting);
        const MaybeFailure failure = WriteFileAtomically(conf.string(), "new");
        ASSERT_TRUE(failure);
        EXPECT_TRUE(failure->description.starts_with("cannot replace: ")) << failure->description;
        EXPECT_EQ(t.readFile("smsconf.conf"), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), {}), 1);
    }
    EXPECT_EQ(WriteFileAtomically(conf.string(), "new"), std::nullopt);
    EXPECT_EQ(t.readFile("smsconf.conf"), "new");
}

} // namespace
} // namespace qm::test
