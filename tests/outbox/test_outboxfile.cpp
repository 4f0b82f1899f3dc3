#include "outbox/outboxfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qm
{
namespace
{

namespace fs = std::filesystem;

class OutboxFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("qm-outbox-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "outbox");
        folder = (root / "outbox").string() + "/";
    }
    void TearDown() override { fs::remove_all(root); }
    void write(const std::string &name, const std::string &content = "\"1\",\"x\"\r\n")
    {
        std::ofstream(folder + name, std::ios::binary) << content;
    }
    fs::path root;
    std::string folder;
};

TEST(IsOutboxFileName, SuffixAndHiddenRule)
{
    struct Row {
        const char *name;
        bool listed;
    };
    const Row rows[] = {
        {"x.dat", true},   {"x.DAT", true},   {"msg.Dat", true}, {"a.b.dat", true},
        {"x.txt", false},  {".x.dat", false}, {".dat", false},   {"x.dat.txt", false},
        {"x.data", false}, {"xdat", false},   {"x.da", false},   {"", false},
        {"x.dat ", false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(IsOutboxFileName(r.name), r.listed);
    }
}

TEST_F(OutboxFolder, OnlyVisibleRegularDatFilesArePicked)
{
    // A missing folder is an empty outbox, not an error.
    MaybeFailure error;
    EXPECT_EQ(PickOutboxFile((root / "nowhere").string() + "/", &error), std::nullopt);
    EXPECT_FALSE(error.has_value());
    write("x.txt");
    write(".hidden.dat");
    write("note.dat.bak");
    fs::create_directory(folder + "sub.dat");
    fs::create_symlink(root, folder + "dirlink.dat");
    fs::create_symlink(folder + "gone", folder + "dangling.dat");
    // A link to a regular file is not taken either: it would send a file from elsewhere.
    std::ofstream(root / "elsewhere", std::ios::binary) << "\"1\",\"x\"";
    fs::create_symlink(root / "elsewhere", folder + "linked.dat");
    std::set<std::string> refused;
    EXPECT_EQ(
        PickOutboxFile(folder, &error, {}, [&refused](const std::string &n) { refused.insert(n); }),
        std::nullopt);
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(refused,
              (std::set<std::string>{"sub.dat", "dirlink.dat", "dangling.dat", "linked.dat"}));

    write("x.DAT");
    EXPECT_EQ(PickOutboxFile(folder), "x.DAT");
}

TEST_F(OutboxFolder, PicksInListingOrderWithoutSortingAndFreshEachPass)
{
    // Enough files that the folder's own order differs from name order.
    // A char prefix: "m" + std::to_string trips a false -Wrestrict in GCC 12 at -O3.
    for (int i = 0; i < 2000; ++i)
        write('m' + std::to_string(i) + (i % 3 == 0 ? ".txt" : ".dat"));
    std::vector<std::string> listed;
    for (const fs::directory_entry &e : fs::directory_iterator(folder)) {
        if (IsOutboxFileName(e.path().filename().string()))
            listed.push_back(e.path().filename().string());
    }
    ASSERT_GE(listed.size(), 2u);
    // Each pass takes the first name of the listing; deleting it brings the next.
    EXPECT_EQ(PickOutboxFile(folder), listed[0]);
    EXPECT_EQ(PickOutboxFile(folder), listed[0]);
    fs::remove(folder + listed[0]);
    EXPECT_EQ(PickOutboxFile(folder), listed[1]);
}

TEST_F(OutboxFolder, ReadsFieldsOrReportsWhyNot)
{
    write("a.dat", "\"0612345678\",\"Disk C: 95% full\"\r\n");
    const OutboxFileRead ok = ReadOutboxFile(folder + "a.dat");
    EXPECT_FALSE(ok.failure.has_value());
    EXPECT_EQ(ok.fields.recipient.text, "0612345678");
    EXPECT_EQ(ok.fields.message.text, "Disk C: 95% full");
    write("b.dat", "0612345678,\"x\"\r\n");
    EXPECT_EQ(
        ToOutboxMessage(ReadOutboxFile(folder + "b.dat").fields, FieldTyping::Typed).Recipient,
        "612345678");

    // Bigger than one read chunk: the text is not cut.
    const std::string longText(10000, 'x');
    write("long.dat", "\"1\",\"" + longText + "\"\r\n");
    EXPECT_EQ(ReadOutboxFile(folder + "long.dat").fields.message.text, longText);

    const OutboxFileRead vanished = ReadOutboxFile(folder + "vanished.dat");
    ASSERT_TRUE(vanished.failure.has_value());
    EXPECT_EQ(vanished.failure->code, ENOENT);
    EXPECT_FALSE(vanished.failure->description.empty());
    EXPECT_EQ(vanished.fields.recipient.text, "");
    EXPECT_EQ(vanished.fields.message.text, "");

    // Refused with a reason, never followed, never blocking: a folder, a link, a
    // pipe with no writer, a file over the size limit.
    fs::create_directory(folder + "dir.dat");
    fs::create_symlink(folder + "a.dat", folder + "link.dat");
    ASSERT_EQ(::mkfifo((folder + "pipe.dat").c_str(), 0600), 0);
    write("big.dat", "\"1\",\"" + std::string(MaxMessageFileBytes, 'x') + "\"\r\n");
    for (const char *name : {"dir.dat", "link.dat", "pipe.dat", "big.dat"}) {
        const OutboxFileRead refused = ReadOutboxFile(folder + name);
        ASSERT_TRUE(refused.failure.has_value()) << name;
        EXPECT_FALSE(refused.failure->description.empty()) << name;
        EXPECT_EQ(refused.fields.message.text, "") << name;
    }
    EXPECT_EQ(ReadOutboxFile(folder + "big.dat").failure->code, EFBIG);
}

} // namespace
} // namespace qm
