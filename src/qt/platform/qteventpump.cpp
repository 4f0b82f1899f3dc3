#include "qt/platform/qteventpump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>

namespace qm
{

QtEventPump::QtEventPump()
{
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::pump(std::optional<TimePoint> wakeBy)
{
    if (wakeBy) {
        const auto now = std::chrono::time_point_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now());
        const auto left = (*wakeBy - now).count();
        if (left <= 0) {
            // Due already: serve what is pending without waiting.
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return;
        }
        // The timer's own tick is an event, so the wait below ends by then.
        wake_.start(static_cast<int>(std::min<long long>(left, 24LL * 3600 * 1000)));
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

} // namespace qm
