// Time to pick the next message file from outboxes of different sizes. The
// pick stops at the first match of the listing, so the figures should not
// grow with the backlog.
//
//   outbox_pick [folder-for-the-test-outboxes]   (default: the temp folder)

#include "send/outboxfile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace
{

// `messages` files "m<i>.dat" and `others` files "o<i>.tmp".
std::string MakeOutbox(const fs::path &root, const std::string &name, int messages, int others)
{
    const fs::path dir = root / name / "outbox";
    fs::remove_all(root / name);
    fs::create_directories(dir);
    for (int i = 0; i < messages; ++i)
        std::ofstream(dir / ("m" + std::to_string(i) + ".dat"), std::ios::binary)
            << "\"0612345678\",\"Disk C: 95% full\"\r\n";
    for (int i = 0; i < others; ++i)
        std::ofstream(dir / ("o" + std::to_string(i) + ".tmp"), std::ios::binary) << "x";
    return dir.string() + "/";
}

void Measure(const char *label, const std::string &folder)
{
    constexpr int runs = 200;
    std::vector<double> us;
    us.reserve(runs);
    std::string picked;
    for (int i = 0; i < runs + 5; ++i) {
        const auto t0 = Clock::now();
        const std::optional<std::string> name = qm::PickOutboxFile(folder);
        const auto t1 = Clock::now();
        if (!name) {
            std::printf("%-34s no file picked!\n", label);
            return;
        }
        picked = *name;
        if (i >= 5) // the first few warm the caches
            us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    std::sort(us.begin(), us.end());
    std::printf("%-34s median %8.1f us   p95 %8.1f us   max %8.1f us   (picked %s)\n", label,
                us[us.size() / 2], us[us.size() * 95 / 100], us.back(), picked.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    const fs::path root = (argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path()) /
                          ("qm-outbox-pick-" + std::to_string(::getpid()));
    std::printf("pick of the next message file, %d runs each, folders under %s\n", 200,
                root.string().c_str());
    struct Case {
        const char *label;
        int messages, others;
    };
    const Case cases[] = {
        {"10 message files", 10, 0},
        {"10 000 message files", 10000, 0},
        {"100 000 message files", 100000, 0},
        {"1 message file + 100 000 others", 1, 100000},
    };
    for (const Case &c : cases) {
        const std::string folder = MakeOutbox(root, "case", c.messages, c.others);
        Measure(c.label, folder);
    }
    fs::remove_all(root);
    return 0;
}
