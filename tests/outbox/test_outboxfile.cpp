#include "outbox/outboxfile.h"

#include "fakes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <set>
#include <sys/stat.h>

namespace qm::test
{
namespace
{

namespace fs = std::filesystem;

struct Outbox {
    Outbox() { fs::create_directories(folder); }
    void write(const std::string &name, const std::string &content = "\"1\",\"x\"\r\n") const
    {
        std::ofstream(folder + name, std::ios::binary) << content;
    }
    TestGateway t;
    std::string folder = (t.dir / "outbox").string() + "/";
};

TEST(PickOutboxFile, OnlyVisibleRegularDatFilesArePicked)
{
    const Outbox o;
    // A missing folder is an empty outbox, not an error.
    MaybeFailure error;
    EXPECT_EQ(PickOutboxFile((o.t.dir / "nowhere").string() + "/", &error), std::nullopt);
    EXPECT_FALSE(error.has_value());
    // The suffix in any case, not hidden, nothing after it.
    for (const char *name : {"x.txt", ".hidden.dat", ".dat", "xdat", "x.dat ", "note.dat.bak"})
        o.write(name);
    EXPECT_TRUE(IsOutboxFileName("a.b.dat"));
    fs::create_directory(o.folder + "sub.dat");
    fs::create_symlink(o.t.dir, o.folder + "dirlink.dat");
    fs::create_symlink(o.folder + "gone", o.folder + "dangling.dat");
    // A link to a regular file is not taken either: it would send a file from elsewhere.
    o.write("../elsewhere");
    fs::create_symlink(o.t.dir / "elsewhere", o.folder + "linked.dat");
    std::set<std::string> refused;
    EXPECT_EQ(PickOutboxFile(o.folder, &error, {},
                             [&refused](const std::string &n) { refused.insert(n); }),
              std::nullopt);
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(refused,
              (std::set<std::string>{"sub.dat", "dirlink.dat", "dangling.dat", "linked.dat"}));
    o.write("x.DAT");
    EXPECT_EQ(PickOutboxFile(o.folder), "x.DAT");
}

TEST(ReadOutboxFile, ReadsFieldsOrReportsWhyNot)
{
    const Outbox o;
    // Bigger than one read chunk: the text is not cut.
    const std::string longText(10000, 'x');
    o.write("long.dat", "\"0612\",\"" + longText + "\"\r\n");
    const OutboxFileRead ok = ReadOutboxFile(o.folder + "long.dat");
    EXPECT_FALSE(ok.failure.has_value());
    EXPECT_EQ(ok.fields.recipient.text, "0612");
    EXPECT_EQ(ok.fields.message.text, longText);
    EXPECT_EQ(ReadOutboxFile(o.folder + "vanished.dat").failure->code, ENOENT);

    // Refused with a reason, never followed, never blocking: a folder, a link, a
    // pipe with no writer, a file over the size limit.
    fs::create_directory(o.folder + "dir.dat");
    fs::create_symlink(o.folder + "long.dat", o.folder + "link.dat");
    ASSERT_EQ(::mkfifo((o.folder + "pipe.dat").c_str(), 0600), 0);
    o.write("big.dat", "\"1\",\"" + std::string(MaxMessageFileBytes, 'x') + "\"\r\n");
    for (const char *name : {"dir.dat", "link.dat", "pipe.dat", "big.dat"}) {
        SCOPED_TRACE(name);
        const OutboxFileRead refused = ReadOutboxFile(o.folder + name);
        ASSERT_TRUE(refused.failure.has_value());
        EXPECT_FALSE(refused.failure->description.empty());
        EXPECT_EQ(refused.fields.message.text, "");
    }
    EXPECT_EQ(ReadOutboxFile(o.folder + "big.dat").failure->code, EFBIG);
}

} // namespace
} // namespace qm::test
