#include "qt/platform/systemclose.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace qm
{
namespace
{

int pipeFds[2] = {-1, -1};
volatile std::sig_atomic_t closeAsked = 0;

void onSignal(int)
{
    closeAsked = 1;
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a request.
    [[maybe_unused]] const auto n = ::write(pipeFds[1], &byte, 1);
}

} // namespace

SystemCloseWatcher::SystemCloseWatcher(QObject *parent) : QObject(parent)
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { onReadable(); });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}

SystemCloseWatcher::~SystemCloseWatcher()
{
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        std::signal(sig, SIG_DFL);
}

bool SystemCloseWatcher::pending() const
{
    return closeAsked != 0;
}

void SystemCloseWatcher::onReadable()
{
    char buffer[16];
    while (::read(pipeFds[0], buffer, sizeof buffer) > 0) {
    }
    emit requested();
}

} // namespace qm
